#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The character-code layer: every string the program holds is Shift_JIS
// (code page 932). Detection and conversion of JIS / EUC-JP / Shift_JIS,
// the ISO-2022-JP encoder, UTF-8 and UTF-7 input, the width commands, and
// Japanese-aware search, comparison and sorting with folding flags.
//
// Inputs are byte strings; the functions look at every byte of the view
// (callers holding NUL-terminated data pass the part before the NUL), except
// where a step below says that NUL ends the scan. A double-byte character is
// a lead byte followed by a valid trail byte; a lead byte without one stands
// alone, so that broken text never swallows the CR, LF or quote after it.

namespace lp {

enum class JapaneseCode { Sjis = 0, Jis = 1, Euc = 2, Undecided = 4, EucOrSjis = 5 };

// Folding flags, combinable.
enum FoldFlags : unsigned {
  IgnoreWidth = 1,           // 全角／半角を区別しない
  IgnoreCase = 2,            // 大文字／小文字を区別しない
  IgnoreKana = 4,            // カタカナ／ひらがなを区別しない
  IgnoreSmallAndVoiced = 8,  // small kana and voiced marks
  FoldAll = 0xFF,            // what every sorted name list uses
};

[[nodiscard]] JapaneseCode DetectJapaneseCode(std::string_view text);

// Any supported code to Shift_JIS; Shift_JIS, plain ASCII and undecidable
// text come back unchanged.
[[nodiscard]] std::string ConvertToSjis(std::string_view text);

// Each returns the number of double-byte characters produced; `out` is
// replaced by the result.
int JisToSjis(std::string_view text, std::string& out);
int EucToSjis(std::string_view text, std::string& out);
int SjisToJis(std::string_view text, std::string& out);

[[nodiscard]] std::string Utf8ToSjis(std::string_view text);
[[nodiscard]] std::string Utf7ToSjis(std::string_view text);

// Return the number of characters converted; `out` is replaced.
int HalfKanaToFull(std::string_view text, std::string& out);
int FullToHalf(std::string_view text, std::string& out);

// Byte offset of the first match or -1; `match_length` (when given) gets the
// length in bytes of the matched text. An empty text or pattern gives -1.
[[nodiscard]] long FindJapaneseText(std::string_view text, std::string_view pattern, unsigned flags,
                                    std::size_t* match_length = nullptr);
// 0 when equal under the flags, else the difference of the first differing
// folded character codes (a - b).
[[nodiscard]] int CompareJapaneseText(std::string_view a, std::string_view b, unsigned flags);
// Heap sort (not stable), ascending by CompareJapaneseText.
void SortStrings(std::vector<std::string>& strings, unsigned flags);

// 1 when the byte at `index` is the lead byte of a double-byte character
// (scanning from the start), 0 for a single byte or a trail byte, -1 when
// `index` lies beyond the text.
[[nodiscard]] int IsLeadByteAt(std::string_view text, std::size_t index);
// The last whole character (two bytes when it is double-byte), found by
// scanning from the start.
[[nodiscard]] std::string_view LastCharacter(std::string_view text);
// Index of the first `ch` outside a pair of `quote` bytes, or -1.
[[nodiscard]] long FindUnquoted(std::string_view text, char ch, char quote);
// Every byte below 0x80 and no ESC.
[[nodiscard]] bool IsPlain7Bit(std::string_view text);
// `text` without the single-byte characters equal to `ch`; a trail byte equal
// to `ch` belongs to its double-byte character and stays.
[[nodiscard]] std::string RemoveChar(std::string_view text, char ch);

}  // namespace lp
