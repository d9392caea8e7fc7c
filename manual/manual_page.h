#pragma once

#include <string>
#include <string_view>

// The manual pages of lanternpost-cli(1) and lanternpost(1) in roff, made
// from the programs' own command tables.

namespace lp {

enum class ManualLanguage { English, Japanese };

[[nodiscard]] std::string CliManualPage(ManualLanguage language, std::string_view version);
[[nodiscard]] std::string DesktopManualPage(ManualLanguage language, std::string_view version);

// Text made safe for roff: backslashes and hyphens escaped, a line that
// would start with a control character protected.
[[nodiscard]] std::string RoffText(std::string_view text);

}  // namespace lp
