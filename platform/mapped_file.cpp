#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
}

bool MappedFile::Open(std::string_view sjis_path, std::string* error) {
  const int fd = ::open(ToNativePath(sjis_path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = LastSystemErrorText();
    return false;
  }
  struct stat info{};
  bool ok = ::fstat(fd, &info) == 0;
  if (ok && !S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ok = false;
  }
  if (ok && info.st_size > 0) {
    void* mapped = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ok = mapped != MAP_FAILED;
    if (ok) {
      data_ = static_cast<const char*>(mapped);
      size_ = static_cast<std::size_t>(info.st_size);
      (void)::madvise(mapped, size_, MADV_SEQUENTIAL);
    }
  }
  if (!ok && error) *error = LastSystemErrorText();
  ::close(fd);
  return ok;
}

void MappedFile::ReleaseBefore(std::size_t offset) {
  static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t end = (std::min(offset, size_) / page) * page;
  if (data_ == nullptr || end <= released_) return;
  (void)::madvise(const_cast<char*>(data_) + released_, end - released_, MADV_DONTNEED);
  released_ = end;
}

}  // namespace lp
