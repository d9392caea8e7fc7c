#pragma once

#include <string_view>

// Whether bytes are well-formed in a multi-byte code. The code detection of
// the text layer decides by the first telling byte; where a line is well
// formed in one code only, that settles it, for example Shift_JIS with the
// IBM extension kanji (髙, 﨑: lead bytes 0xFA to 0xFC), whose lead bytes
// the detection takes for EUC-JP.

namespace lp {

// Every byte is ASCII, a half-width katakana, or part of a lead-trail pair.
[[nodiscard]] bool IsWellFormedShiftJis(std::string_view bytes);
// Every byte is ASCII, a pair of 0xA1-0xFE bytes, SS2 with a katakana byte
// or SS3 with a pair.
[[nodiscard]] bool IsWellFormedEucJp(std::string_view bytes);

}  // namespace lp
