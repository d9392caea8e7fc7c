#pragma once

#include <QFont>
#include <string_view>

#include "config/profile.h"

// A font kept in a settings section as the keys "FaceName" (Shift_JIS),
// "Size" (negative: a character height in pixels; positive: points),
// "Weight" (100 to 900), "Italic" and "Underline".

namespace lp {

struct FontDefaults {
  const char* face_utf8;
  int size;
};

// The section's font; the defaults stand in for missing keys.
[[nodiscard]] QFont FontFromSettings(const Profile& profile, std::string_view section, FontDefaults defaults);
// The section names a face of its own (the user chose one).
[[nodiscard]] bool HasStoredFont(const Profile& profile, std::string_view section);
// Writes the five keys at once; false (nothing written) on failure.
bool StoreFont(Profile& profile, std::string_view section, const QFont& font);

}  // namespace lp
