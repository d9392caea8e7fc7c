#pragma once

#include <string>
#include <string_view>

// Text from mail bound for a terminal. Decoded headers and bodies can carry
// escape sequences (an encoded word may hold ESC, OSC, BEL ...) that would
// retitle, clear or reprogram the user's terminal; every control character
// is therefore shown as a visible replacement instead.

namespace lp {

enum class LineBreaks {
  Keep,     // TAB, CR and LF pass unchanged (a mail's display text)
  AsBlank,  // TAB, CR and LF become a blank (one field of one output line)
};

// UTF-8 text with each C0 control (U+0000..U+001F), DEL (U+007F) and C1
// control (U+0080..U+009F) replaced by U+FFFD, apart from the line breaks
// and TABs that `breaks` keeps.
[[nodiscard]] std::string TerminalSafeUtf8(std::string_view utf8, LineBreaks breaks);

// Shift_JIS text with each C0 control other than TAB, CR and LF, and DEL,
// replaced by "?" (Shift_JIS has no U+FFFD). These bytes are never part of a
// double-byte character, so the replacement never splits one.
[[nodiscard]] std::string TerminalSafeSjis(std::string_view sjis);

// Shift_JIS text converted to UTF-8 and made safe as above.
[[nodiscard]] std::string TerminalSafeFromSjis(std::string_view sjis, LineBreaks breaks);

}  // namespace lp
