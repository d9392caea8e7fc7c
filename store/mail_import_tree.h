#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

// The rules that keep a scan of another program's folders inside the tree
// the user named: a symbolic link counts only when it leads to something
// inside the tree, only directories and regular files are taken (a named
// pipe would make a reader wait for ever, a device may never end), and no
// directory is walked twice, whatever links or mounts lead to it again.
// Paths are in the file system's own encoding.

namespace lp {

enum class SourceEntryKind { Directory, RegularFile, LeftOut };

struct SourceEntry {
  SourceEntryKind kind = SourceEntryKind::LeftOut;
  bool is_link = false;
  std::string reason;  // why it is left out (Shift_JIS)
};

class SourceTree {
 public:
  // `native_root`: the top of the tree. A link there is followed (the user
  // named it); everything below must resolve inside its real path.
  explicit SourceTree(const std::string& native_root);

  [[nodiscard]] const std::string& real_root() const { return real_root_; }
  // What `native_path` (a path below the root) is, its links followed.
  [[nodiscard]] SourceEntry LookAt(const std::string& native_path) const;
  // Marks a directory as walked; false when it was walked already (the
  // same device and inode) or cannot be looked at.
  [[nodiscard]] bool FirstVisit(const std::string& native_directory);

 private:
  [[nodiscard]] bool Contains(const std::string& real_path) const;

  std::string real_root_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> visited_;
};

}  // namespace lp
