#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "cli/compose_arguments.h"
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
  if (!AccountArgument(context, accounts, account_index)) return 2;
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
  const std::optional<std::string> body = BodyArgument(context);
  if (!body) return 2;

  record.to = FieldArgument(args, "to");
  record.cc = FieldArgument(args, "cc");
  record.bcc = FieldArgument(args, "bcc");
  record.subject = FieldArgument(args, "subject");
  record.from = SenderText(account);
  record.date = static_cast<std::int32_t>(std::time(nullptr));
  record.status = kStatusUnsent;
  record.signature = signature;

  NullCommandObserver commands;
  OutgoingMailTarget target;
  target.box_path = context.app.settings().send_file;
  if (!AppendOutgoingMail(profile, context.ui, commands, target, std::move(record), *body)) return 1;
  return 0;
}

}  // namespace lp
