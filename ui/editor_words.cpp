#include "ui/editor_words.h"

#include <algorithm>

namespace lp {
namespace {

bool IsUrlCharacter(char16_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '.': case '/': case '-': case '+': case '?': case '&': case '$': case '%':
    case '_': case ':': case '~': case '@': case '=':
      return true;
    default:
      return false;
  }
}

}  // namespace

int WordClassOf(QChar qc) {
  const char16_t c = qc.unicode();
  if (c <= 0x20 || c == 0x7F) return kNoWordClass;
  if (c < 0x7F) return IsUrlCharacter(c) ? 1 : 0;
  if (c >= 0xFF61 && c <= 0xFF9F) return 3;                  // half-width katakana
  if (c >= 0xFF10 && c <= 0xFF19) return 5;                  // full-width digits
  if ((c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A)) return 6;  // full-width letters
  if (c >= 0xFF01 && c <= 0xFF60) return 4;                  // full-width punctuation
  if (c == 0x30FB) return 4;                                 // "・"
  if (c >= 0x30A1 && c <= 0x30FE) return 7;                  // katakana; "ー" too, so "サーバー" is one word
  if (c >= 0x3041 && c <= 0x309F) return 8;                  // hiragana
  if (c >= 0x3000 && c <= 0x303F) return 4;                  // ideographic space and punctuation
  if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0xFFE0 && c <= 0xFFEE) || (c >= 0x00A0 && c <= 0x00FF)) return 4;
  if (qc.isSpace() || c == 0x2028 || c == 0x2029) return kNoWordClass;
  return 9;
}

WordRange WordAt(const QString& text, int position) {
  if (position < 0 || text.isEmpty()) return {};
  if (position >= text.size() || WordClassOf(text[position]) == kNoWordClass) {
    // At the end of a run the word is the one just before the position.
    if (position == 0) return {position, position};
    position = std::min<int>(position, static_cast<int>(text.size())) - 1;
  }
  const int word_class = WordClassOf(text[position]);
  if (word_class == kNoWordClass) return {position, position};
  int start = position;
  while (start > 0 && WordClassOf(text[start - 1]) == word_class) --start;
  int end = position + 1;
  while (end < text.size() && WordClassOf(text[end]) == word_class) ++end;
  return {start, end};
}

}  // namespace lp
