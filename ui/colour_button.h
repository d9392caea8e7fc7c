#pragma once

#include <QPushButton>

// A push button that holds a colour of the settings file (red in the low
// byte, then green, then blue), shows it as a swatch and lets the user
// choose another one with the colour dialog. The value is also the
// button's "colour" property; kUnsetColour while the user has chosen none,
// and the swatch then shows the colour used instead (the palette's).

namespace lp {

class ColourButton final : public QPushButton {
  Q_OBJECT

 public:
  static constexpr int kUnsetColour = -1;

  ColourButton(const QString& text, int stored_colour, QWidget* parent = nullptr, QColor unset_shown = {});

  [[nodiscard]] int StoredColour() const { return property("colour").toInt(); }
  [[nodiscard]] bool IsSet() const { return StoredColour() >= 0; }
  void SetStoredColour(int stored_colour);

 private:
  [[nodiscard]] QColor ShownColour() const;

  QColor unset_shown_;
};

}  // namespace lp
