#pragma once

#include <string>

// The bash completion of lanternpost-cli, made from its command table:
// commands, their options, choices, files and the boxes of the data
// directory named on the line (or the default one).

namespace lp {

[[nodiscard]] std::string CliBashCompletion();

}  // namespace lp
