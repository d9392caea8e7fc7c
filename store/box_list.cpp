#include "store/box_list.h"

#include "codec/japanese_text.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

constexpr std::string_view kBoxExtension = ".lp";

void ScanInto(std::string_view directory, std::vector<std::string>& list, int depth) {
  auto entries = ListDirectory(directory);
  if (!entries) return;
  for (const DirectoryEntry& entry : *entries) {
    if (list.size() >= kMaxBoxListEntries) return;
    if (!HasBoxExtension(entry.name)) continue;
    std::string path = JoinPath(directory, entry.name);
    if (entry.is_directory) {
      if (entry.name.front() == '.') continue;
      if (depth < kMaxFolderDepth) ScanInto(path, list, depth + 1);
      if (list.size() >= kMaxBoxListEntries) return;
      path += kPathSeparator;
    }
    list.push_back(std::move(path));
  }
}

}  // namespace

bool HasBoxExtension(std::string_view name) {
  if (name.size() < kBoxExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kBoxExtension.size());
  // ASCII letters only: "l" and "p" cannot be trail bytes of a double-byte
  // character preceded by ".", which is no lead byte.
  return tail[0] == '.' && (tail[1] | 0x20) == 'l' && (tail[2] | 0x20) == 'p';
}

std::string BoxNameOf(std::string_view path) {
  if (IsFolderPath(path)) path.remove_suffix(1);
  std::string name = FileNameOf(path);
  if (HasBoxExtension(name)) name.resize(name.size() - kBoxExtension.size());
  return name;
}

bool IsFolderPath(std::string_view path) { return EndsWithPathSeparator(path); }

void ScanBoxes(std::string_view directory, std::vector<std::string>& list) { ScanInto(directory, list, 0); }

std::vector<std::string> BuildBoxList(std::string_view data_directory) {
  std::vector<std::string> list;
  ScanBoxes(data_directory, list);
  SortStrings(list, FoldAll);
  return list;
}

}  // namespace lp
