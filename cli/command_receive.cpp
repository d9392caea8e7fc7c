#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "addressbook/address_book.h"
#include "app/mail_controller.h"
#include "app/patrol_send_step.h"
#include "app/send_and_receive.h"
#include "cli/box_arguments.h"
#include "cli/cli_oauth.h"
#include "cli/cli_transport.h"
#include "cli/commands.h"
#include "config/account_table.h"
#include "net/address_list_expansion.h"
#include "platform/event_loop.h"
#include "store/open_box_registry.h"

namespace lp {

namespace {

enum class ReceiveCommand { Receive, Patrol, Lan, DeleteAll, SendAndReceive };

// A run that shows no sign of life for this long is given up; the session's
// own idle timeout (60 seconds per connection) ends a stalled server first.
constexpr std::chrono::hours kRunLimit{24};

int ExitStatus(ReceiveStatus status) {
  switch (status) {
    case ReceiveStatus::Ok:
      return 0;
    case ReceiveStatus::Declined:
      return 3;
    case ReceiveStatus::ConnectFailed:
    case ReceiveStatus::SessionFailed:
    case ReceiveStatus::AnalysisFailed:
    case ReceiveStatus::Ignored:
      break;
  }
  return 1;
}

int RunReceiveCommand(CommandContext& context, ReceiveCommand command, const char* usage) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage(usage);
    return 2;
  }
  CSetMenuArray accounts;
  accounts.Load(context.app.profile());
  std::optional<std::size_t> account;
  if (const std::optional<std::string> value = context.args.Value("account")) {
    const std::optional<long> index = ParseNonNegative(*value);
    if (!index || static_cast<std::size_t>(*index) >= accounts.Count()) {
      context.ui.ShowMessage("no such account: " + *value);
      return 2;
    }
    account = static_cast<std::size_t>(*index);
  }

  EnsureEventLoopApplication();
  CliOAuth oauth;
  NullCommandObserver commands;
  OpenBoxRegistry registry(context.app.profile(), context.ui, commands);
  // Patrols and send-and-receive runs also send the send box.
  const bool sends = command == ReceiveCommand::Patrol || command == ReceiveCommand::SendAndReceive;
  AddressBook book;
  if (sends) (void)book.Load(context.app.profile(), context.ui);
  SendAndReceive send_and_receive(SendAndReceive::Dependencies{
      context.app.profile(), context.ui, registry, commands, accounts, context.app.settings().send_file,
      MakeCliTransport, MakeAddressListLookup(book, context.ui), &oauth.logins()});
  CommandObserver& controller_commands =
      command == ReceiveCommand::SendAndReceive ? static_cast<CommandObserver&>(send_and_receive) : commands;
  MailController controller(MailController::Dependencies{context.app.profile(), accounts, registry, context.ui,
                                                         controller_commands, context.app.data_directory(),
                                                         MakeCliTransport, &oauth.logins()});
  if (!controller.OpenReceiveBox()) return 1;
  send_and_receive.Attach(controller);
  std::unique_ptr<PatrolSendStep> send_step;
  if (command == ReceiveCommand::Patrol) {
    send_step = std::make_unique<PatrolSendStep>(PatrolSendStep::Dependencies{
        context.app.profile(), context.ui, registry, commands, accounts, context.app.settings().send_file,
        MakeCliTransport, MakeAddressListLookup(book, context.ui), &oauth.logins()});
    send_step->Attach(controller);
  }
  switch (command) {
    case ReceiveCommand::Receive:
      if (!controller.Receive(account)) return ExitStatus(controller.LastStatus());
      break;
    case ReceiveCommand::Patrol:
      if (!controller.Patrol()) return 1;
      break;
    case ReceiveCommand::Lan:
      (void)controller.LanReceive();
      break;
    case ReceiveCommand::DeleteAll:
      if (!controller.DeleteAllOnServer()) return ExitStatus(controller.LastStatus());
      break;
    case ReceiveCommand::SendAndReceive:
      if (!send_and_receive.Start()) return 1;
      break;
  }
  if (!RunEventLoopUntil([&] { return controller.Idle() && !send_and_receive.Running(); }, kRunLimit)) return 1;
  const SendPipeline* sent = send_and_receive.SendRun();
  if (sent != nullptr && sent->LastResult().status != SendRunStatus::Sent &&
      sent->LastResult().status != SendRunStatus::NothingToSend) {
    return 1;
  }
  return ExitStatus(controller.LastStatus());
}

}  // namespace

int RunReceiveCommand(CommandContext& context) {
  return RunReceiveCommand(context, ReceiveCommand::Receive, "usage: receive [--account N]");
}

int RunPatrolCommand(CommandContext& context) {
  return RunReceiveCommand(context, ReceiveCommand::Patrol, "usage: patrol");
}

int RunLanCommand(CommandContext& context) { return RunReceiveCommand(context, ReceiveCommand::Lan, "usage: lan"); }

int RunSendAndReceiveCommand(CommandContext& context) {
  return RunReceiveCommand(context, ReceiveCommand::SendAndReceive, "usage: sendrecv");
}

int RunDeleteAllCommand(CommandContext& context) {
  return RunReceiveCommand(context, ReceiveCommand::DeleteAll, "usage: delete-all --yes");
}

}  // namespace lp
