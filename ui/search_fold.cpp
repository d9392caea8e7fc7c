#include "ui/search_fold.h"

namespace lp {

QString SearchFolded(const QString& text) {
  QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
  for (QChar& c : folded) {
    if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6) c = QChar(static_cast<char16_t>(c.unicode() - 0x60));
  }
  return folded;
}

}  // namespace lp
