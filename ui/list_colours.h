#pragma once

#include <QColor>
#include <QPalette>

#include "config/profile.h"

// The colours of the mail list. A colour the user set in the settings is
// used as it is; one never set comes from the desktop's palette, so that a
// dark theme stays readable without the light theme's fixed defaults.

namespace lp {

struct ListColours {
  QColor back;           // [View] BackColor, else the palette's base
  QColor text;           // [View] StrColor, else the palette's text
  QColor selected_back;  // [View] BackColor2, else the highlight
  QColor selected_text;  // [View] StrColor2, else the highlighted text
  QColor unread;         // [Mail] MRColor, else the palette's link colour
  QColor summary;        // [Mail] BodyColor, else the placeholder text colour
};

// The palette's colours alone.
[[nodiscard]] ListColours PaletteListColours(const QPalette& palette);
// The settings' colours where set, else the palette's.
[[nodiscard]] ListColours ResolveListColours(const Profile& profile, const QPalette& palette);

// A stored colour value (blue * 65536 + green * 256 + red) as a QColor.
[[nodiscard]] QColor ColourOfSetting(int bgr);

}  // namespace lp
