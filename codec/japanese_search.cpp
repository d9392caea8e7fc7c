#include "codec/japanese_search.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "codec/japanese_fold_table.h"
#include "codec/japanese_text.h"
#include "platform/sjis_char.h"

namespace lp {
namespace {

using japanese::FoldAt;
using japanese::FoldTable;
using japanese::kMaxFoldedCharBytes;

constexpr unsigned kFoldMask = IgnoreWidth | IgnoreCase | IgnoreKana | IgnoreSmallAndVoiced;

// Codes at or above this fold to themselves under every flag, and no other
// character folds to them: only single bytes and 0x8100-0x83FF change.
constexpr std::uint16_t kFirstSelfFoldingCode = 0x8400;

// How seldom a byte turns up in Japanese mail in Shift_JIS, roughly: kana
// lead bytes, CR LF, blanks, small letters and digits are everywhere; kana
// and kanji trail bytes and the other printable ASCII come next; kanji
// lead bytes are rarer; the remaining rows and control bytes are rare.
int Rarity(unsigned char c) {
  if (c == 0x81 || c == 0x82 || c == 0x83 || c == ' ' || c == '\r' || c == '\n' || (c >= 'a' && c <= 'z') ||
      (c >= '0' && c <= '9')) {
    return 0;
  }
  if ((c >= 0x84 && c <= 0x87) || c == 0xA0 || c >= 0xF2 || c < 0x20 || c == 0x7F) return 3;
  if ((c >= 0x80 && c <= 0x9E) || (c >= 0xE0 && c <= 0xEA)) return 2;
  return 1;
}

// The first occurrence of `needle` in [begin, end), or nullptr. A needle
// with a rare byte is found by looking for that byte alone (memchr runs
// at memory speed) and comparing around it; others by memmem.
const unsigned char* FindBytes(const unsigned char* begin, const unsigned char* end, std::string_view needle) {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  if (size < needle.size()) return nullptr;
  const auto* const n = reinterpret_cast<const unsigned char*>(needle.data());
  std::size_t rare = needle.size() - 1;
  for (std::size_t i = needle.size(); i-- > 0;) {
    if (Rarity(n[i]) > Rarity(n[rare])) rare = i;
  }
  if (Rarity(n[rare]) >= 2) {
    const unsigned char* const last = end - (needle.size() - rare);
    for (const unsigned char* p = begin + rare; p <= last;) {
      p = static_cast<const unsigned char*>(std::memchr(p, n[rare], static_cast<std::size_t>(last - p) + 1));
      if (p == nullptr) return nullptr;
      if (std::memcmp(p - rare, n, needle.size()) == 0) return p - rare;
      ++p;
    }
    return nullptr;
  }
#ifdef __GLIBC__
  return static_cast<const unsigned char*>(memmem(begin, size, needle.data(), needle.size()));
#else
  const unsigned char* found = std::search(begin, end, n, n + needle.size());
  return found == end ? nullptr : found;
#endif
}

// Answers whether a position of the text is the start of a character, as
// the text layer splits text (from its start, a lead byte with a valid
// trail byte making one character). Behind any byte that cannot be a lead
// byte a character starts, so the split is taken up again from the nearest
// such byte instead of the start of the text. Positions asked in rising
// order cost no more than one pass over the text together.
class CharBoundaries {
 public:
  CharBoundaries(const unsigned char* begin, const unsigned char* end) : begin_(begin), end_(end), known_(begin) {}

  // The first character start at or after `p`.
  const unsigned char* StartAtOrAfter(const unsigned char* p) {
    const unsigned char* q = Resync(p);
    while (q < p) q += japanese::CharAt(q, end_).length;
    if (q <= end_) known_ = q;
    return q;
  }

  bool IsStart(const unsigned char* p) { return StartAtOrAfter(p) == p; }

 private:
  // A character start at or before `p`.
  const unsigned char* Resync(const unsigned char* p) const {
    const unsigned char* floor = p >= known_ ? known_ : begin_;
    const unsigned char* q = p;
    while (q > floor && IsSjisLeadByte(q[-1])) --q;
    return q;
  }

