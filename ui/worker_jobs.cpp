#include "ui/worker_jobs.h"

#include <exception>
#include <utility>

#include "platform/thread_priority.h"

namespace lp {

WorkerJobs::WorkerJobs(QObject* parent) : QObject(parent) {}

WorkerJobs::~WorkerJobs() { pool_.waitForDone(); }

void WorkerJobs::Run(std::function<void()> work, std::function<void()> done) {
  pool_.start([this, work = std::move(work), done = std::move(done)]() mutable {
    (void)LowerCurrentThreadPriority();
    try {
      work();
    } catch (const std::exception&) {
      // What the work left behind is settled by `done` on the owning thread.
    }
    // This object outlives the work (its destructor waits); a posted call
    // still waiting when it goes is dropped with it.
    QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
  });
}

void WorkerJobs::WaitForWork() { pool_.waitForDone(); }

}  // namespace lp
