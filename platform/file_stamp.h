#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lp {

// What tells one state of a file from another without reading it: an atomic
// replacement brings a new inode, an edit in place a new size or time.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;

  bool operator==(const FileStamp&) const = default;
};

// The file's stamp, or nullopt when it cannot be looked at (missing, no access).
[[nodiscard]] std::optional<FileStamp> StampOfFile(std::string_view sjis_path);
// The same for a path in the file system's own encoding (links followed):
// device and inode tell whether two paths name the same directory.
[[nodiscard]] std::optional<FileStamp> StampOfNativeFile(std::string_view native_path);

}  // namespace lp
