#include "ui/settings_input.h"

#include <QMessageBox>
#include <QRegularExpression>

#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

namespace {

// "氏名(&N):" names its field as "氏名".
QString WithoutAccelerator(QString field) {
  static const QRegularExpression kAccelerator(QStringLiteral("\\(&.\\)|:$"));
  field.remove(kAccelerator);
  field.remove(QStringLiteral("&"));
  return field;
}

void Refuse(const QString& reason, const QString& field, QWidget* parent) {
  QMessageBox::warning(parent, QStringLiteral("Lanternpost"), reason + WithoutAccelerator(field));
}

void Refuse(const char* reason, const QString& field, QWidget* parent) { Refuse(QString::fromUtf8(reason), field, parent); }

}  // namespace

std::optional<std::string> CheckedSettingText(const QString& text, const QString& field, QWidget* parent) {
  if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
    Refuse(settings_text::kLineBreakRefused, field, parent);
    return std::nullopt;
  }
  return CheckedShiftJis(text, field, parent);
}

std::optional<std::string> CheckedShiftJis(const QString& text, const QString& field, QWidget* parent) {
  std::string sjis = ToSjis(text);
  if (!FitsShiftJis(text, sjis)) {
    Refuse(settings_text::kNotShiftJis, field, parent);
    return std::nullopt;
  }
  return sjis;
}

std::optional<int> CheckedNumber(const QString& text, const QString& field, int lowest, int highest,
                                 QWidget* parent) {
  bool ok = false;
  const int number = text.trimmed().toInt(&ok);
  if (!ok || number < lowest || number > highest) {
    Refuse(QString::fromUtf8(settings_text::kNumberRange).arg(lowest).arg(highest), field, parent);
    return std::nullopt;
  }
  return number;
}

std::optional<std::uint16_t> CheckedPort(const QString& text, const QString& field, QWidget* parent) {
  bool ok = false;
  const int port = text.trimmed().toInt(&ok);
  if (!ok || port < 1 || port > 65535) {
    Refuse(settings_text::kPortRange, field, parent);
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(port);
}

}  // namespace lp
