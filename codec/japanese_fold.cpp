// Search, comparison and sorting under the folding flags (width, case,
// hiragana/katakana, small kana and voiced marks).

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "codec/japanese_chars.h"
#include "codec/japanese_fold_table.h"
#include "codec/japanese_text.h"

namespace lp {
namespace {

using japanese::FoldAt;
using japanese::Folded;
using japanese::FoldTable;

constexpr unsigned kFlagMask = IgnoreWidth | IgnoreCase | IgnoreKana | IgnoreSmallAndVoiced;

// Small kana and the long-vowel look-alikes to their plain forms; voiced
// katakana to their unvoiced base.
constexpr std::uint16_t FoldSmallAndVoiced(std::uint16_t code) {
  switch (code) {
    case 0xA7: return 0xB1;  // ｧ ｱ
    case 0xA8: return 0xB2;  // ｨ ｲ
    case 0xA9: return 0xB3;  // ｩ ｳ
    case 0xAA: return 0xB4;  // ｪ ｴ
    case 0xAB: return 0xB5;  // ｫ ｵ
    case 0xAF: return 0xC2;  // ｯ ﾂ
    case 0xAC: return 0xD4;  // ｬ ﾔ
    case 0xAD: return 0xD5;  // ｭ ﾕ
    case 0xAE: return 0xD6;  // ｮ ﾖ
    case 0x2D: return 0xB0;  // - ｰ
    case 0x829F: return 0x82A0;  // ぁ あ
    case 0x82A1: return 0x82A2;  // ぃ い
    case 0x82A3: return 0x82A4;  // ぅ う
    case 0x82A5: return 0x82A6;  // ぇ え
    case 0x82A7: return 0x82A8;  // ぉ お
    case 0x82C1: return 0x82C2;  // っ つ
    case 0x82E1: return 0x82E2;  // ゃ や
    case 0x82E3: return 0x82E4;  // ゅ ゆ
    case 0x82E5: return 0x82E6;  // ょ よ
    case 0x8340: return 0x8341;  // ァ ア
    case 0x8342: return 0x8343;  // ィ イ
    case 0x8344: return 0x8345;  // ゥ ウ
    case 0x8346: return 0x8347;  // ェ エ
    case 0x8348: return 0x8349;  // ォ オ
    case 0x8362: return 0x8363;  // ッ ツ
    case 0x8383: return 0x8384;  // ャ ヤ
    case 0x8385: return 0x8386;  // ュ ユ
    case 0x8387: return 0x8388;  // ョ ヨ
    case 0x817C: return 0x815B;  // － ー
    default: break;
  }
  for (const japanese::VoicedKana& row : japanese::kVoicedKana) {
    if (row.katakana == code) return japanese::FullWidthOf(row.half);
  }
  return code;
}

// Steps after composition: width, case, kana, small and voiced.
constexpr std::uint16_t FoldCode(std::uint16_t code, unsigned flags) {
  if ((flags & IgnoreWidth) && code < 0x100) {
    if (std::uint16_t full = japanese::FullWidthOf(static_cast<unsigned char>(code)); full != 0) {
      code = full;
    }
  }
  if (flags & IgnoreCase) {
    if (code >= 'a' && code <= 'z') code = static_cast<std::uint16_t>(code - 0x20);
    if (code >= 0x8281 && code <= 0x829A) code = static_cast<std::uint16_t>(code - 0x21);  // ａ-ｚ
  }
  if (flags & IgnoreKana) code = japanese::HiraganaToKatakana(code);
  if (flags & IgnoreSmallAndVoiced) code = FoldSmallAndVoiced(code);
  return code;
}

using FoldTables = std::array<FoldTable, kFlagMask + 1>;

constexpr FoldTables BuildFoldTables() {
  FoldTables tables;
  for (unsigned flags = 0; flags <= kFlagMask; ++flags) {
    FoldTable& table = tables[flags];
    table.width = (flags & IgnoreWidth) != 0;
    table.kana = (flags & IgnoreKana) != 0;
    for (unsigned c = 0; c < 0x100; ++c) {
      table.single[c] = FoldCode(static_cast<std::uint16_t>(c), flags);
    }
    for (unsigned c = 0; c < 0x300; ++c) {
      table.block[c] = FoldCode(static_cast<std::uint16_t>(0x8100 + c), flags);
    }
  }
  return tables;
}

// Built at compile time: no start-up cost and no shared mutable state.
constexpr FoldTables kFoldTables = BuildFoldTables();

}  // namespace

namespace japanese {

const FoldTable& FoldTableFor(unsigned flags) { return kFoldTables[flags & kFlagMask]; }

// A full-width (or, with kana folding, hiragana) kana and a following ゛ or ゜
// become one voiced katakana when the pair exists; a kana without a voiced
// form (ア゛) stays two characters.
std::uint16_t ComposeWithMark(std::uint16_t code, unsigned char second_byte) {
  std::uint16_t katakana = japanese::HiraganaToKatakana(code);
  unsigned char half = japanese::HalfWidthOf(katakana);
  if (half == 0) return 0;
  unsigned char mark = second_byte == 0x4A ? japanese::kHalfVoicedMark : japanese::kHalfSemiVoicedMark;
  return japanese::VoicedFromHalf(half, mark);
}

}  // namespace japanese

long FindJapaneseText(std::string_view text, std::string_view pattern, unsigned flags,
                      std::size_t* match_length) {
  // An empty pattern finds nothing: a zero-length match would stall a
  // caller that searches on from the end of each match.
  if (text.empty() || pattern.empty()) return -1;
  const FoldTable& table = japanese::FoldTableFor(flags);

  std::vector<std::uint16_t> folded_pattern;
  folded_pattern.reserve(pattern.size());
  const auto* pp = reinterpret_cast<const unsigned char*>(pattern.data());
  const auto* const pattern_end = pp + pattern.size();
  while (pp < pattern_end) {
    Folded f = FoldAt(table, pp, pattern_end);
    folded_pattern.push_back(f.code);
    pp += f.consumed;
  }
  const std::uint16_t first = folded_pattern.front();

  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  for (const unsigned char* p = begin; p < end;) {
    const Folded f = FoldAt(table, p, end);
    if (f.code == first) {
      const unsigned char* q = p + f.consumed;
      std::size_t k = 1;
      while (k < folded_pattern.size() && q < end) {
        const Folded g = FoldAt(table, q, end);
        if (g.code != folded_pattern[k]) break;
        q += g.consumed;
        ++k;
      }
      if (k == folded_pattern.size()) {
        if (match_length != nullptr) *match_length = static_cast<std::size_t>(q - p);
        return static_cast<long>(p - begin);
      }
    }
    p += f.char_length;
  }
  return -1;
}

int CompareJapaneseText(std::string_view a, std::string_view b, unsigned flags) {
  const FoldTable& table = japanese::FoldTableFor(flags);
  const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
  const auto* const end_a = pa + a.size();
  const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
  const auto* const end_b = pb + b.size();
  while (pa < end_a || pb < end_b) {
    int code_a = 0;
    int code_b = 0;
    if (pa < end_a) {
      Folded f = FoldAt(table, pa, end_a);
      code_a = f.code;
      pa += f.consumed;
    }
    if (pb < end_b) {
      Folded f = FoldAt(table, pb, end_b);
      code_b = f.code;
      pb += f.consumed;
    }
    if (code_a != code_b) return code_a - code_b;
  }
  return 0;
}

void SortStrings(std::vector<std::string>& strings, unsigned flags) {
  auto less = [flags](const std::string& x, const std::string& y) {
    return CompareJapaneseText(x, y, flags) < 0;
  };
  std::make_heap(strings.begin(), strings.end(), less);
  std::sort_heap(strings.begin(), strings.end(), less);
}

}  // namespace lp
