#include "platform/thread_priority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lp {

namespace {

// Far enough below the GUI thread to lose every contest for a core, not so
// far that the job starves on a machine that is busy with other programs.
constexpr int kBackgroundNiceIncrement = 10;

}  // namespace

bool LowerCurrentThreadPriority() {
#if defined(__linux__)
  // Linux keeps a nice value per thread; setpriority on the thread id
  // changes only this thread.
  const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  const int current = ::getpriority(PRIO_PROCESS, thread);
  if (current == -1 && errno != 0) return false;
  return ::setpriority(PRIO_PROCESS, thread, current + kBackgroundNiceIncrement) == 0;
#else
  return false;
#endif
}

}  // namespace lp
