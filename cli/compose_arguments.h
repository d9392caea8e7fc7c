#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "config/account_table.h"

// Arguments shared by the commands that queue mail (compose, reply,
// forward).

namespace lp {

// A header field from the command line, in Shift_JIS, without line
// breaks: a CR or LF would start a header line of its own.
[[nodiscard]] std::string FieldArgument(const CliArguments& args, const std::string& name);

// The text of --body or of the file --body-file names, in Shift_JIS with
// CR LF line ends; nullopt after a message when the file cannot be read.
// The caller makes sure one of the two was given.
[[nodiscard]] std::optional<std::string> BodyArgument(CommandContext& context);

// Sets `index` from --account N when it is given; false after a message
// when N names no account.
[[nodiscard]] bool AccountArgument(CommandContext& context, const CSetMenuArray& accounts, std::size_t& index);

}  // namespace lp
