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
#include "cli/command_help.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/terminal_user_interface.h"
#include "platform/data_directory.h"
#include "platform/data_directory_lock.h"
#include "platform/file_system.h"
#include "platform/instance_channel.h"

namespace {

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

int Run(int argc, char** argv) {
  std::vector<std::string> raw(argv + 1, argv + argc);
  std::string error;
  auto args = lp::ParseCliArguments(raw, lp::CliOptionsWithValue(), &error);
  if (!args) {
    std::fprintf(stderr, "lanternpost-cli: %s\n", error.c_str());
    return 2;
  }
  if (args->Has("version")) {
    std::printf("lanternpost-cli %s\n", LP_VERSION);
    return 0;
  }
  // "help COMMAND" and "COMMAND --help" describe one command.
  const bool help_wanted = args->command == "help" || args->Has("help");
  const std::string& named = args->command == "help" && !args->positional.empty() ? args->positional[0] : args->command;
  if (named.empty() || named == "help") {
    std::fputs(lp::CliUsageText().c_str(), help_wanted ? stdout : stderr);
    return help_wanted ? 0 : 2;
  }
  const lp::CliCommand* entry = lp::FindCliCommand(named);
  if (entry == nullptr && args->command == "help") {
    std::fputs(lp::CliUsageText().c_str(), stdout);
    return 0;
  }
  if (entry == nullptr) {
    std::fprintf(stderr, "lanternpost-cli: unknown command \"%s\"\n", named.c_str());
    std::fputs(lp::CliUsageText().c_str(), stderr);
    return 2;
  }
  if (help_wanted) {
    std::fputs(lp::CliCommandHelpText(*entry).c_str(), stdout);
    return 0;
  }

  // A run the desktop application can do goes to it when it runs on this
  // data directory; a run for another account than its current one cannot.
  if (!entry->desktop_switch.empty() && !args->Has("account")) {
    const std::string native_directory = lp::ResolveDataDirectory(args->data_dir);
    if (lp::HandOverToRunningInstance(native_directory, std::string(entry->desktop_switch))) {
      std::printf(lp::cli_messages::kHandedOverToDesktop, std::string(entry->name).c_str());
      return 0;
    }
  }

  std::string start_directory = lp::CurrentDirectory();
  std::optional<std::string> data_dir = args->data_dir;
  lp::DataDirectoryLock lock;
  if (entry->access == lp::DataAccess::Write) {
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
