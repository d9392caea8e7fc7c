#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/application_core.h"
#include "cli/cli_arguments.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "cli/terminal_user_interface.h"
#include "platform/data_directory.h"
#include "platform/data_directory_lock.h"
#include "platform/file_system.h"
#include "platform/instance_channel.h"

namespace {

// A command that changes boxes, settings or work files holds the data
// directory's lock while it runs; one that only reads takes none (every
// save replaces its file atomically, so a reader sees the old or the new).
// "html" counts as a reader: it changes no mail and replaces only its own
// page file.
enum class DataAccess { Read, Write };

struct CommandEntry {
  const char* name;
  DataAccess access;
  int (*run)(lp::CommandContext&);
  // The start-up switch of a run a running desktop application takes over
  // (it owns the mailboxes while it runs); nullptr for the others.
  const char* desktop_switch = nullptr;
};

const CommandEntry kCommands[] = {
    {"init", DataAccess::Write, lp::RunInitCommand},
    {"list", DataAccess::Read, lp::RunListCommand},
    {"show", DataAccess::Read, lp::RunShowCommand},
    {"analyse", DataAccess::Write, lp::RunAnalyseCommand},
    {"html", DataAccess::Read, lp::RunHtmlCommand},
    {"boxes", DataAccess::Read, lp::RunBoxesCommand},
    {"sort", DataAccess::Write, lp::RunSortCommand},
    {"compact", DataAccess::Write, lp::RunCompactCommand},
    {"check", DataAccess::Write, lp::RunCheckCommand},
    {"import", DataAccess::Write, lp::RunImportCommand},
    {"move", DataAccess::Write, lp::RunMoveCommand},
    {"delete", DataAccess::Write, lp::RunDeleteCommand},
    {"accounts", DataAccess::Read, lp::RunAccountsCommand},
    {"password", DataAccess::Write, lp::RunPasswordCommand},
    {"signin", DataAccess::Write, lp::RunSignInCommand},
    {"receive", DataAccess::Write, lp::RunReceiveCommand, "/R"},
    {"patrol", DataAccess::Write, lp::RunPatrolCommand, "/A"},
    {"sendrecv", DataAccess::Write, lp::RunSendAndReceiveCommand, "/J"},
    {"lan", DataAccess::Write, lp::RunLanCommand},
    {"delete-all", DataAccess::Write, lp::RunDeleteAllCommand},
    {"compose", DataAccess::Write, lp::RunComposeCommand},
    {"reply", DataAccess::Write, lp::RunReplyCommand},
    {"forward", DataAccess::Write, lp::RunForwardCommand},
    {"send", DataAccess::Write, lp::RunSendCommand, "/S"},
    // A walk over the boxes must not meet a writer rewriting one of them.
    {"search", DataAccess::Write, lp::RunSearchCommand},
    {"export", DataAccess::Write, lp::RunExportCommand},
    {"import-mail", DataAccess::Write, lp::RunImportMailCommand},
};

constexpr int kExitDataDirectoryBusy = 4;
// How long a writer waits for another one to finish before giving up.
constexpr std::chrono::seconds kWriterLockWait(3);

// Enters the data directory and takes its lock, waiting a short while for
// another writer. Returns 0 with `native_directory` made absolute (so that
// start-up finds the same directory again), or the exit status after
// printing why the command cannot run.
int LockDataDirectory(std::string& native_directory, lp::DataDirectoryLock& lock) {
  std::error_code ignored;
  if (!native_directory.empty()) native_directory = std::filesystem::absolute(native_directory, ignored).string();
  std::string error;
  if (!lp::EnterDataDirectory(native_directory, &error)) {
    std::fprintf(stderr, lp::cli_messages::kDataDirectoryUnusable, error.c_str());
    return 1;
  }
  switch (lock.Lock(native_directory, "lanternpost-cli", kWriterLockWait)) {
    case lp::DataDirectoryLock::Result::Locked: return 0;
    case lp::DataDirectoryLock::Result::HeldByAnother: {
      const std::string holder =
          lock.holder().empty() ? lp::cli_messages::kDataDirectoryBusyHolderUnknown : lock.holder();
      std::fprintf(stderr, lp::cli_messages::kDataDirectoryBusy, native_directory.c_str(), holder.c_str(),
                   static_cast<int>(kWriterLockWait.count()));
      return kExitDataDirectoryBusy;
    }
    case lp::DataDirectoryLock::Result::Failed: break;
  }
  std::fprintf(stderr, lp::cli_messages::kDataDirectoryLockFailed, native_directory.c_str(), lock.error().c_str());
  return 1;
}

// Options that take a value; every other --option is a flag.
const std::vector<std::string> kOptionsWithValue = {"data-dir", "header-mode", "line-limit", "account",
                                                    "to", "cc", "bcc", "subject", "body", "body-file", "attach",
                                                    "signature", "fold", "field", "status", "label", "into",
                                                    "format", "time-limit"};

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: lanternpost-cli [--data-dir DIR] COMMAND [ARGS]\n"
      "commands:\n"
      "  init                      create the settings, fixed boxes and directories\n"
      "  list [BOX]                list the mails of a box (default: the receive box)\n"
      "  show [BOX] INDEX [--header-mode 0|1|2] [--line-limit N] [--sjis] [--source]\n"
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
      "  signin [--account N] [--time-limit SECONDS]\n"
      "                            sign an OAuth 2.0 account in: prints the address to open in a\n"
      "                            browser, waits for the sign-in and stores the tokens\n"
      "  receive [--account N]     fetch the new mail of the current account (or account N)\n"
      "  patrol                    send, then receive every account marked for the patrol in turn\n"
      "  sendrecv                  send and receive for the current account (PopBefore: receive first)\n"
      "  lan                       pick up LAN mail only\n"
      "  delete-all --yes          delete every mail on the current account's POP server\n"
      "  compose --to ADDR [--cc ADDR] [--bcc ADDR] --subject TEXT (--body-file FILE | --body TEXT)\n"
      "          [--attach FILE] [--signature N] [--account N]\n"
      "                            queue a new mail in the send box\n"
      "  reply [BOX] INDEX [--all] [--body TEXT | --body-file FILE] [--account N]\n"
      "                            queue a reply (to everyone with --all) above the quoted mail\n"
      "  forward [BOX] INDEX --to ADDR [--body TEXT | --body-file FILE]\n"
      "                            queue a forward of one mail, quoted\n"
      "  send [--account N]        send every unsent mail of the send box\n"
      "  search [BOX|--all] TEXT [--regex] [--fold width,case,kana,small|all]\n"
      "         [--field subject|from|to|body|all] [--status N] [--label N]\n"
      "                            list the matching mails: box, index, date, From, Subject\n"
      "                            (TAB-separated); exit status 1 when nothing matched\n"
      "  export NAME [BOX|--all] [--to FILE]\n"
      "                            write the mails a named text-export setting chooses to a file\n"
      "  import-mail SOURCE [--into FOLDER] [--format mbox|maildir|mh]\n"
      "                            import another program's mbox, Maildir or MH folders into boxes\n",
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

  // A run the desktop application can do goes to it when it runs on this
  // data directory; a run for another account than its current one cannot.
  if (entry->desktop_switch != nullptr && !args->Has("account")) {
    const std::string native_directory = lp::ResolveDataDirectory(args->data_dir);
    if (lp::HandOverToRunningInstance(native_directory, entry->desktop_switch)) {
      std::printf(lp::cli_messages::kHandedOverToDesktop, entry->name);
      return 0;
    }
  }

  std::string start_directory = lp::CurrentDirectory();
  std::optional<std::string> data_dir = args->data_dir;
  lp::DataDirectoryLock lock;
  if (entry->access == DataAccess::Write) {
    std::string native_directory = lp::ResolveDataDirectory(args->data_dir);
    if (int status = LockDataDirectory(native_directory, lock); status != 0) return status;
    data_dir = native_directory;
  }
  lp::ApplicationCore app;
  if (!app.Start(data_dir, &error)) {
    std::fprintf(stderr, lp::cli_messages::kDataDirectoryUnusable, error.c_str());
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
