#include "ui/colour_button.h"

#include <QColorDialog>
#include <QPixmap>

namespace lp {

namespace {

QColor ColourOf(int stored) { return QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF); }

}  // namespace

ColourButton::ColourButton(const QString& text, int stored_colour, QWidget* parent, QColor unset_shown)
    : QPushButton(text, parent), unset_shown_(unset_shown) {
  SetStoredColour(stored_colour);
  connect(this, &QPushButton::clicked, this, [this] {
    const QColor chosen = QColorDialog::getColor(ShownColour(), this);
    if (chosen.isValid()) SetStoredColour(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
  });
}

QColor ColourButton::ShownColour() const {
  if (IsSet()) return ColourOf(StoredColour());
  return unset_shown_.isValid() ? unset_shown_ : palette().color(QPalette::ButtonText);
}

void ColourButton::SetStoredColour(int stored_colour) {
  setProperty("colour", stored_colour < 0 ? kUnsetColour : stored_colour);
  QPixmap swatch(16, 16);
  swatch.fill(ShownColour());
  setIcon(QIcon(swatch));
}

}  // namespace lp
