#pragma once

#include <string>

#include "app/application_core.h"
#include "cli/cli_arguments.h"
#include "cli/terminal_user_interface.h"

// One function per command; each returns the process's exit status. The
// application has been started on the data directory before a command runs.

namespace lp {

struct CommandContext {
  ApplicationCore& app;
  const CliArguments& args;
  TerminalUserInterface& ui;
  // The directory the program was started in (Shift_JIS): file arguments
  // other than boxes are relative to it, not to the data directory.
  std::string start_directory;
};

// A file argument (UTF-8 as typed) as a Shift_JIS path usable from the data
// directory.
[[nodiscard]] std::string StartRelativePath(const CommandContext& context, const std::string& utf8_path);

int RunInitCommand(CommandContext& context);
int RunListCommand(CommandContext& context);
int RunShowCommand(CommandContext& context);
int RunAnalyseCommand(CommandContext& context);
int RunHtmlCommand(CommandContext& context);
int RunBoxesCommand(CommandContext& context);
int RunSortCommand(CommandContext& context);
int RunCompactCommand(CommandContext& context);
int RunCheckCommand(CommandContext& context);
int RunImportCommand(CommandContext& context);
int RunMoveCommand(CommandContext& context);
int RunDeleteCommand(CommandContext& context);
int RunAccountsCommand(CommandContext& context);
int RunPasswordCommand(CommandContext& context);
int RunSignInCommand(CommandContext& context);
int RunSendAndReceiveCommand(CommandContext& context);
int RunReceiveCommand(CommandContext& context);
int RunPatrolCommand(CommandContext& context);
int RunLanCommand(CommandContext& context);
int RunDeleteAllCommand(CommandContext& context);
int RunComposeCommand(CommandContext& context);
int RunReplyCommand(CommandContext& context);
int RunForwardCommand(CommandContext& context);
int RunSendCommand(CommandContext& context);
int RunSearchCommand(CommandContext& context);
int RunExportCommand(CommandContext& context);
int RunImportMailCommand(CommandContext& context);

}  // namespace lp
