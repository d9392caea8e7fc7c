#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// FindJapaneseText for one pattern and many texts: the pattern is folded
// and prepared once, and the text is scanned at memory speed for the places
// where a match can begin before any character is folded. The answers are
// those of FindJapaneseText with the same flags: matches begin and end on
// whole characters, never on a trail byte.

namespace lp {

class JapaneseSearcher {
 public:
  // `pattern` is Shift_JIS; `flags` are the folding flags (FoldFlags).
  JapaneseSearcher(std::string_view pattern, unsigned flags);

  // An empty pattern finds nothing, as with FindJapaneseText.
  [[nodiscard]] bool empty() const { return mode_ == Mode::Empty; }

  // Byte offset of the first match in `text`, or -1; `match_length` (when
  // given) gets its length in bytes.
  [[nodiscard]] long Find(std::string_view text, std::size_t* match_length = nullptr) const;
  [[nodiscard]] bool Contains(std::string_view text) const { return Find(text) >= 0; }
  // False only when no part of `text` can hold a match: one quick pass to
  // rule out a large piece before its parts are searched one by one.
  [[nodiscard]] bool MayOccur(std::string_view text) const;

 private:
  enum class Mode {
    Empty,
    Exact,     // no folding: the pattern's bytes on character boundaries
    Anchored,  // folding, with characters that fold only to themselves (kanji)
    Scanned,   // folding, every character has several forms (kana, Latin)
  };

  [[nodiscard]] long FindExact(const unsigned char* begin, const unsigned char* end, std::size_t* length) const;
  [[nodiscard]] long FindAnchored(const unsigned char* begin, const unsigned char* end, std::size_t* length) const;
  [[nodiscard]] long FindScanned(const unsigned char* begin, const unsigned char* end, std::size_t* length) const;
  // Length of the folded match starting at `p`, or 0.
  [[nodiscard]] std::size_t MatchAt(const unsigned char* p, const unsigned char* end) const;
  void BuildFirstCharPairs();

  Mode mode_ = Mode::Empty;
  unsigned flags_ = 0;
  std::string pattern_;
  std::vector<std::uint16_t> folded_;
  // Exact: the pattern ends in a lead byte without its trail, so a text
  // whose next byte is a trail byte holds a different character there.
  bool ends_in_lone_lead_ = false;
  // Anchored: the bytes of the longest run of self-folding characters and
  // the number of folded characters before it.
  std::string anchor_;
  std::size_t anchor_index_ = 0;
  // Scanned: bit (b0 << 8 | b1) is set when a character starting with the
  // bytes b0 b1 can fold to the pattern's first character; the same as a
  // list of single bytes (any second byte) and byte pairs.
  std::array<std::uint64_t, 1024> first_pairs_{};
  struct Forms {
    std::vector<unsigned char> singles;
    std::vector<std::array<unsigned char, 2>> pairs;
  };
  Forms first_forms_;
  // Up to this many forms are compared sixteen bytes at a time.
  static constexpr std::size_t kMaxVectorForms = 16;
};

}  // namespace lp
