#include "ui/box_job_window.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <optional>
#include <thread>

#include "store/store_messages.h"
#include "ui/progress_window.h"

namespace lp {
namespace {

// How often the window shows the worker's progress.
constexpr int kPollMilliseconds = 100;

}  // namespace

JobResult RunBoxJobWithProgress(QWidget* parent, CLPOSTDoc& box, const QString& caption, const JobWork& work) {
  std::optional<BoxBusyMark> mark = BoxBusyMark::Take(box);
  if (!mark) return {JobOutcome::Failed, 0, std::string(store_messages::kBoxBusy) + box.PathName()};
  JobProgress progress;
  ProgressWindow window(parent, caption, [&progress] { progress.RequestCancel(); });
  window.setWindowModality(Qt::ApplicationModal);
  // Escape asks for the cancel like the button; the window stays until the
  // job has ended.
  QObject::connect(&window, &QDialog::rejected, &window, [&window, &progress] {
    progress.RequestCancel();
    window.show();
  });
  QTimer poll;
  poll.setInterval(kPollMilliseconds);
  std::uint64_t shown = 0;
  QObject::connect(&poll, &QTimer::timeout, &window, [&] {
    const JobProgress::Snapshot snapshot = progress.Read();
    if (snapshot.generation == shown) return;
    shown = snapshot.generation;
    window.SetRange(snapshot.lower, snapshot.upper);
    window.SetPosition(snapshot.position);
    window.SetStatusText(snapshot.status_text);
  });

  QEventLoop loop;
  JobResult result;
  std::thread worker([&] {
    result = RunJobWork(work, progress);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  window.show();
  poll.start();
  loop.exec();
  worker.join();
  poll.stop();
  window.hide();
  mark->Release();
  return result;
}

}  // namespace lp
