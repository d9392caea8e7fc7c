#include "platform/data_directory_lock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "platform/file_system.h"

namespace lp {
namespace {

// Longest holder record read back; ours is far shorter.
constexpr std::size_t kMaxHolderBytes = 256;

std::string LockFilePath(std::string_view native_directory) {
  std::string path(native_directory);
  if (!path.empty() && path.back() != '/') path += '/';
  path += kDataDirectoryLockFileName;
  return path;
}

int FlockRetryingOnSignal(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

void RecordHolder(int fd, std::string_view program_name) {
  std::string record = std::to_string(::getpid());
  record += ' ';
  record += program_name;
  record += '\n';
  // The record only serves messages: a failed write costs nothing else.
  if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, record.data(), record.size(), 0);
}

// "process PID (PROGRAM)" from the record "PID PROGRAM\n"; empty when the
// file holds no such record. Control characters never reach a message.
std::string ReadHolder(int fd) {
  char buffer[kMaxHolderBytes];
  const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
  if (n <= 0) return {};
  std::string_view record(buffer, static_cast<std::size_t>(n));
  record = record.substr(0, record.find('\n'));
  const std::size_t blank = record.find(' ');
  if (blank == 0 || blank == std::string_view::npos) return {};
  const std::string_view pid = record.substr(0, blank);
  if (pid.find_first_not_of("0123456789") != std::string_view::npos) return {};
  std::string program;
  for (const char c : record.substr(blank + 1)) {
    const auto byte = static_cast<unsigned char>(c);
    program += byte < 0x20 || byte == 0x7F ? '?' : c;
  }
  return "process " + std::string(pid) + " (" + program + ")";
}

}  // namespace

DataDirectoryLock::~DataDirectoryLock() { Unlock(); }

DataDirectoryLock::DataDirectoryLock(DataDirectoryLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), holder_(std::move(other.holder_)), error_(std::move(other.error_)) {}

DataDirectoryLock& DataDirectoryLock::operator=(DataDirectoryLock&& other) noexcept {
  if (this != &other) {
    Unlock();
    fd_ = std::exchange(other.fd_, -1);
    holder_ = std::move(other.holder_);
    error_ = std::move(other.error_);
  }
  return *this;
}

DataDirectoryLock::Result DataDirectoryLock::TryLock(std::string_view native_directory,
                                                     std::string_view program_name) {
  holder_.clear();
  error_.clear();
  if (IsLocked()) return Result::Locked;
  const std::string path = LockFilePath(native_directory);
  // O_NOFOLLOW: the record is written into this file, never through a link
  // into someone else's. O_CLOEXEC: a program we start must not inherit the
  // lock and keep it after we end.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    error_ = path + ": " + LastSystemErrorText();
    return Result::Failed;
  }
  if (FlockRetryingOnSignal(fd, LOCK_EX | LOCK_NB) != 0) {
    const int lock_errno = errno;
    if (lock_errno == EWOULDBLOCK) holder_ = ReadHolder(fd);
    ::close(fd);
    if (lock_errno == EWOULDBLOCK) return Result::HeldByAnother;
    error_ = path + ": " + SystemErrorText(lock_errno);
    return Result::Failed;
  }
  fd_ = fd;
  RecordHolder(fd_, program_name);
  return Result::Locked;
}

DataDirectoryLock::Result DataDirectoryLock::Lock(std::string_view native_directory, std::string_view program_name,
                                                  std::chrono::milliseconds wait,
                                                  std::chrono::milliseconds poll_interval) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const Result result = TryLock(native_directory, program_name);
    if (result != Result::HeldByAnother) return result;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return result;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(poll_interval, deadline - now));
  }
}

void DataDirectoryLock::Unlock() {
  if (fd_ < 0) return;
  // A stale record would name a process that no longer holds the lock.
  (void)!::ftruncate(fd_, 0);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace lp
