#pragma once

#include <string>
#include <string_view>

// The three-line summary the mail list shows under each row in summary
// mode: the first non-empty lines of a mail's text that are not one of the
// header lines the text repeats (To, Subject, From, Date, Cc). Shift_JIS.

namespace lp {

inline constexpr int kSummaryLineCount = 3;

// The kept lines joined with "\r\n"; empty when the text has none.
[[nodiscard]] std::string ListSummaryOf(std::string_view text);

}  // namespace lp
