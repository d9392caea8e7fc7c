#include "platform/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/code_page.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

bool StatPath(std::string_view sjis_path, struct stat* st) {
  return ::stat(ToNativePath(sjis_path).c_str(), st) == 0;
}

}  // namespace

std::string ToNativePath(std::string_view sjis_path) {
  // Plain ASCII needs no conversion, which keeps the common case cheap.
  for (char c : sjis_path) {
    if (static_cast<unsigned char>(c) >= 0x80) return Cp932ToUtf8(sjis_path);
  }
  return std::string(sjis_path);
}

std::string FromNativePath(std::string_view native_path) {
  for (char c : native_path) {
    if (static_cast<unsigned char>(c) >= 0x80) return Utf8ToCp932(native_path);
  }
  return std::string(native_path);
}

std::string CurrentDirectory() {
  std::string buffer(4096, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::strlen(buffer.c_str()));
  return FromNativePath(buffer);
}

bool SetCurrentDirectory(std::string_view sjis_path) {
  return ::chdir(ToNativePath(sjis_path).c_str()) == 0;
}

bool PathExists(std::string_view sjis_path) {
  struct stat st {};
  return StatPath(sjis_path, &st);
}

bool KeepPrivate(std::string_view sjis_path) {
  const std::string native = ToNativePath(sjis_path);
  const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  const bool done = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  return done;
}

bool IsDirectory(std::string_view sjis_path) {
  struct stat st {};
  return StatPath(sjis_path, &st) && S_ISDIR(st.st_mode);
}

bool IsRegularFile(std::string_view sjis_path) {
  struct stat st {};
  return StatPath(sjis_path, &st) && S_ISREG(st.st_mode);
}

std::optional<std::uint64_t> FileSize(std::string_view sjis_path) {
  struct stat st {};
  if (!StatPath(sjis_path, &st)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool MakeDirectory(std::string_view sjis_path) {
  if (::mkdir(ToNativePath(sjis_path).c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsDirectory(sjis_path);
}

bool MakeDirectories(std::string_view sjis_path) {
  if (sjis_path.empty() || IsDirectory(sjis_path)) return !sjis_path.empty();
  std::string parent = DirectoryOf(sjis_path);
  if (!parent.empty() && parent != sjis_path && !IsDirectory(parent) && !MakeDirectories(parent)) {
    return false;
  }
  return MakeDirectory(sjis_path);
}

bool CreateEmptyFileIfMissing(std::string_view sjis_path) {
  std::string native = ToNativePath(sjis_path);
  int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  // O_EXCL: never truncate a file that exists but could not be read.
  fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool RenameNoReplace(std::string_view from, std::string_view to) {
  std::string native_from = ToNativePath(from);
  std::string native_to = ToNativePath(to);
  // A hard link fails when the target exists; it then takes the old name
  // away. Directories cannot be linked: check and rename them.
  struct stat st {};
  if (::stat(native_from.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    if (PathExists(to)) {
      errno = EEXIST;
      return false;
    }
    return ::rename(native_from.c_str(), native_to.c_str()) == 0;
  }
  if (::link(native_from.c_str(), native_to.c_str()) == 0) {
    return ::unlink(native_from.c_str()) == 0;
  }
  if (errno == EEXIST) return false;
  // File systems without hard links: fall back to a checked rename.
  if (PathExists(to)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(native_from.c_str(), native_to.c_str()) == 0;
}

bool RenameReplace(std::string_view from, std::string_view to) {
  return ::rename(ToNativePath(from).c_str(), ToNativePath(to).c_str()) == 0;
}

bool RemoveFile(std::string_view sjis_path) {
  return ::unlink(ToNativePath(sjis_path).c_str()) == 0;
}

bool RemoveTree(std::string_view sjis_path) {
  std::error_code error;
  std::filesystem::remove_all(ToNativePath(sjis_path), error);
  return !error && !PathExists(sjis_path);
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view sjis_path) {
  std::string native = ToNativePath(sjis_path.empty() ? std::string_view(".") : sjis_path);
  DIR* dir = ::opendir(native.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    DirectoryEntry item;
    item.name = FromNativePath(name);
    if (entry->d_type == DT_DIR) {
      item.is_directory = true;
    } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st {};
      std::string full = native + "/" + std::string(name);
      item.is_directory = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back(std::move(item));
  }
  ::closedir(dir);
  return entries;
}

std::optional<std::string> ReadWholeFile(std::string_view sjis_path, std::string* error) {
  File file;
  if (!file.Open(sjis_path, File::Mode::Read)) {
    if (error) *error = LastSystemErrorText();
    return std::nullopt;
  }
  std::string content;
  if (auto size = file.Size()) content.reserve(*size);
  char buffer[65536];
  for (;;) {
    std::int64_t n = file.Read(buffer, sizeof buffer);
    if (n < 0) {
      if (error) *error = LastSystemErrorText();
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return content;
}

// strerror may share one buffer among threads; strerror_r comes in a GNU
// form (returns the text) and a POSIX form (fills the buffer): one overload
// each, the system picks.
[[maybe_unused]] static std::string StrerrorResult(const char* text, const char* /*buffer*/) { return text; }
[[maybe_unused]] static std::string StrerrorResult(int result, const char* buffer) {
  return result == 0 ? std::string(buffer) : std::string("Unknown error");
}

std::string SystemErrorText(int error_number) {
  char buffer[256] = {};
  return StrerrorResult(::strerror_r(error_number, buffer, sizeof buffer), buffer);
}

std::string LastSystemErrorText() { return SystemErrorText(errno); }

File::~File() { Close(); }

File::File(File&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

bool File::Open(std::string_view sjis_path, Mode mode) {
  if (!OpenNative(ToNativePath(sjis_path), mode)) return false;
  path_ = std::string(sjis_path);
  return true;
}

bool File::OpenNative(std::string_view native_path, Mode mode) {
  Close();
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::ReadRegular: flags |= O_RDONLY | O_NONBLOCK; break;
    case Mode::Write: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case Mode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
  }
  fd_ = ::open(std::string(native_path).c_str(), flags, 0666);
  if (fd_ < 0) return false;
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    Close();
    errno = EISDIR;
    return false;
  }
  if (mode == Mode::ReadRegular) {
    if (!S_ISREG(st.st_mode)) {
      Close();
      errno = EINVAL;
      return false;
    }
    // Reads of a regular file never wait anyway; the flag only kept the open
    // from waiting for a pipe's writer.
    (void)::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
  path_ = FromNativePath(native_path);
  return true;
}

std::int64_t File::Read(void* buffer, std::size_t size) {
  if (fd_ < 0) return -1;
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

std::int64_t File::ReadFull(void* buffer, std::size_t size) {
  std::size_t done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    std::int64_t n = Read(bytes + done, size - done);
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

bool File::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool File::Seek(std::uint64_t offset) {
  return fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

std::optional<std::uint64_t> File::Tell() const {
  if (fd_ < 0) return std::nullopt;
  off_t pos = ::lseek(fd_, 0, SEEK_CUR);
  if (pos < 0) return std::nullopt;
  return static_cast<std::uint64_t>(pos);
}

std::optional<std::uint64_t> File::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool File::Truncate(std::uint64_t size) {
  return fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool File::Sync() { return fd_ >= 0 && ::fsync(fd_) == 0; }

bool File::Close() {
  if (fd_ < 0) return true;
  int rc = ::close(fd_);
  fd_ = -1;
  return rc == 0;
}

}  // namespace lp
