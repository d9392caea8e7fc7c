#include <ctime>
#include <optional>
#include <string>

#include "app/compose_form.h"
#include "app/compose_save.h"
#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "cli/compose_arguments.h"
#include "config/account_table.h"

// Replies and forwards queued in the send box as the compose window's send
// button queues them, with the form the window would open with and the
// given text above the quoted mail.

namespace lp {
namespace {

constexpr char kReplyUsage[] = "usage: reply [BOX] INDEX [--all] [--body TEXT | --body-file FILE] [--account N]";
constexpr char kForwardUsage[] = "usage: forward [BOX] INDEX --to ADDR [--body TEXT | --body-file FILE]";

// BOX and INDEX, one or two positional arguments, and at most one body.
bool MailArgumentsFit(const CliArguments& args) {
  return !args.positional.empty() && args.positional.size() <= 2 && !(args.Has("body") && args.Has("body-file"));
}

// The text to write above the quote: empty when none was given.
std::optional<std::string> TextAboveQuote(CommandContext& context) {
  if (!context.args.Has("body") && !context.args.Has("body-file")) return std::string();
  return BodyArgument(context);
}

// Queues the form with the given text above its quote; the opened box is
// closed as its window would close it. 0 when the mail is queued.
int QueueForm(CommandContext& context, OpenedBox& box, ComposeForm form, const std::string& text,
              const ComposeWindowSettings& settings, const std::optional<int>& replied_index) {
  form.body = BodyAboveQuote(text, form.body);
  const ComposeTarget target{*box.doc, 0, &box.registry};
  const bool queued = SaveComposedMail(form, ComposeSave::Send, target, settings, std::time(nullptr)).has_value();
  // A mail is marked replied only once its reply is safely queued.
  if (queued && replied_index) MarkReplied(*box.doc, *replied_index);
  const bool closed = CloseBoxForCommand(context, box);
  return queued && closed ? 0 : 1;
}

}  // namespace

int RunReplyCommand(CommandContext& context) {
  const CliArguments& args = context.args;
  if (!MailArgumentsFit(args) || args.Has("to")) {
    context.ui.ShowMessage(kReplyUsage);
    return 2;
  }
  CSetMenuArray accounts;
  accounts.Load(context.app.profile());
  std::size_t account_index = accounts.CurrentIndex();
  const bool account_given = args.Has("account");
  if (!AccountArgument(context, accounts, account_index)) return 2;
  const std::optional<std::string> text = TextAboveQuote(context);
  if (!text) return 2;

  auto box = OpenBoxForCommand(context, args.positional.size() == 2 ? args.positional[0] : std::string());
  if (!box) return 1;
  const std::optional<int> index = ParseMailIndex(context, args.positional.back(), *box->doc);
  if (!index) return 1;
  if (!account_given) account_index = ReplyAccountIndex(accounts, box->doc->RecordAt(*index)->to);

  const ComposeWindowSettings settings = LoadComposeWindowSettings(context.app.profile());
  const ReplyRecipients recipients = args.Has("all") ? ReplyRecipients::All : ReplyRecipients::Sender;
  std::optional<ComposeForm> form = ReplyForm(*box->doc, *index, accounts.At(account_index), settings, recipients);
  if (!form) return 1;
  return QueueForm(context, *box, std::move(*form), *text, settings, index);
}

int RunForwardCommand(CommandContext& context) {
  const CliArguments& args = context.args;
  if (!MailArgumentsFit(args) || !args.Value("to") || args.Has("all") || args.Has("account")) {
    context.ui.ShowMessage(kForwardUsage);
    return 2;
  }
  const std::string to = FieldArgument(args, "to");
  if (to.empty()) {
    context.ui.ShowMessage(kForwardUsage);
    return 2;
  }
  const std::optional<std::string> text = TextAboveQuote(context);
  if (!text) return 2;

  auto box = OpenBoxForCommand(context, args.positional.size() == 2 ? args.positional[0] : std::string());
  if (!box) return 1;
  const std::optional<int> index = ParseMailIndex(context, args.positional.back(), *box->doc);
  if (!index) return 1;

  CSetMenuArray accounts;
  accounts.Load(context.app.profile());
  const ComposeWindowSettings settings = LoadComposeWindowSettings(context.app.profile());
  std::optional<ComposeForm> form = ForwardForm(*box->doc, *index, accounts.Current(), settings);
  if (!form) return 1;
  form->to = to;
  return QueueForm(context, *box, std::move(*form), *text, settings, std::nullopt);
}

}  // namespace lp
