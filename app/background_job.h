#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "platform/job_progress.h"
#include "store/mailbox_document.h"

// Work that takes time in proportion to mail (analysing a spool, compacting
// or sorting a box) runs on a worker thread so that the window stays alive.
// The box it works on is busy meanwhile: its observers hear nothing until
// the owning thread takes the box back, and nothing else may touch it.
// Messages are not shown on the worker: the result carries them home.

namespace lp {

enum class JobOutcome { Done, Cancelled, Failed };

struct JobResult {
  JobOutcome outcome = JobOutcome::Done;
  int count = 0;        // what the job counts: mails analysed, records sorted...
  std::string message;  // Shift_JIS, for the owning thread to show; may be empty
};

// The work of a job. It runs on the worker thread, touches only its box
// (and files no other thread writes), reports to `progress` and polls its
// cancel.
using JobWork = std::function<JobResult(JobProgress& progress)>;

// Runs `work` on the calling thread, which it first gives a lower priority
// (the thread is a worker: it gives way to the GUI thread); an escaping
// exception (out of memory) becomes a failed result. A thread pool calls
// this from its worker.
[[nodiscard]] JobResult RunJobWork(const JobWork& work, JobProgress& progress);

// Holds a box busy from Take to the end of the mark, both on the thread
// that owns the box; the end tells its observers of the reload.
class BoxBusyMark {
 public:
  // Nullopt when a job holds the box already.
  [[nodiscard]] static std::optional<BoxBusyMark> Take(CLPOSTDoc& box);
  BoxBusyMark(BoxBusyMark&& other) noexcept : box_(std::exchange(other.box_, nullptr)) {}
  BoxBusyMark& operator=(BoxBusyMark&&) = delete;
  BoxBusyMark(const BoxBusyMark&) = delete;
  BoxBusyMark& operator=(const BoxBusyMark&) = delete;
  ~BoxBusyMark() { Release(); }

  void Release();

 private:
  explicit BoxBusyMark(CLPOSTDoc& box) : box_(&box) {}
  CLPOSTDoc* box_;
};

// One job on a thread of its own: the headless runner (the desktop runs the
// same JobWork on QThreadPool with a BoxBusyMark and RunJobWork).
class BackgroundJob {
 public:
  // Marks `box` busy and starts `work`; nullptr when the box is busy
  // already. `finished`, if given, is called on the worker thread once the
  // result is ready: a hook to wake the owner's event loop, which then
  // calls Finish.
  [[nodiscard]] static std::unique_ptr<BackgroundJob> Start(CLPOSTDoc& box, JobWork work,
                                                            std::function<void()> finished = {});
  // A job still running is cancelled and waited for.
  ~BackgroundJob();
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  [[nodiscard]] JobProgress& progress() { return progress_; }
  [[nodiscard]] bool IsFinished() const { return finished_.load(std::memory_order_acquire); }
  // Waits for the work to end, gives the box back (its observers hear of a
  // reload) and returns the result. On the owning thread, once.
  [[nodiscard]] JobResult Finish();

 private:
  explicit BackgroundJob(BoxBusyMark mark) : mark_(std::move(mark)) {}

  BoxBusyMark mark_;
  JobProgress progress_;
  JobResult result_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace lp
