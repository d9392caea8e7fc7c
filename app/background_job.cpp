#include "app/background_job.h"

#include <exception>
#include <utility>

#include "platform/thread_priority.h"

namespace lp {

JobResult RunJobWork(const JobWork& work, JobProgress& progress) {
  (void)LowerCurrentThreadPriority();
  try {
    return work(progress);
  } catch (const std::exception&) {
    // The owner reports the failure; the box's files on disk were only
    // appended to or replaced whole, so reloading the box is safe.
    return {JobOutcome::Failed, 0, {}};
  }
}

std::optional<BoxBusyMark> BoxBusyMark::Take(CLPOSTDoc& box) {
  if (!box.MarkBusy()) return std::nullopt;
  return BoxBusyMark(box);
}

void BoxBusyMark::Release() {
  if (box_ != nullptr) std::exchange(box_, nullptr)->ClearBusy();
}

std::unique_ptr<BackgroundJob> BackgroundJob::Start(CLPOSTDoc& box, JobWork work, std::function<void()> finished) {
  std::optional<BoxBusyMark> mark = BoxBusyMark::Take(box);
  if (!mark) return nullptr;
  std::unique_ptr<BackgroundJob> job(new BackgroundJob(std::move(*mark)));
  BackgroundJob* self = job.get();
  job->thread_ = std::thread([self, work = std::move(work), finished = std::move(finished)] {
    self->result_ = RunJobWork(work, self->progress_);
    self->finished_.store(true, std::memory_order_release);
    if (finished) finished();
  });
  return job;
}

BackgroundJob::~BackgroundJob() {
  if (thread_.joinable()) {
    progress_.RequestCancel();
    thread_.join();
  }
}

JobResult BackgroundJob::Finish() {
  if (thread_.joinable()) thread_.join();
  mark_.Release();
  return std::move(result_);
}

}  // namespace lp
