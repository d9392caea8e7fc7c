#include "config/app_settings.h"

#include <cstdio>
#include <deque>
#include <vector>

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

// Box file names of a first start.

std::string LabelColorKey(int n) {
  char key[16];
  std::snprintf(key, sizeof key, "Color%02d", n);
  return key;
}

std::string LabelNameKey(int n) { return "Label" + std::to_string(n); }

// Boxes are created empty when they cannot be opened; a failure shows later,
// when the box is opened.
void CreateBoxIfMissing(const std::string& path) {
  if (!path.empty()) CreateEmptyFileIfMissing(path);
}

void CreateDirectoryIfMissing(const std::string& path) {
  if (!path.empty()) MakeDirectory(path);
}

}  // namespace

std::string LocateSettingsFile() {
  std::string directory = CurrentDirectory();
  std::string conf = JoinPath(directory, "lpost.conf");
  // Fails, as intended, when "lpost.conf" exists or there is no "lpost.ini".
  RenameNoReplace(JoinPath(directory, "lpost.ini"), conf);
  return conf;
}

void AppSettings::Load(const Profile& profile) {
  default_file = profile.GetString("System", "DefaultFile", kDefaultInboxFile);
  CreateBoxIfMissing(default_file);
  send_file = profile.GetString("System", "SendFile", kDefaultSendBoxFile);
  CreateBoxIfMissing(send_file);

  send_done_file = profile.GetString("System", "SendDoneFile", kDefaultSentBoxFile);
  trash_file = profile.GetString("System", "TrashFile", kDefaultTrashBoxFile);
  draft_file = profile.GetString("System", "DraftFile", kDefaultDraftBoxFile);

  labels[0] = Label{};
  for (int n = 1; n <= kLabelCount; ++n) {
    labels[static_cast<std::size_t>(n)].color = profile.GetInt("Label", LabelColorKey(n), kDefaultLabelColours[static_cast<std::size_t>(n - 1)]);
    labels[static_cast<std::size_t>(n)].name = profile.GetString("Mail", LabelNameKey(n));
  }

  auto_indent = profile.GetInt("System", "AutoIndent", 1) != 0;
  diamond_cursor = profile.GetInt("System", "DiamondCursor", 0) != 0;
  ime = profile.GetInt("System", "Ime", 0) != 0;
  draft = profile.GetInt("System", "Draft", 1) != 0;
  smail_done = profile.GetInt("System", "SmailDone", 0) != 0;
  trash = profile.GetInt("System", "Trash", 1) != 0;

  upload_dir = profile.GetString("System", "UploadDir", "Upload");
  attach_dir = profile.GetString("System", "AttachDir", "Attach");
  template_dir = profile.GetString("System", "TemplateDir", "Template");
  text_out_set_name = profile.GetString("System", "TextOutSetName", "lposttext.set");

  // The show states are remembered so that WriteBack leaves them alone
  // unless a window changed them.
  show_cmd = show_cmd_at_start_ = profile.GetInt("Settings", "ShowCmd", 1);
  show_cmd2 = show_cmd2_at_start_ = profile.GetInt("Settings2", "ShowCmd2", 1);
}

void AppSettings::CreateBoxesAndDirectories(const Profile& /*profile*/) const {
  if (smail_done) CreateBoxIfMissing(send_done_file);
  if (trash) CreateBoxIfMissing(trash_file);
  if (draft) CreateBoxIfMissing(draft_file);
  CreateDirectoryIfMissing(upload_dir);
  CreateDirectoryIfMissing(attach_dir);
  CreateDirectoryIfMissing(template_dir);
}

void AppSettings::RunOneTimeTransfer(Profile& profile) const {
  profile.WriteInt("System", "IniTransfer", 1);
}

bool AppSettings::WriteBack(Profile& profile) const {
  // The entries view these strings; a deque keeps them in place.
  std::deque<std::string> texts;
  std::vector<ProfileEntry> entries;
  entries.reserve(2 * kLabelCount + 2);
  auto add = [&](std::string_view section, std::string key, std::string value) {
    texts.push_back(std::move(key));
    std::string_view key_view = texts.back();
    texts.push_back(std::move(value));
    entries.push_back(ProfileEntry{section, key_view, texts.back()});
  };
  for (int n = 1; n <= kLabelCount; ++n) {
    const Label& label = labels[static_cast<std::size_t>(n)];
    add("Label", LabelColorKey(n), std::to_string(label.color));
    add("Mail", LabelNameKey(n), label.name);
  }
  if (show_cmd != show_cmd_at_start_) add("Settings", "ShowCmd", std::to_string(show_cmd));
  if (show_cmd2 != show_cmd2_at_start_) add("Settings2", "ShowCmd2", std::to_string(show_cmd2));
  return profile.WriteStrings(entries);
}

}  // namespace lp
