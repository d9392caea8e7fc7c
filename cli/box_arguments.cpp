#include "cli/box_arguments.h"

#include <charconv>

#include "platform/code_page.h"
#include "platform/sjis_path.h"

namespace lp {

std::unique_ptr<OpenedBox> OpenBoxForCommand(CommandContext& context, const std::string& box_utf8) {
  auto opened = std::make_unique<OpenedBox>(context.app.profile(), context.ui);
  std::string path = box_utf8.empty() ? context.app.settings().default_file : Utf8ToCp932(box_utf8);
  AcquiredBox acquired = opened->registry.Acquire(path);
  if (!acquired.box) {
    context.ui.ShowMessage(acquired.load.message);
    return nullptr;
  }
  opened->doc = std::move(acquired.box);
  return opened;
}

bool CloseBoxForCommand(CommandContext& context, OpenedBox& box) {
  const IndexFileResult closed = box.doc.Release();
  if (!closed.ok) context.ui.ShowMessage(closed.message);
  return closed.ok;
}

std::string StartRelativePath(const CommandContext& context, const std::string& utf8_path) {
  std::string path = Utf8ToCp932(utf8_path);
  if (!path.empty() && path.front() == '/') return path;
  return JoinPath(context.start_directory, path);
}

std::optional<long> ParseNonNegative(const std::string& text) {
  long value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 0) return std::nullopt;
  return value;
}

std::optional<int> ParseMailIndex(CommandContext& context, const std::string& text, const CLPOSTDoc& doc) {
  std::optional<long> value = ParseNonNegative(text);
  if (!value || *value >= doc.Count()) {
    context.ui.ShowMessage("no mail with index " + text + " (the box holds " + std::to_string(doc.Count()) +
                           " mails)");
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

}  // namespace lp
