#pragma once

#include <string>

#include "cli/command_table.h"

// The help texts printed by `--help` and `COMMAND --help`, made from the
// command table.

namespace lp {

// "usage: lanternpost-cli ...", the global options and one entry per command.
[[nodiscard]] std::string CliUsageText();

// The usage line of one command, its description and its options.
[[nodiscard]] std::string CliCommandHelpText(const CliCommand& command);

}  // namespace lp
