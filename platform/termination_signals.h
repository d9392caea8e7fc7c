#pragma once

#include <functional>
#include <memory>

// SIGTERM (a desktop session ending, a service manager stopping the
// program), SIGINT and SIGHUP reach the event loop as an ordinary call
// instead of killing the process: the handler only writes a byte into a
// pipe, whose reading end a socket notifier watches. The program can then
// save what it holds and leave its event loop cleanly.

class QSocketNotifier;

namespace lp {

class TerminationSignals {
 public:
  // Installs the handlers; `terminate` runs on the event loop of the thread
  // that made this object, once per signal that arrives. Only one object
  // may exist at a time.
  explicit TerminationSignals(std::function<void()> terminate);
  // Gives the signals their default actions back.
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // False when the pipe or a handler could not be set up (the signals
  // then keep their default actions).
  [[nodiscard]] bool installed() const { return installed_; }

 private:
  void Drain();

  std::function<void()> terminate_;
  int pipe_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace lp
