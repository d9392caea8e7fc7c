#pragma once

#include <QObject>
#include <QThreadPool>
#include <functional>

// Work that takes time in proportion to mail runs here, on worker threads
// of lower priority, so that the windows stay alive; what follows it runs
// on the thread that owns this object (the GUI thread) once it is done.

namespace lp {

class WorkerJobs final : public QObject {
  Q_OBJECT

 public:
  explicit WorkerJobs(QObject* parent = nullptr);
  // Waits for the work that runs; what was to follow it is dropped.
  ~WorkerJobs() override;

  // Runs `work` on a worker thread, then `done` on this object's thread. An
  // exception escaping `work` (out of memory) ends it; `done` still runs.
  void Run(std::function<void()> work, std::function<void()> done);
  // Blocks until every started work has ended (its `done` is still to come).
  void WaitForWork();

 private:
  QThreadPool pool_;
};

}  // namespace lp
