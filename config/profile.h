#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

// The INI settings file ("lpost.conf"), read and written like the Windows
// private-profile functions: section and key names compare without regard to
// case (ASCII letters only, double-byte aware), integers are read up to the
// first non-digit, string reads are cut to 259 bytes, a missing file or key
// gives the default. The file is read once and its keys answered from
// memory; it is read again when its stamp on disk (inode, size, modification
// time) changed, so another process's edits are seen, and after every write
// of ours. A write keeps every other line of the file as it stood and
// replaces the file atomically. All texts are Shift_JIS. Copies of a Profile
// share one cache, which is safe to use from several threads.
// docs/settings.md has the details.

namespace lp {

// One key to write in a batch (Profile::WriteStrings).
struct ProfileEntry {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

class ProfileCache;

class Profile {
 public:
  // Longest string a read returns: a 260-byte buffer with its terminating
  // NUL, the limit every reader of the file keeps to.
  static constexpr std::size_t kMaxStringBytes = 259;

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

  // Writes several keys with one replacement of the file: all of them or,
  // on failure, none.
  bool WriteStrings(std::span<const ProfileEntry> entries);

  // Why the last failed write or removal failed (system text, or a note on
  // a name or value that cannot be stored).
  [[nodiscard]] const std::string& LastError() const { return last_error_; }

 private:
  template <typename Edit>
  bool Rewrite(Edit edit);

  std::string path_;
  std::string last_error_;
  std::shared_ptr<ProfileCache> cache_;
};

}  // namespace lp
