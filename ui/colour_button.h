#pragma once

#include <QPushButton>

// A push button that holds a colour of the settings file (red in the low
// byte, then green, then blue), shows it as a swatch and lets the user
// choose another one with the colour dialog. The value is also the
// button's "colour" property.

namespace lp {

class ColourButton final : public QPushButton {
  Q_OBJECT

 public:
  ColourButton(const QString& text, int stored_colour, QWidget* parent = nullptr);

  [[nodiscard]] int StoredColour() const { return property("colour").toInt(); }
  void SetStoredColour(int stored_colour);
};

}  // namespace lp
