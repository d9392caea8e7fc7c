#include "store/mail_import_tree.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/file_stamp.h"
#include "store/mail_import_messages.h"
#include "store/mail_import_source.h"

namespace lp {
namespace fs = std::filesystem;

SourceTree::SourceTree(const std::string& native_root) {
  std::error_code error;
  const fs::path real = fs::canonical(native_root, error);
  real_root_ = error ? fs::path(native_root).lexically_normal().string() : real.string();
}

bool SourceTree::Contains(const std::string& real_path) const {
  if (real_path == real_root_ || real_root_ == "/") return true;
  return real_path.size() > real_root_.size() && real_path.starts_with(real_root_) &&
         real_path[real_root_.size()] == '/';
}

SourceEntry SourceTree::LookAt(const std::string& native_path) const {
  SourceEntry entry;
  std::error_code error;
  const fs::file_status own = fs::symlink_status(native_path, error);
  if (error) {
    entry.reason = SourceFileFailure(mail_import_messages::kCannotOpen, error.value());
    return entry;
  }
  if (fs::is_symlink(own)) {
    entry.is_link = true;
    const fs::path target = fs::canonical(native_path, error);
    if (error) {
      entry.reason = SourceFileFailure(mail_import_messages::kCannotOpen, error.value());
      return entry;
    }
    if (!Contains(target.string())) {
      entry.reason = mail_import_messages::kLinkLeavesSource;
      return entry;
    }
  }
  const fs::file_status status = entry.is_link ? fs::status(native_path, error) : own;
  if (error) {
    entry.reason = SourceFileFailure(mail_import_messages::kCannotOpen, error.value());
    return entry;
  }
  if (fs::is_directory(status)) {
    entry.kind = SourceEntryKind::Directory;
  } else if (fs::is_regular_file(status)) {
    entry.kind = SourceEntryKind::RegularFile;
  } else {
    entry.reason = mail_import_messages::kNotRegularFile;
  }
  return entry;
}

bool SourceTree::FirstVisit(const std::string& native_directory) {
  const std::optional<FileStamp> stamp = StampOfNativeFile(native_directory);
  return stamp && visited_.emplace(stamp->device, stamp->inode).second;
}

}  // namespace lp
