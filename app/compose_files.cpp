#include "app/compose_files.h"

#include <cstdint>

#include "app/compose_messages.h"
#include "app/mail_template.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

// A template or inserted file is text someone wrote; anything larger is a
// wrong choice and is not read into memory.
constexpr std::uint64_t kMaxTextFileBytes = 16u << 20;

std::optional<std::string> ReadTextFile(std::string_view path) {
  const std::optional<std::uint64_t> size = FileSize(path);
  if (!size || *size > kMaxTextFileBytes || !IsRegularFile(path)) return std::nullopt;
  return ReadWholeFile(path);
}

}  // namespace

bool ApplyTemplateFile(const Profile& profile, UserInterface& ui, std::string_view path, ComposeForm& form) {
  if (profile.GetInt("System", "Template", 0) != 0) {
    const std::string question = std::string(compose_window_text::kAskApplyTemplateBefore) + FileNameOf(path) +
                                 compose_window_text::kAskApplyTemplateAfter;
    if (ui.Ask(question, MessageButtons::OkCancel) != Answer::Ok) return false;
  }
  const std::optional<std::string> bytes = ReadTextFile(path);
  if (!bytes) {
    ui.ShowMessage(compose_window_text::kFileCannotOpen);
    return false;
  }
  MailTemplate parsed = ParseMailTemplate(*bytes, path);
  form.subject = std::move(parsed.subject);
  if (parsed.to) form.to = std::move(*parsed.to);
  if (parsed.cc) form.cc = std::move(*parsed.cc);
  if (parsed.bcc) form.bcc = std::move(*parsed.bcc);
  if (parsed.attach) form.attach = std::move(*parsed.attach);
  form.body = std::move(parsed.body);
  return true;
}

bool SaveTemplateFile(UserInterface& ui, std::string_view path, const ComposeForm& form) {
  const std::string content =
      FormatMailTemplate({form.to, form.subject, form.cc, form.bcc, form.attach, form.body});
  AtomicFileWriter writer;
  if (!writer.Begin(path) || !writer.Write(content) || !writer.Commit()) {
    ui.ShowMessage(compose_window_text::kFileCannotOpen);
    return false;
  }
  return true;
}

std::optional<std::string> ReadFileForInsertion(UserInterface& ui, std::string_view path) {
  const std::optional<std::string> bytes = ReadTextFile(path);
  if (!bytes) {
    ui.ShowMessage(compose_window_text::kInsertedFileMissing);
    return std::nullopt;
  }
  return TextFileForInsertion(*bytes);
}

}  // namespace lp
