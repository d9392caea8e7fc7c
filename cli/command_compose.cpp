#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "config/account_table.h"
#include "config/signatures.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "rules/outgoing_mail_store.h"

namespace lp {

namespace {

constexpr char kComposeUsage[] =
    "usage: compose --to ADDR [--cc ADDR] [--bcc ADDR] --subject TEXT (--body-file FILE | --body TEXT)\n"
    "               [--attach FILE] [--signature N] [--account N]";

// A body file larger than this is refused rather than read into memory.
constexpr std::uint64_t kMaxBodyFileBytes = 64 << 20;

// A header field from the command line, in Shift_JIS, without line
// breaks: a CR or LF would start a header line of its own.
std::string FieldValue(const CliArguments& args, const std::string& name) {
  std::string value = Utf8ToCp932(args.Value(name).value_or(""));
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return value;
}

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

std::optional<std::string> ReadBody(CommandContext& context) {
  if (const std::optional<std::string> body = context.args.Value("body")) return Utf8ToCp932(*body);
  const std::string path = StartRelativePath(context, *context.args.Value("body-file"));
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
  return Utf8ToCp932(bytes);
}

}  // namespace

// Stores a new mail in the send box with status 3, as the compose window's
// send button does: sending happens in the next send run.
int RunComposeCommand(CommandContext& context) {
  const CliArguments& args = context.args;
  const bool body_given = args.Has("body");
  const bool body_file_given = args.Has("body-file");
  if (!args.positional.empty() || !args.Value("to") || !args.Value("subject") || body_given == body_file_given) {
    context.ui.ShowMessage(kComposeUsage);
    return 2;
  }
  Profile& profile = context.app.profile();
  CSetMenuArray accounts;
  accounts.Load(profile);
  std::size_t account_index = accounts.CurrentIndex();
  if (const std::optional<std::string> value = args.Value("account")) {
    const std::optional<long> index = ParseNonNegative(*value);
    if (!index || static_cast<std::size_t>(*index) >= accounts.Count()) {
      context.ui.ShowMessage("no such account: " + *value);
      return 2;
    }
    account_index = static_cast<std::size_t>(*index);
  }
  const CSetMenu& account = accounts.At(account_index);

  int signature = account.signe;
  if (const std::optional<std::string> value = args.Value("signature")) {
    CSigneMenuArray signatures;
    signatures.Load(profile);
    const std::optional<long> number = ParseNonNegative(*value);
    if (!number || static_cast<std::size_t>(*number) > signatures.Count()) {
      context.ui.ShowMessage("no such signature: " + *value);
      return 2;
    }
    signature = static_cast<int>(*number);
  }

  CMail record;
  if (const std::optional<std::string> attach = args.Value("attach")) {
    record.attachments = StartRelativePath(context, *attach);
    if (!IsRegularFile(record.attachments)) {
      context.ui.ShowMessage("cannot read the attachment: " + record.attachments);
      return 2;
    }
  }
  const std::optional<std::string> body = ReadBody(context);
  if (!body) return 2;

  record.to = FieldValue(args, "to");
  record.cc = FieldValue(args, "cc");
  record.bcc = FieldValue(args, "bcc");
  record.subject = FieldValue(args, "subject");
  record.from = SenderText(account);
  record.date = static_cast<std::int32_t>(std::time(nullptr));
  record.status = kStatusUnsent;
  record.signature = signature;

  NullCommandObserver commands;
  OutgoingMailTarget target;
  target.box_path = context.app.settings().send_file;
  if (!AppendOutgoingMail(profile, context.ui, commands, target, std::move(record), TextWithCrLf(*body))) return 1;
  return 0;
}

}  // namespace lp
