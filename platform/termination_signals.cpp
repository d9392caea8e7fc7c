#include "platform/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace lp {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

// The writing end of the pipe, for the handler (only async-signal-safe
// calls there).
volatile std::sig_atomic_t g_write_end = -1;

extern "C" void OnTerminationSignal(int) {
  const int saved_errno = errno;
  const char byte = 1;
  if (g_write_end >= 0) (void)!write(g_write_end, &byte, 1);
  errno = saved_errno;
}

bool SetNonBlockingCloseOnExec(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> terminate) : terminate_(std::move(terminate)) {
  if (pipe(pipe_) != 0) return;
  if (!SetNonBlockingCloseOnExec(pipe_[0]) || !SetNonBlockingCloseOnExec(pipe_[1])) return;
  g_write_end = pipe_[1];
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  installed_ = true;
  for (const int signal_number : kSignals) installed_ = sigaction(signal_number, &action, nullptr) == 0 && installed_;
}

TerminationSignals::~TerminationSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kSignals) (void)sigaction(signal_number, &action, nullptr);
  g_write_end = -1;
  notifier_.reset();
  for (const int fd : pipe_) {
    if (fd >= 0) close(fd);
  }
}

void TerminationSignals::Drain() {
  std::array<char, 64> bytes{};
  bool any = false;
  while (read(pipe_[0], bytes.data(), bytes.size()) > 0) any = true;
  if (any && terminate_) terminate_();
}

}  // namespace lp
