#pragma once

// Character-level building blocks of the text layer: reading one Shift_JIS
// character, the JIS X 0208 <-> Shift_JIS arithmetic, and the constant tables
// between JIS X 0201 (ASCII and half-width katakana) and their full-width
// JIS X 0208 forms. Everything is constexpr so that the tables cost nothing
// at start-up and hold no mutable state.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sjis_char.h"

namespace lp::japanese {

inline constexpr std::uint16_t kVoicedMark = 0x814A;      // ゛
inline constexpr std::uint16_t kSemiVoicedMark = 0x814B;  // ゜
inline constexpr unsigned char kHalfVoicedMark = 0xDE;     // ﾞ
inline constexpr unsigned char kHalfSemiVoicedMark = 0xDF; // ﾟ

// One character: its 16-bit code (lead * 256 + trail, or the byte) and size.
struct Char {
  std::uint16_t code;
  std::size_t length;
};

// A lead byte counts only when a valid trail byte follows; otherwise the byte
// stands alone, so that a stray lead byte never swallows CR, LF or a quote.
[[nodiscard]] inline Char CharAt(const unsigned char* p, const unsigned char* end) noexcept {
  unsigned char c = p[0];
  if (IsSjisLeadByte(c) && end - p >= 2 && IsSjisTrailByte(p[1])) {
    return {static_cast<std::uint16_t>(c << 8 | p[1]), 2};
  }
  return {c, 1};
}

[[nodiscard]] inline std::size_t CharLengthAt(std::string_view text, std::size_t i) noexcept {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  return CharAt(p + i, p + text.size()).length;
}

// JIS X 0208 pair (each byte 0x21-0x7E) to Shift_JIS; 0 when out of range.
[[nodiscard]] constexpr std::uint16_t JisToSjisCode(unsigned j1, unsigned j2) noexcept {
  if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return 0;
  unsigned s1 = (j1 - 0x21) / 2 + 0x81;
  if (s1 > 0x9F) s1 += 0x40;
  unsigned s2;
  if (j1 & 1) {
    s2 = j2 + 0x1F;
    if (j2 >= 0x60) ++s2;
  } else {
    s2 = j2 + 0x7E;
  }
  return static_cast<std::uint16_t>(s1 << 8 | s2);
}

// Shift_JIS pair to JIS X 0208 (j1 * 256 + j2); 0 when the bytes are not a
// valid double-byte character or fall outside JIS X 0208. The vendor rows
// 0xED-0xEE (NEC-selected IBM extensions) lie inside the arithmetic range but
// are not JIS X 0208, so they are refused too.
[[nodiscard]] constexpr std::uint16_t SjisToJisCode(unsigned s1, unsigned s2) noexcept {
  if (!IsSjisLeadByte(static_cast<unsigned char>(s1)) ||
      !IsSjisTrailByte(static_cast<unsigned char>(s2)) || s1 == 0xED || s1 == 0xEE) {
    return 0;
  }
  unsigned j1 = (s1 <= 0x9F ? s1 - 0x81 : s1 - 0xC1) * 2 + 0x21;
  unsigned j2;
  if (s2 >= 0x9F) {
    ++j1;
    j2 = s2 - 0x7E;
  } else {
    j2 = s2 >= 0x80 ? s2 - 0x20 : s2 - 0x1F;
  }
  if (j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return 0;
  return static_cast<std::uint16_t>(j1 << 8 | j2);
}

// Half-width katakana and kana punctuation 0xA1-0xDF -> full-width.
inline constexpr std::array<std::uint16_t, 63> kHalfKanaFull = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344,  // ｡｢｣､･ｦｧｨｩ
    0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343,  // ｪｫｬｭｮｯｰｱｲ
    0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354,  // ｳｴｵｶｷｸｹｺｻ
    0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367,  // ｼｽｾｿﾀﾁﾂﾃﾄ
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377,  // ﾅﾆﾇﾈﾉﾊﾋﾌﾍ
    0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388,  // ﾎﾏﾐﾑﾒﾓﾔﾕﾖ
    0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,  // ﾗﾘﾙﾚﾛﾜﾝﾞﾟ
};

// ASCII 0x20-0x7E -> full-width. JIS X 0208 has no straight quotes, so '"'
// and '\'' take ” and ’; 0x5C and 0x7E are ¥ and ‾ in JIS X 0201 and take
// ￥ and ￣.
inline constexpr std::array<std::uint16_t, 95> kAsciiFull = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,  //  !"#$%&'
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ()*+,-./
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 01234567
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 89:;<=>?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // @ABCDEFG
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // HIJKLMNO
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // PQRSTUVW
    0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151,  // XYZ[\]^_
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // `abcdefg
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // hijklmno
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // pqrstuvw
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,          // xyz{|}~
};

// Full-width form of a single-byte character (ASCII printable or half-width
// katakana), or 0.
[[nodiscard]] constexpr std::uint16_t FullWidthOf(unsigned char c) noexcept {
  if (c >= 0x20 && c <= 0x7E) return kAsciiFull[c - 0x20];
  if (c >= 0xA1 && c <= 0xDF) return kHalfKanaFull[c - 0xA1];
  return 0;
}

