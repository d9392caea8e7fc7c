#pragma once

#include <string>
#include <string_view>

// The INI settings file ("lpost.conf"), read and written like the Windows
// private-profile functions: section and key names compare without regard to
// case (ASCII letters only, double-byte aware), integers are read up to the
// first non-digit, string reads are cut to 259 bytes, a missing file or key
// gives the default. Nothing is cached: every read looks at the file.
// A write keeps every other line of the file as it stood and replaces the
// file atomically. All texts are Shift_JIS.

namespace lp {

class Profile {
 public:
  explicit Profile(std::string sjis_path);

  [[nodiscard]] const std::string& Path() const { return path_; }

  [[nodiscard]] int GetInt(std::string_view section, std::string_view key, int default_value) const;
  [[nodiscard]] std::string GetString(std::string_view section, std::string_view key,
                                      std::string_view default_value = {}) const;
  // False when the file could not be written (the old file then stays).
  bool WriteInt(std::string_view section, std::string_view key, int value);
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Removes one key, or a whole section with its keys.
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);

 private:
  std::string path_;
};

}  // namespace lp
