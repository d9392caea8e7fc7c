#pragma once

#include <chrono>
#include <string>
#include <string_view>

// One writer per data directory. Two processes that change the same boxes
// or "lpost.conf" at once would each write back what they read before the
// other's change, so every process that writes holds an exclusive flock(2)
// on "lpost.lock" in the data directory. The kernel releases it when the
// process ends, however it ends: a crash never leaves the directory locked.
// Readers take no lock: every save replaces its file atomically.
//
// The holder writes its pid and program name into the lock file, so that a
// process that finds the lock taken can say who holds it.

namespace lp {

inline constexpr std::string_view kDataDirectoryLockFileName = "lpost.lock";

class DataDirectoryLock {
 public:
  enum class Result {
    Locked,          // this object holds the lock
    HeldByAnother,   // another open lock file holds it; holder() may say who
    Failed,          // the lock file could not be opened or locked; error() says why
  };

  DataDirectoryLock() = default;
  ~DataDirectoryLock();
  DataDirectoryLock(DataDirectoryLock&& other) noexcept;
  DataDirectoryLock& operator=(DataDirectoryLock&& other) noexcept;
  DataDirectoryLock(const DataDirectoryLock&) = delete;
  DataDirectoryLock& operator=(const DataDirectoryLock&) = delete;

  // One attempt, without waiting. `native_directory` is the data directory
  // (UTF-8); `program_name` goes into the lock file beside the pid.
  [[nodiscard]] Result TryLock(std::string_view native_directory, std::string_view program_name);
  // Attempts again every `poll_interval` until the lock is had or `wait`
  // has passed.
  [[nodiscard]] Result Lock(std::string_view native_directory, std::string_view program_name,
                            std::chrono::milliseconds wait,
                            std::chrono::milliseconds poll_interval = std::chrono::milliseconds(50));
  // Releases the lock (also done by the destructor).
  void Unlock();

  [[nodiscard]] bool IsLocked() const { return fd_ >= 0; }
  // After HeldByAnother: "process PID (PROGRAM)" as the holder recorded it,
  // or empty when it has not recorded itself (yet).
  [[nodiscard]] const std::string& holder() const { return holder_; }
  // After Failed: the lock file's path and the system's reason.
  [[nodiscard]] const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  std::string holder_;
  std::string error_;
};

}  // namespace lp