// Reverse of FullWidthOf over the codes 0x8100-0x83FF (every full-width form
// lies there); 0 where a code has no single-byte counterpart.
inline constexpr std::array<unsigned char, 0x300> kHalfOfFull = [] {
  std::array<unsigned char, 0x300> table{};
  for (unsigned c = 0x20; c <= 0xDF; ++c) {
    std::uint16_t full = FullWidthOf(static_cast<unsigned char>(c));
    if (full != 0) table[full - 0x8100] = static_cast<unsigned char>(c);
  }
  return table;
}();

[[nodiscard]] constexpr unsigned char HalfWidthOf(std::uint16_t code) noexcept {
  return code >= 0x8100 && code < 0x8400 ? kHalfOfFull[code - 0x8100] : 0;
}

// The 26 voiced-kana rows: half-width base byte and mark, full-width
// katakana, hiragana (the ヴ row repeats the katakana).
struct VoicedKana {
  unsigned char half;
  unsigned char mark;
  std::uint16_t katakana;
  std::uint16_t hiragana;
};

inline constexpr std::array<VoicedKana, 26> kVoicedKana = {{
    {0xB6, 0xDE, 0x834B, 0x82AA},  // ｶﾞ ガ が
    {0xB7, 0xDE, 0x834D, 0x82AC},  // ｷﾞ ギ ぎ
    {0xB8, 0xDE, 0x834F, 0x82AE},  // ｸﾞ グ ぐ
    {0xB9, 0xDE, 0x8351, 0x82B0},  // ｹﾞ ゲ げ
    {0xBA, 0xDE, 0x8353, 0x82B2},  // ｺﾞ ゴ ご
    {0xBB, 0xDE, 0x8355, 0x82B4},  // ｻﾞ ザ ざ
    {0xBC, 0xDE, 0x8357, 0x82B6},  // ｼﾞ ジ じ
    {0xBD, 0xDE, 0x8359, 0x82B8},  // ｽﾞ ズ ず
    {0xBE, 0xDE, 0x835B, 0x82BA},  // ｾﾞ ゼ ぜ
    {0xBF, 0xDE, 0x835D, 0x82BC},  // ｿﾞ ゾ ぞ
    {0xC0, 0xDE, 0x835F, 0x82BE},  // ﾀﾞ ダ だ
    {0xC1, 0xDE, 0x8361, 0x82C0},  // ﾁﾞ ヂ ぢ
    {0xC2, 0xDE, 0x8364, 0x82C3},  // ﾂﾞ ヅ づ
    {0xC3, 0xDE, 0x8366, 0x82C5},  // ﾃﾞ デ で
    {0xC4, 0xDE, 0x8368, 0x82C7},  // ﾄﾞ ド ど
    {0xCA, 0xDE, 0x836F, 0x82CE},  // ﾊﾞ バ ば
    {0xCB, 0xDE, 0x8372, 0x82D1},  // ﾋﾞ ビ び
    {0xCC, 0xDE, 0x8375, 0x82D4},  // ﾌﾞ ブ ぶ
    {0xCD, 0xDE, 0x8378, 0x82D7},  // ﾍﾞ ベ べ
    {0xCE, 0xDE, 0x837B, 0x82DA},  // ﾎﾞ ボ ぼ
    {0xCA, 0xDF, 0x8370, 0x82CF},  // ﾊﾟ パ ぱ
    {0xCB, 0xDF, 0x8373, 0x82D2},  // ﾋﾟ ピ ぴ
    {0xCC, 0xDF, 0x8376, 0x82D5},  // ﾌﾟ プ ぷ
    {0xCD, 0xDF, 0x8379, 0x82D8},  // ﾍﾟ ペ ぺ
    {0xCE, 0xDF, 0x837C, 0x82DB},  // ﾎﾟ ポ ぽ
    {0xB3, 0xDE, 0x8394, 0x8394},  // ｳﾞ ヴ ヴ
}};

// The full-width voiced katakana of a half-width pair, or 0.
[[nodiscard]] constexpr std::uint16_t VoicedFromHalf(unsigned char half, unsigned char mark) noexcept {
  for (const VoicedKana& row : kVoicedKana) {
    if (row.half == half && row.mark == mark) return row.katakana;
  }
  return 0;
}

// The row of a full-width voiced katakana or hiragana (katakana column
// first), or nullptr.
[[nodiscard]] constexpr const VoicedKana* FindVoiced(std::uint16_t code) noexcept {
  for (const VoicedKana& row : kVoicedKana) {
    if (row.katakana == code) return &row;
  }
  for (const VoicedKana& row : kVoicedKana) {
    if (row.hiragana == code) return &row;
  }
  return nullptr;
}

[[nodiscard]] constexpr bool IsHiragana(std::uint16_t code) noexcept {
  return code >= 0x829F && code <= 0x82F1;
}

[[nodiscard]] constexpr bool IsFullKatakana(std::uint16_t code) noexcept {
  return code >= 0x8340 && code <= 0x8396;
}

// The katakana of the same sound as a hiragana (the katakana block skips
// 0x837F, hence the two offsets).
[[nodiscard]] constexpr std::uint16_t HiraganaToKatakana(std::uint16_t code) noexcept {
  if (code >= 0x829F && code <= 0x82DD) return static_cast<std::uint16_t>(code + 0xA1);
  if (code >= 0x82DE && code <= 0x82F1) return static_cast<std::uint16_t>(code + 0xA2);
  return code;
}

}  // namespace lp::japanese
