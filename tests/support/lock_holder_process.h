#pragma once

#include <string>

// Another process holding the data directory's lock, for tests of the
// exclusion between processes.

namespace lp::testing {

class LockHolderProcess {
 public:
  // Starts the holder on `native_directory` and waits until it reports.
  explicit LockHolderProcess(const std::string& native_directory);
  // Ends the holder (closing its input) unless it has ended already.
  ~LockHolderProcess();
  LockHolderProcess(const LockHolderProcess&) = delete;
  LockHolderProcess& operator=(const LockHolderProcess&) = delete;

  // What the holder reported: "locked", "busy" or "failed" ("" when it died first).
  [[nodiscard]] const std::string& report() const { return report_; }
  [[nodiscard]] int pid() const { return pid_; }

  // Ends the holder as a crash would (SIGKILL) and reaps it.
  void Kill();
  // Lets the holder end normally and reaps it.
  void Finish();

 private:
  void Reap();

  int pid_ = -1;
  int input_fd_ = -1;
  std::string report_;
};

}  // namespace lp::testing
