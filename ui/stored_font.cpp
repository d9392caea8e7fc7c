#include "ui/stored_font.h"

#include <algorithm>
#include <string>

#include "ui/sjis_qt.h"

namespace lp {

QFont FontFromSettings(const Profile& profile, std::string_view section, FontDefaults defaults) {
  QFont font(FromSjis(profile.GetString(section, "FaceName", ToSjis(QString::fromUtf8(defaults.face_utf8)))));
  const int size = profile.GetInt(section, "Size", defaults.size);
  if (size < 0) {
    font.setPixelSize(-size);
  } else if (size > 0) {
    font.setPointSize(size);
  }
  // Windows weights run from 100 to 900 as Qt's do.
  const int weight = std::clamp(profile.GetInt(section, "Weight", 400), 100, 900);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(profile.GetInt(section, "Italic", 0) != 0);
  font.setUnderline(profile.GetInt(section, "Underline", 0) != 0);
  return font;
}

bool HasStoredFont(const Profile& profile, std::string_view section) {
  return !profile.GetString(section, "FaceName").empty();
}

bool StoreFont(Profile& profile, std::string_view section, const QFont& font) {
  const std::string face = ToSjis(font.family());
  const std::string size = std::to_string(font.pixelSize() > 0 ? -font.pixelSize() : font.pointSize());
  const std::string weight = std::to_string(static_cast<int>(font.weight()));
  const std::string italic = font.italic() ? "1" : "0";
  const std::string underline = font.underline() ? "1" : "0";
  const ProfileEntry entries[] = {{section, "FaceName", face},
                                  {section, "Size", size},
                                  {section, "Weight", weight},
                                  {section, "Italic", italic},
                                  {section, "Underline", underline}};
  return profile.WriteStrings(entries);
}

}  // namespace lp
