#pragma once

#include <QString>

// Words of mail text as a double-click selects them: the longest run of
// characters of one class around a position. Classes: characters of web
// addresses (ASCII letters, digits and . / - + ? & $ % _ : ~ @ =) 1, other
// printable ASCII 0, half-width katakana 3, full-width symbols, punctuation
// and the ideographic space 4, full-width digits 5, full-width letters 6,
// katakana 7 (with "ー"), hiragana 8, everything else (kanji) 9. Blanks,
// line breaks and control characters belong to no word.

namespace lp {

inline constexpr int kNoWordClass = -1;

[[nodiscard]] int WordClassOf(QChar c);

// [start, end) of the word around `position` (the character at it, or the
// one before it at the end of a run); an empty range where no word is.
struct WordRange {
  int start = 0;
  int end = 0;
  [[nodiscard]] bool empty() const { return start == end; }
};
[[nodiscard]] WordRange WordAt(const QString& text, int position);

}  // namespace lp
