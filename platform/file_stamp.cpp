#include "platform/file_stamp.h"

#include <sys/stat.h>

#include <string>

#include "platform/file_system.h"

namespace lp {

std::optional<FileStamp> StampOfFile(std::string_view sjis_path) { return StampOfNativeFile(ToNativePath(sjis_path)); }

std::optional<FileStamp> StampOfNativeFile(std::string_view native_path) {
  const std::string native(native_path);
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  stamp.inode = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.modified_ns = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace lp
