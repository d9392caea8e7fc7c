#pragma once

#include <QString>

// Text as a search of the address book's windows compares it: widths
// unified (NFKC), letters without case, katakana as hiragana.

namespace lp {

[[nodiscard]] QString SearchFolded(const QString& text);

}  // namespace lp
