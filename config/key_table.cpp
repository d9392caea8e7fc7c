#include "config/key_table.h"

#include <array>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "store/object_archive.h"

namespace lp {
namespace {

constexpr ArchiveClass kKeycustClass{"CKeycust", 1};
// Five words, and the two-byte class tag before every entry but the first.
constexpr std::size_t kMinEntryBytes = 2 + 5 * 2;

// Virtual-key codes of the keys the standard bindings use.
constexpr std::uint32_t kF1 = 112;
constexpr std::uint32_t F(int n) { return kF1 + static_cast<std::uint32_t>(n - 1); }

struct StandardBinding {
  std::uint32_t key;
  bool shift;
  bool ctrl;
  std::uint32_t command;
};

constexpr std::array<StandardBinding, 23> kStandardBindings{{
    {F(1), false, false, 57666},  {F(2), false, false, 32787},  {F(3), false, false, 57666},
    {F(4), false, false, 32785},  {F(5), false, false, 32887},  {F(6), false, false, 32786},
    {F(7), false, false, 32788},  {F(8), false, false, 32833},  {F(9), false, false, 32819},
    {F(10), false, false, 32820}, {F(11), false, false, 32773}, {F(12), false, false, 32794},
    {F(1), true, false, 32789},   {F(2), true, false, 32790},   {F(3), true, false, 32882},
    {F(4), true, false, 32791},   {F(5), true, false, 32926},   {F(10), true, false, 32895},
    {F(12), true, false, 32812},  {F(1), false, true, 32784},   {F(2), false, true, 32781},
    {F(3), false, true, 32782},   {F(4), false, true, 32783},
}};

}  // namespace

bool CKeycustArray::Replace(std::size_t index, const CKeycust& entry) {
  if (index >= entries_.size()) return false;
  entries_[index] = entry;
  return true;
}

bool CKeycustArray::RemoveAt(std::size_t index) {
  if (index >= entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

std::uint32_t CKeycustArray::Lookup(const KeyCombination& combination) {
  last_match_ = 0;
  return LookupNext(combination);
}

std::uint32_t CKeycustArray::LookupNext(const KeyCombination& combination) {
  for (std::size_t i = last_match_; i < entries_.size(); ++i) {
    if (entries_[i].combination == combination) {
      last_match_ = i + 1;
      return entries_[i].command;
    }
  }
  last_match_ = entries_.size();
  return 0;
}

std::vector<std::uint32_t> CKeycustArray::CommandsFor(const KeyCombination& combination) const {
  std::vector<std::uint32_t> commands;
  for (const CKeycust& entry : entries_) {
    if (entry.combination == combination) commands.push_back(entry.command);
  }
  return commands;
}

int CKeycustArray::FindCombination(const KeyCombination& combination) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].combination == combination) return static_cast<int>(i);
  }
  return -1;
}

int CKeycustArray::FindCommand(std::uint32_t command) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].command == command) return static_cast<int>(i);
  }
  return -1;
}

void CKeycustArray::AddStandardBindings() {
  for (const StandardBinding& binding : kStandardBindings) {
    const KeyCombination combination{binding.key, false, binding.ctrl, binding.shift};
    if (FindCombination(combination) < 0) entries_.push_back({combination, binding.command});
  }
}

std::string CKeycustArray::Serialize() const {
  std::string out;
  ObjectArchiveWriter writer(out, kKeycustClass);
  writer.WriteCount(static_cast<std::uint32_t>(entries_.size()));
  for (const CKeycust& entry : entries_) {
    writer.BeginItem();
    // On file shift comes before ctrl.
    writer.WriteWord(static_cast<std::uint16_t>(entry.combination.key));
    writer.WriteWord(entry.combination.alt ? 1 : 0);
    writer.WriteWord(entry.combination.shift ? 1 : 0);
    writer.WriteWord(entry.combination.ctrl ? 1 : 0);
    writer.WriteWord(static_cast<std::uint16_t>(entry.command));
  }
  return out;
}

std::optional<std::vector<CKeycust>> CKeycustArray::Parse(std::string_view bytes) {
  ObjectArchiveReader reader(bytes, kKeycustClass);
  const std::uint32_t count = reader.ReadCount(kMinEntryBytes);
  std::vector<CKeycust> entries;
  if (!reader.ok()) return std::nullopt;
  entries.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!reader.BeginItem()) return std::nullopt;
    CKeycust entry;
    entry.combination.key = reader.ReadWord();
    entry.combination.alt = reader.ReadWord() != 0;
    entry.combination.shift = reader.ReadWord() != 0;
    entry.combination.ctrl = reader.ReadWord() != 0;
    entry.command = reader.ReadWord();
    if (!reader.ok()) return std::nullopt;
    entries.push_back(entry);
  }
  if (!reader.ExpectEnd()) return std::nullopt;
  return entries;
}

bool CKeycustArray::Load(std::string_view sjis_path) {
  std::optional<std::string> bytes = ReadWholeFile(sjis_path);
  if (!bytes) return false;
  std::optional<std::vector<CKeycust>> entries = Parse(*bytes);
  if (!entries) return false;
  entries_ = std::move(*entries);
  last_match_ = 0;
  return true;
}

bool CKeycustArray::Save(std::string_view sjis_path) const {
  return ReplaceFileAtomically(sjis_path, Serialize());
}

std::string LoadKeyTableAtStart(Profile& profile, CKeycustArray& table) {
  std::string path = profile.GetString(kKeyFileSection, kKeyFileKey, kKeyFileDefault);
  if (table.Load(path)) profile.WriteString(kKeyFileSection, kKeyFileKey, path);
  if (profile.GetInt(kKeyFileSection, kStandardBindingsKey, 1) == 1) {
    table.AddStandardBindings();
    // The flag says the key file holds them: written first, or the next
    // start would find neither the file nor the flag and have no keys.
    if (table.Save(path)) profile.WriteInt(kKeyFileSection, kStandardBindingsKey, 0);
  }
  return path;
}

void RememberKeyFile(Profile& profile, std::string_view key_file_path) {
  profile.WriteString(kKeyFileSection, kKeyFileKey, key_file_path);
}

}  // namespace lp
