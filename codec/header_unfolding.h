#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Folded header fields (RFC 5322 2.2.3): a long field goes on over lines
// that begin with a blank or TAB. Unfolding removes only the line break, so
// the blank at the fold stays part of the value: "reset when" CR LF
// " two-factor" reads "reset when two-factor". Blanks between two encoded
// words vanish later, when the words are decoded (RFC 2047 6.2).

namespace lp {

// True for a line that continues the header field before it: it begins with
// a blank or TAB, or it holds no ":" at all (some mailers fold without the
// blank; such a line is no field of its own).
[[nodiscard]] bool IsHeaderContinuation(std::string_view line);

// Appends continuation line `line` to the field value `value` as unfolding
// joins them: the line as it stands, its leading blanks included. The value
// grows to at most `max_bytes`.
void AppendUnfolded(std::string& value, std::string_view line, std::size_t max_bytes = std::string::npos);

// The line without its leading blanks and TABs.
[[nodiscard]] std::string_view WithoutLeadingBlanks(std::string_view line);

}  // namespace lp
