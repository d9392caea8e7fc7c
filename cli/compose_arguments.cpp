#include "cli/compose_arguments.h"

#include <cstdint>

#include "cli/box_arguments.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace lp {
namespace {

// A body file larger than this is refused rather than read into memory.
constexpr std::uint64_t kMaxBodyFileBytes = 64 << 20;

// The mail text keeps CR LF line ends, whatever the file or argument used.
std::string TextWithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

std::string FieldArgument(const CliArguments& args, const std::string& name) {
  std::string value = Utf8ToCp932(args.Value(name).value_or(""));
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return value;
}

std::optional<std::string> BodyArgument(CommandContext& context) {
  if (const std::optional<std::string> body = context.args.Value("body")) return TextWithCrLf(Utf8ToCp932(*body));
  const std::string path = StartRelativePath(context, context.args.Value("body-file").value_or(""));
  File file;
  const std::optional<std::uint64_t> size = file.Open(path, File::Mode::Read) ? file.Size() : std::nullopt;
  if (!size || *size > kMaxBodyFileBytes) {
    context.ui.ShowMessage("cannot read the body file: " + path);
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(*size), '\0');
  const std::int64_t read = file.ReadFull(bytes.data(), bytes.size());
  if (read < 0) {
    context.ui.ShowMessage("cannot read the body file: " + path);
    return std::nullopt;
  }
  bytes.resize(static_cast<std::size_t>(read));
  return TextWithCrLf(Utf8ToCp932(bytes));
}

bool AccountArgument(CommandContext& context, const CSetMenuArray& accounts, std::size_t& index) {
  const std::optional<std::string> value = context.args.Value("account");
  if (!value) return true;
  const std::optional<long> number = ParseNonNegative(*value);
  if (!number || static_cast<std::size_t>(*number) >= accounts.Count()) {
    context.ui.ShowMessage("no such account: " + *value);
    return false;
  }
  index = static_cast<std::size_t>(*number);
  return true;
}

}  // namespace lp
