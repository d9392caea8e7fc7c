#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/user_interface.h"

class QLabel;
class QProgressBar;

// A walk over many boxes (the search of every box, the text export of
// every box) on a worker thread: the window stays usable while a modeless
// window shows the box being walked, with "中止" (end the walk; closing the
// window is the same) and "次へ" (leave this box for the next).

namespace lp {

class WorkerJobs;

class SkippableWorkerRun final : public QObject {
  Q_OBJECT

 public:
  // `work` runs on the worker and reports to the progress it is given;
  // `done` runs on this thread afterwards.
  using Work = std::function<void(SkippableProgress& progress)>;

  SkippableWorkerRun(QWidget* window, WorkerJobs& jobs);
  // A walk still running is cancelled; WorkerJobs waits for it.
  ~SkippableWorkerRun() override;

  // `title` and `text` (UTF-8) head the window. False when a walk runs.
  bool Start(const char* title, const char* text, Work work, std::function<void()> done);
  [[nodiscard]] bool IsRunning() const { return shared_ != nullptr; }
  // The progress window while a walk runs.
  [[nodiscard]] QDialog* progress_window() const { return window_.data(); }

 private:
  class Shared;
  void ShowProgress();

  QWidget* parent_;
  WorkerJobs& jobs_;
  std::shared_ptr<Shared> shared_;
  QPointer<QDialog> window_;  // deletes itself when closed ("中止")
  QLabel* status_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QString text_;
  QTimer poll_;
};

}  // namespace lp
