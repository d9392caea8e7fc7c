#include "ui/sjis_qt.h"

#include <algorithm>

#include "platform/code_page.h"

namespace lp {

QString FromSjis(std::string_view sjis) {
  const std::string utf8 = Cp932ToUtf8(sjis);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToSjis(const QString& text) { return Utf8ToCp932(text.toStdString()); }

bool FitsShiftJis(const QString& text, const std::string& sjis) {
  return std::count(sjis.begin(), sjis.end(), '?') == text.count(QLatin1Char('?'));
}

}  // namespace lp
