#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "addressbook/address_book.h"
#include "cli/box_arguments.h"
#include "cli/cli_oauth.h"
#include "cli/cli_transport.h"
#include "cli/commands.h"
#include "config/account_table.h"
#include "net/address_list_expansion.h"
#include "net/send_pipeline.h"
#include "platform/code_page.h"
#include "platform/event_loop.h"

namespace lp {

namespace {

// A run that shows no sign of life for this long is given up; the
// session's own idle timeout ends a stalled server first.
constexpr std::chrono::hours kRunLimit{24};

int ExitStatus(SendRunStatus status) {
  switch (status) {
    case SendRunStatus::Sent:
    case SendRunStatus::NothingToSend:
      return 0;
    case SendRunStatus::ConnectFailed:
    case SendRunStatus::Failed:
    case SendRunStatus::Ignored:
      break;
  }
  return 1;
}

}  // namespace

// One send run over the send box, headless: the run's messages are
// printed; the exit status is 1 when a mail could not be sent.
int RunSendCommand(CommandContext& context) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage("usage: send [--account N]");
    return 2;
  }
  Profile& profile = context.app.profile();
  CSetMenuArray accounts;
  accounts.Load(profile);
  std::size_t account_index = accounts.CurrentIndex();
  if (const std::optional<std::string> value = context.args.Value("account")) {
    const std::optional<long> index = ParseNonNegative(*value);
    if (!index || static_cast<std::size_t>(*index) >= accounts.Count()) {
      context.ui.ShowMessage("no such account: " + *value);
      return 2;
    }
    account_index = static_cast<std::size_t>(*index);
  }

  std::unique_ptr<OpenedBox> box = OpenBoxForCommand(context, Cp932ToUtf8(context.app.settings().send_file));
  if (!box) return 1;
  AddressBook book;
  (void)book.Load(profile, context.ui);

  EnsureEventLoopApplication();
  int status = 1;
  {
    CliOAuth oauth;
    SendPipeline pipeline(SendPipeline::Dependencies{profile, context.ui, box->registry, *box->doc,
                                                     MakeCliTransport, MakeAddressListLookup(book, context.ui),
                                                     nullptr, {}, {}, {}, kSmtpWorkFile, "smail.log",
                                                     &oauth.logins()});
    (void)pipeline.Start(accounts.At(account_index));
    if (RunEventLoopUntil([&] { return !pipeline.Running(); }, kRunLimit)) {
      status = ExitStatus(pipeline.LastResult().status);
    }
  }
  if (!CloseBoxForCommand(context, *box)) return 1;
  return status;
}

}  // namespace lp
