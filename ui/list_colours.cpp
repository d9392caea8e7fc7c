#include "ui/list_colours.h"

namespace lp {
namespace {

// No stored colour is negative, so this tells "never set" apart.
constexpr int kUnset = -1;

QColor SettingOr(const Profile& profile, const char* section, const char* key, const QColor& fallback) {
  const int bgr = profile.GetInt(section, key, kUnset);
  return bgr < 0 ? fallback : ColourOfSetting(bgr);
}

}  // namespace

QColor ColourOfSetting(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

ListColours PaletteListColours(const QPalette& palette) {
  return ListColours{palette.color(QPalette::Base),      palette.color(QPalette::Text),
                     palette.color(QPalette::Highlight), palette.color(QPalette::HighlightedText),
                     palette.color(QPalette::Link),      palette.color(QPalette::PlaceholderText)};
}

ListColours ResolveListColours(const Profile& profile, const QPalette& palette) {
  const ListColours own = PaletteListColours(palette);
  ListColours colours;
  colours.back = SettingOr(profile, "View", "BackColor", own.back);
  colours.text = SettingOr(profile, "View", "StrColor", own.text);
  colours.selected_back = SettingOr(profile, "View", "BackColor2", own.selected_back);
  colours.selected_text = SettingOr(profile, "View", "StrColor2", own.selected_text);
  colours.unread = SettingOr(profile, "Mail", "MRColor", own.unread);
  colours.summary = SettingOr(profile, "Mail", "BodyColor", own.summary);
  return colours;
}

}  // namespace lp
