#pragma once

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
};

int RunInitCommand(CommandContext& context);
int RunListCommand(CommandContext& context);
int RunShowCommand(CommandContext& context);

}  // namespace lp
