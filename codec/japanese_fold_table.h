#pragma once

// The fold tables behind the searches and comparisons under the folding
// flags, shared by the functions of the text layer that fold text one
// character at a time. Internal to codec/.

#include <array>
#include <cstddef>
#include <cstdint>

#include "codec/japanese_chars.h"

namespace lp::japanese {

// Folded codes for one flag combination. Only single bytes and the codes
// 0x8100-0x83FF (symbols, full-width Latin, kana) change; kanji fold to
// themselves.
struct FoldTable {
  std::array<std::uint16_t, 0x100> single{};
  std::array<std::uint16_t, 0x300> block{};
  bool width = false;
  bool kana = false;

  [[nodiscard]] constexpr std::uint16_t Lookup(std::uint16_t code) const {
    if (code < 0x100) return single[code];
    if (code >= 0x8100 && code < 0x8400) return block[code - 0x8100];
    return code;
  }
};

// The table of a flag combination (bits beyond the four flags ignored).
[[nodiscard]] const FoldTable& FoldTableFor(unsigned flags);

// The longest run of bytes one folded character can take: a full-width kana
// and a separate voiced mark.
inline constexpr std::size_t kMaxFoldedCharBytes = 4;

struct Folded {
  std::uint16_t code;
  std::size_t consumed;     // bytes taken by the folded character
  std::size_t char_length;  // bytes of the first character alone
};

// A kana (katakana, or hiragana with kana folding) and the second byte of a
// following ゛ (0x4A) or ゜ (0x4B): the voiced katakana, or 0 when the pair
// has none.
[[nodiscard]] std::uint16_t ComposeWithMark(std::uint16_t code, unsigned char second_byte);

// The folded character at `p` (before `end`).
[[nodiscard]] inline Folded FoldAt(const FoldTable& table, const unsigned char* p, const unsigned char* end) {
  const Char ch = japanese::CharAt(p, end);
  std::uint16_t code = ch.code;
  std::size_t consumed = ch.length;
  if (table.width) {
    if (ch.length == 1 && IsHalfWidthKana(p[0]) && end - p >= 2 &&
        (p[1] == japanese::kHalfVoicedMark || p[1] == japanese::kHalfSemiVoicedMark)) {
      if (std::uint16_t voiced = japanese::VoicedFromHalf(p[0], p[1]); voiced != 0) {
        code = voiced;
        consumed = 2;
      }
    }
    if ((japanese::IsFullKatakana(code) || (table.kana && japanese::IsHiragana(code))) &&
        end - p >= static_cast<std::ptrdiff_t>(consumed + 2) && p[consumed] == 0x81 &&
        (p[consumed + 1] == 0x4A || p[consumed + 1] == 0x4B)) {
      if (std::uint16_t voiced = ComposeWithMark(code, p[consumed + 1]); voiced != 0) {
        code = voiced;
        consumed += 2;
      }
    }
  }
  return {table.Lookup(code), consumed, ch.length};
}

}  // namespace lp::japanese
