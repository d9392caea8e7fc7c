#include "ui/colour_button.h"

#include <QColorDialog>
#include <QPixmap>

namespace lp {

namespace {

QColor ColourOf(int stored) { return QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF); }

}  // namespace

ColourButton::ColourButton(const QString& text, int stored_colour, QWidget* parent) : QPushButton(text, parent) {
  SetStoredColour(stored_colour);
  connect(this, &QPushButton::clicked, this, [this] {
    const QColor chosen = QColorDialog::getColor(ColourOf(StoredColour()), this);
    if (chosen.isValid()) SetStoredColour(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
  });
}

void ColourButton::SetStoredColour(int stored_colour) {
  setProperty("colour", stored_colour);
  QPixmap swatch(16, 16);
  swatch.fill(ColourOf(stored_colour));
  setIcon(QIcon(swatch));
}

}  // namespace lp
