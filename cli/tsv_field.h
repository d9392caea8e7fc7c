#pragma once

#include <string>

// One field of a TAB-separated output line, in UTF-8: a TAB or line break
// inside it (continued header lines, odd names) prints as a blank so the
// columns never shift, and any other control character as U+FFFD so that
// none reaches the terminal.

namespace lp {

[[nodiscard]] std::string TsvFieldUtf8(const std::string& sjis);

}  // namespace lp
