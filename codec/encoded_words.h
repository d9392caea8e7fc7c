#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// RFC 2047 encoded words in header lines: decoding of received headers and
// the one form this program writes, a whole value as one ISO-2022-JP word.

namespace lp {

// An encoded word ("=?" to "?=") and its decoded result must each fit in
// this many bytes; a longer word stays in the line as it stands.
inline constexpr std::size_t kMaxEncodedWordBytes = 4096;

// Replaces every encoded word of the header line by its decoded text.
//
// Each word is decoded by its own charset (compared without regard to case)
// and brought to Shift_JIS here: UTF-8, UTF-7, ISO-2022-JP and EUC-JP words
// through their converters, Shift_JIS and US-ASCII words as they are, any
// other charset through ConvertToSjis's guess. Adjacent words of one charset
// are converted together, so a character split between two words survives.
// The decoded parts therefore hold only Shift_JIS, and a header mixing
// ISO-2022-JP and UTF-8 words cannot end up half JIS and half Shift_JIS.
// Text outside the words is left as it stands; callers still pass the whole
// line through ConvertToSjis for headers carrying raw JIS or EUC-JP.
//
// White space between two adjacent decoded words disappears (RFC 2047 6.2);
// white space between a word and ordinary text stays. In a "Q" word "_"
// stands for a space. CR, LF and NUL in a decoded word become spaces, so a
// word can never add a line to a stored header. A "=?" that starts no
// well-formed word is ordinary text; a word whose closing "?=" is missing
// ends the decoding and the rest of the line stays as it is.
[[nodiscard]] std::string DecodeEncodedWords(std::string_view line);

// A Shift_JIS header value with a double-byte character becomes, as a whole,
// one "=?ISO-2022-JP?B?...?=" word however long it is; any other value
// (half-width katakana alone included) comes back unchanged.
[[nodiscard]] std::string EncodeHeaderValue(std::string_view sjis_value);

}  // namespace lp
