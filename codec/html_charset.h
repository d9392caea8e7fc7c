#pragma once

#include <string>
#include <string_view>

// The character encoding an HTML page declares: a page written in
// Shift_JIS must say so, whatever the mail it came from declared.

namespace lp {

// The declaration written into every page: a META element, which a
// browser finds within the page's first bytes.
inline constexpr std::string_view kShiftJisDeclaration =
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">";

// `html` (from its HTML element on) without the META elements that name a
// character set, with kShiftJisDeclaration right after the start tag of
// its HEAD element, or of its HTML element when it has no HEAD.
[[nodiscard]] std::string DeclaringShiftJis(std::string_view html);

}  // namespace lp