  const unsigned char* begin_;
  const unsigned char* end_;
  const unsigned char* known_;
};

bool IsSelfFolding(std::uint16_t code) { return code >= kFirstSelfFoldingCode; }

}  // namespace

JapaneseSearcher::JapaneseSearcher(std::string_view pattern, unsigned flags)
    : flags_(flags & kFoldMask), pattern_(pattern) {
  if (pattern.empty()) return;
  const FoldTable& table = japanese::FoldTableFor(flags_);
  const auto* const begin = reinterpret_cast<const unsigned char*>(pattern_.data());
  const auto* const end = begin + pattern_.size();
  // Byte offset of each folded character, to cut the anchor out of the pattern.
  std::vector<std::size_t> offsets;
  std::size_t last_char_length = 0;
  for (const unsigned char* p = begin; p < end;) {
    const japanese::Folded f = FoldAt(table, p, end);
    folded_.push_back(f.code);
    offsets.push_back(static_cast<std::size_t>(p - begin));
    last_char_length = f.char_length;
    p += f.consumed;
  }
  offsets.push_back(pattern_.size());
  if (flags_ == 0) {
    mode_ = Mode::Exact;
    ends_in_lone_lead_ = last_char_length == 1 && IsSjisLeadByte(static_cast<unsigned char>(pattern_.back()));
    return;
  }
  // The longest run of self-folding characters is searched for as bytes.
  std::size_t best_start = 0;
  std::size_t best_length = 0;
  for (std::size_t i = 0; i < folded_.size();) {
    if (!IsSelfFolding(folded_[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < folded_.size() && IsSelfFolding(folded_[j])) ++j;
    if (j - i > best_length) {
      best_start = i;
      best_length = j - i;
    }
    i = j;
  }
  if (best_length > 0) {
    mode_ = Mode::Anchored;
    anchor_index_ = best_start;
    anchor_ = pattern_.substr(offsets[best_start], offsets[best_start + best_length] - offsets[best_start]);
    return;
  }
  mode_ = Mode::Scanned;
  BuildFirstCharPairs();
}

void JapaneseSearcher::BuildFirstCharPairs() {
  const FoldTable& table = japanese::FoldTableFor(flags_);
  const std::uint16_t first = folded_.front();
  const auto set = [this](unsigned b0, unsigned b1) {
    const unsigned bit = b0 << 8 | b1;
    first_pairs_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  };
  const auto add_pair = [&](unsigned b0, unsigned b1) {
    set(b0, b1);
    first_forms_.pairs.push_back({static_cast<unsigned char>(b0), static_cast<unsigned char>(b1)});
  };
  for (unsigned b0 = 0; b0 < 0x100; ++b0) {
    // A single-byte character (also a lead byte without its trail).
    if (table.single[b0] == first) {
      for (unsigned b1 = 0; b1 < 0x100; ++b1) set(b0, b1);
      first_forms_.singles.push_back(static_cast<unsigned char>(b0));
      continue;
    }
    // A half-width kana with a half-width voiced mark.
    if (table.width && IsHalfWidthKana(static_cast<unsigned char>(b0))) {
      for (unsigned char mark : {japanese::kHalfVoicedMark, japanese::kHalfSemiVoicedMark}) {
        const std::uint16_t voiced = japanese::VoicedFromHalf(static_cast<unsigned char>(b0), mark);
        if (voiced != 0 && table.Lookup(voiced) == first) add_pair(b0, mark);
      }
    }
  }
  // Only the block 0x8100-0x83FF folds to anything but itself, and the
  // first character is no self-folding code.
  for (unsigned b0 = 0x81; b0 <= 0x83; ++b0) {
    for (unsigned b1 = 0; b1 < 0x100; ++b1) {
      if (!IsSjisTrailByte(static_cast<unsigned char>(b1))) continue;
      const auto code = static_cast<std::uint16_t>(b0 << 8 | b1);
      bool form = table.Lookup(code) == first;
      if (!form && table.width &&
          (japanese::IsFullKatakana(code) || (table.kana && japanese::IsHiragana(code)))) {
        // A kana that a following ゛ or ゜ turns into a voiced one.
        for (unsigned char mark : {0x4A, 0x4B}) {
          const std::uint16_t voiced = japanese::ComposeWithMark(code, mark);
          form = form || (voiced != 0 && table.Lookup(voiced) == first);
        }
      }
      if (form) add_pair(b0, b1);
    }
  }
}

bool JapaneseSearcher::MayOccur(std::string_view text) const {
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  switch (mode_) {
    case Mode::Empty: return false;
    case Mode::Exact: return FindBytes(begin, end, pattern_) != nullptr;
    case Mode::Anchored: return FindBytes(begin, end, anchor_) != nullptr;
    case Mode::Scanned: return true;
  }
  return true;
}

long JapaneseSearcher::Find(std::string_view text, std::size_t* match_length) const {
  if (text.empty()) return -1;
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  switch (mode_) {
    case Mode::Empty: return -1;
    case Mode::Exact: return FindExact(begin, end, match_length);
    case Mode::Anchored: return FindAnchored(begin, end, match_length);
    case Mode::Scanned: return FindScanned(begin, end, match_length);
  }
  return -1;
}

long JapaneseSearcher::FindExact(const unsigned char* begin, const unsigned char* end, std::size_t* length) const {
  CharBoundaries boundaries(begin, end);
  for (const unsigned char* p = begin; (p = FindBytes(p, end, pattern_)) != nullptr; ++p) {
    if (!boundaries.IsStart(p)) continue;
    const unsigned char* after = p + pattern_.size();
    // A pattern ending in a lone lead byte does not match the first half of
    // a double-byte character.
    if (ends_in_lone_lead_ && after < end && IsSjisTrailByte(*after)) continue;
    if (length != nullptr) *length = pattern_.size();
    return static_cast<long>(p - begin);
  }
  return -1;
}

long JapaneseSearcher::FindAnchored(const unsigned char* begin, const unsigned char* end, std::size_t* length) const {
  // The folded characters before the anchor take between one and
  // kMaxFoldedCharBytes bytes each, which bounds where a match can start.
  const std::size_t least_before = anchor_index_;
  const std::size_t most_before = anchor_index_ * kMaxFoldedCharBytes;
  CharBoundaries anchors(begin, end);
  CharBoundaries starts(begin, end);
  const unsigned char* best = nullptr;
  std::size_t best_length = 0;
  for (const unsigned char* a = begin; (a = FindBytes(a, end, anchor_)) != nullptr; ++a) {
    const unsigned char* earliest = static_cast<std::size_t>(a - begin) > most_before ? a - most_before : begin;
    // Matches found from later anchors cannot start before the one found.
    if (best != nullptr && earliest >= best) break;
    if (static_cast<std::size_t>(a - begin) < least_before || !anchors.IsStart(a)) continue;
    const unsigned char* latest = a - least_before;
    for (const unsigned char* s = starts.StartAtOrAfter(earliest); s <= latest && s < end;
         s += japanese::CharAt(s, end).length) {
      if (best != nullptr && s >= best) break;
      if (const std::size_t matched = MatchAt(s, end); matched != 0) {
        best = s;
        best_length = matched;
        break;
      }
    }
  }
  if (best == nullptr) return -1;
  if (length != nullptr) *length = best_length;
  return static_cast<long>(best - begin);
}

long JapaneseSearcher::FindScanned(const unsigned char* begin, const unsigned char* end, std::size_t* length) const {
  CharBoundaries boundaries(begin, end);
  // Where the first character can begin, the pattern is compared first;
  // only a match costs the question of the character boundary.
  const auto try_at = [&](const unsigned char* p) -> long {
    const std::size_t matched = MatchAt(p, end);
    if (matched == 0 || !boundaries.IsStart(p)) return -1;
    if (length != nullptr) *length = matched;
    return static_cast<long>(p - begin);
  };
  const unsigned char* p = begin;
#if defined(__SSE2__)
  // Sixteen positions at a time against each form of the first character.
  const std::size_t single_count = first_forms_.singles.size();
  const std::size_t pair_count = first_forms_.pairs.size();
  if (single_count + pair_count <= kMaxVectorForms) {
    __m128i singles[kMaxVectorForms];
    __m128i pairs[kMaxVectorForms][2];
    for (std::size_t i = 0; i < single_count; ++i) {
      singles[i] = _mm_set1_epi8(static_cast<char>(first_forms_.singles[i]));
    }
    for (std::size_t i = 0; i < pair_count; ++i) {
      pairs[i][0] = _mm_set1_epi8(static_cast<char>(first_forms_.pairs[i][0]));
      pairs[i][1] = _mm_set1_epi8(static_cast<char>(first_forms_.pairs[i][1]));
    }
    for (; end - p >= 17; p += 16) {
      const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
      __m128i hits = _mm_setzero_si128();
      for (std::size_t i = 0; i < single_count; ++i) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(here, singles[i]));
      for (std::size_t i = 0; i < pair_count; ++i) {
        hits = _mm_or_si128(hits,
                            _mm_and_si128(_mm_cmpeq_epi8(here, pairs[i][0]), _mm_cmpeq_epi8(next, pairs[i][1])));
      }
      for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
        if (const long found = try_at(p + __builtin_ctz(mask)); found >= 0) return found;
      }
    }
  }
#endif
  const auto test = [this](unsigned pair) { return (first_pairs_[pair >> 6] >> (pair & 63)) & 1; };
  const unsigned char* const last = end - 1;
  for (; p <= last; ++p) {
    const unsigned pair = p < last ? (unsigned{p[0]} << 8 | p[1]) : unsigned{p[0]} << 8;
    if (!test(pair)) continue;
    if (const long found = try_at(p); found >= 0) return found;
  }
  return -1;
}

std::size_t JapaneseSearcher::MatchAt(const unsigned char* p, const unsigned char* end) const {
  const FoldTable& table = japanese::FoldTableFor(flags_);
  const unsigned char* q = p;
  for (const std::uint16_t code : folded_) {
    if (q >= end) return 0;
    const japanese::Folded f = FoldAt(table, q, end);
    if (f.code != code) return 0;
    q += f.consumed;
  }
  return static_cast<std::size_t>(q - p);
}

}  // namespace lp
