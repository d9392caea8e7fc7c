#include "store/fixed_boxes.h"

#include "config/app_settings.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

constexpr char kSectionSystem[] = "System";

struct FixedBox {
  const char* flag_key;
  int flag_default;
  const char* file_key;
  const char* file_default;
};

constexpr FixedBox kFixedBoxes[] = {
    {"SmailDone", 0, "SendDoneFile", kDefaultSentBoxFile},
    {"Trash", 1, "TrashFile", kDefaultTrashBoxFile},
    {"Draft", 1, "DraftFile", kDefaultDraftBoxFile},
};

}  // namespace

void EnsureFixedBoxes(const Profile& profile) {
  for (const FixedBox& box : kFixedBoxes) {
    if (profile.GetInt(kSectionSystem, box.flag_key, box.flag_default) == 0) continue;
    const std::string path = profile.GetString(kSectionSystem, box.file_key, box.file_default);
    if (!path.empty()) CreateEmptyFileIfMissing(path);
  }
}

std::string TrashBoxPath(const Profile& profile) {
  return AbsolutePath(profile.GetString(kSectionSystem, "TrashFile", kDefaultTrashBoxFile));
}

bool IsTrashBox(const CLPOSTDoc& box, const Profile& profile) {
  return !box.PathName().empty() && box.PathName() == TrashBoxPath(profile);
}

bool TrashEnabled(const Profile& profile) { return profile.GetInt(kSectionSystem, "Trash", 1) != 0; }

std::string BoxDisplayName(std::string_view index_path) {
  std::string name = FileNameOf(index_path);
  // Shift_JIS trail bytes are never ".", so the last "." is the extension's.
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

}  // namespace lp
