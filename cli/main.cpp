#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/application_core.h"
#include "cli/cli_arguments.h"
#include "cli/commands.h"
#include "cli/terminal_user_interface.h"
#include "platform/file_system.h"

namespace {

struct CommandEntry {
  const char* name;
  int (*run)(lp::CommandContext&);
};

const CommandEntry kCommands[] = {
    {"init", lp::RunInitCommand},
    {"list", lp::RunListCommand},
    {"show", lp::RunShowCommand},
    {"analyse", lp::RunAnalyseCommand},
    {"html", lp::RunHtmlCommand},
    {"boxes", lp::RunBoxesCommand},
    {"sort", lp::RunSortCommand},
    {"compact", lp::RunCompactCommand},
    {"check", lp::RunCheckCommand},
    {"import", lp::RunImportCommand},
    {"move", lp::RunMoveCommand},
    {"delete", lp::RunDeleteCommand},
    {"accounts", lp::RunAccountsCommand},
    {"password", lp::RunPasswordCommand},
    {"receive", lp::RunReceiveCommand},
    {"patrol", lp::RunPatrolCommand},
    {"sendrecv", lp::RunSendAndReceiveCommand},
    {"lan", lp::RunLanCommand},
    {"delete-all", lp::RunDeleteAllCommand},
    {"compose", lp::RunComposeCommand},
    {"send", lp::RunSendCommand},
};

// Options that take a value; every other --option is a flag.
const std::vector<std::string> kOptionsWithValue = {"data-dir", "header-mode", "line-limit", "account",
                                                    "to", "cc", "bcc", "subject", "body", "body-file", "attach",
                                                    "signature"};

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: lanternpost-cli [--data-dir DIR] COMMAND [ARGS]\n"
      "commands:\n"
      "  init                      create the settings, fixed boxes and directories\n"
      "  list [BOX]                list the mails of a box (default: the receive box)\n"
      "  show [BOX] INDEX [--header-mode 0|1|2] [--line-limit N] [--sjis]\n"
      "                            print the display text of one mail\n"
      "  analyse SPOOL [BOX]       analyse a spool file into a box (default: the receive box)\n"
      "  html [BOX] INDEX [--yes|--no]\n"
      "                            write lpost.html for one mail; --yes answers the warnings\n"
      "  boxes                     list every box and folder (folders end in /)\n"
      "  sort BOX KEY              sort a box: date, from, subject, to, label, status, thread (or 0-6)\n"
      "  compact BOX               remove the dead space of a box's text file\n"
      "  check BOX                 check and repair the text offsets of a box\n"
      "  import BOX FILE           take over the mails of another box file\n"
      "  move BOX INDEX DEST       move one mail to another box\n"
      "  delete BOX INDEX [--yes]  delete one mail (to the trash box when it is on)\n"
      "  accounts                  list the connection accounts: current mark (*), index, name,\n"
      "                            POP server, address, patrol flag (TAB-separated)\n"
      "  password [--account N]    store an account's POP password, read from standard input\n"
      "  receive [--account N]     fetch the new mail of the current account (or account N)\n"
      "  patrol                    send, then receive every account marked for the patrol in turn\n"
      "  sendrecv                  send and receive for the current account (PopBefore: receive first)\n"
      "  lan                       pick up LAN mail only\n"
      "  delete-all --yes          delete every mail on the current account's POP server\n"
      "  compose --to ADDR [--cc ADDR] [--bcc ADDR] --subject TEXT (--body-file FILE | --body TEXT)\n"
      "          [--attach FILE] [--signature N] [--account N]\n"
      "                            queue a new mail in the send box\n"
      "  send [--account N]        send every unsent mail of the send box\n",
      out);
}

int Run(int argc, char** argv) {
  std::vector<std::string> raw(argv + 1, argv + argc);
  std::string error;
  auto args = lp::ParseCliArguments(raw, kOptionsWithValue, &error);
  if (!args) {
    std::fprintf(stderr, "lanternpost-cli: %s\n", error.c_str());
    return 2;
  }
  if (args->command.empty() || args->command == "help" || args->Has("help")) {
    PrintUsage(args->command.empty() && !args->Has("help") ? stderr : stdout);
    return args->command.empty() && !args->Has("help") ? 2 : 0;
  }
  const CommandEntry* entry = nullptr;
  for (const CommandEntry& candidate : kCommands) {
    if (args->command == candidate.name) entry = &candidate;
  }
  if (entry == nullptr) {
    std::fprintf(stderr, "lanternpost-cli: unknown command \"%s\"\n", args->command.c_str());
    PrintUsage(stderr);
    return 2;
  }

  std::string start_directory = lp::CurrentDirectory();
  lp::ApplicationCore app;
  if (!app.Start(args->data_dir, &error)) {
    std::fprintf(stderr, "lanternpost-cli: cannot use the data directory: %s\n", error.c_str());
    return 1;
  }
  lp::TerminalUserInterface ui(args->Has("yes"));
  lp::CommandContext context{app, *args, ui, start_directory};
  return entry->run(context);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lanternpost-cli: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "lanternpost-cli: unexpected failure\n");
  }
  return 1;
}
