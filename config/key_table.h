#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"

// The key table: bindings of a key with Alt, Ctrl and Shift to numbered
// commands, in table order. One combination may carry several commands (one
// press runs them all, in order). Keys are Windows virtual-key codes, so the
// key file stays byte-compatible; the desktop maps its key codes onto them.
//
// Key file: the object archive layout with the class "CKeycust" (schema 1),
// each entry five 16-bit words: key, alt, shift, ctrl, command.

namespace lp {

struct KeyCombination {
  std::uint32_t key = 0;  // virtual-key code
  bool alt = false;
  bool ctrl = false;
  bool shift = false;

  bool operator==(const KeyCombination&) const = default;
};

struct CKeycust {
  KeyCombination combination;
  std::uint32_t command = 0;

  bool operator==(const CKeycust&) const = default;
};

class CKeycustArray {
 public:
  [[nodiscard]] std::size_t Count() const { return entries_.size(); }
  [[nodiscard]] const CKeycust& At(std::size_t index) const { return entries_.at(index); }
  [[nodiscard]] const std::vector<CKeycust>& Entries() const { return entries_; }

  void Add(const CKeycust& entry) { entries_.push_back(entry); }
  bool Replace(std::size_t index, const CKeycust& entry);
  bool RemoveAt(std::size_t index);
  void Clear() { entries_.clear(); }

  // The command of the first entry bound to `combination`, or 0; LookupNext
  // continues after the last match (0 when there is none further).
  [[nodiscard]] std::uint32_t Lookup(const KeyCombination& combination);
  [[nodiscard]] std::uint32_t LookupNext(const KeyCombination& combination);
  // Every command bound to `combination`, in table order: what one press runs.
  [[nodiscard]] std::vector<std::uint32_t> CommandsFor(const KeyCombination& combination) const;

  // Index of the first entry of the combination or of the command, or -1.
  [[nodiscard]] int FindCombination(const KeyCombination& combination) const;
  [[nodiscard]] int FindCommand(std::uint32_t command) const;

  // Adds the standard bindings (F5 send and receive, Ctrl+F1 read …), each
  // only when its combination is not bound yet.
  void AddStandardBindings();

  // Replaces the table with the file's entries; on failure the table stays
  // as it was.
  [[nodiscard]] bool Load(std::string_view sjis_path);
  // Writes the table, replacing the file atomically.
  [[nodiscard]] bool Save(std::string_view sjis_path) const;

  // The key file's bytes for the table, and the table of such bytes.
  [[nodiscard]] std::string Serialize() const;
  [[nodiscard]] static std::optional<std::vector<CKeycust>> Parse(std::string_view bytes);

 private:
  std::vector<CKeycust> entries_;
  std::size_t last_match_ = 0;  // entry index after the last lookup's match
};

// The settings of the key file.
inline constexpr char kKeyFileSection[] = "System";
inline constexpr char kKeyFileKey[] = "Keycust";
inline constexpr char kKeyFileDefault[] = "lpost.key";
inline constexpr char kStandardBindingsKey[] = "InitNewkey1";

// Start of the program: loads the key file named in the settings (a file that
// does not open leaves the table empty; a good one has its path written back),
// adds the standard bindings on the first start and notes that they were added.
// Returns the key file's path, which the table is saved to.
std::string LoadKeyTableAtStart(Profile& profile, CKeycustArray& table);
// End of the program: remembers the current key file.
void RememberKeyFile(Profile& profile, std::string_view key_file_path);

}  // namespace lp
