#pragma once

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <memory>

#include "app/mail_import_job.h"

class QWidget;

// An import of other programs' mail on a worker thread, shown in the
// modeless progress window: its bar follows the job's progress, its cancel
// asks the job to stop after the message in hand (what was imported stays).
// Finished comes on the GUI thread once the worker is done.

namespace lp {

class ProgressWindow;

class MailImportRun final : public QObject {
  Q_OBJECT

 public:
  MailImportRun(QWidget* window, Profile& profile, UserInterface& ui, MailImportRequest request,
                MailSourceScan scan);
  // A run still going is cancelled and waited for.
  ~MailImportRun() override;

  void Start();
  [[nodiscard]] JobProgress& progress() { return progress_; }
  [[nodiscard]] const MailImportReport& report() const { return report_; }
  [[nodiscard]] ProgressWindow* progress_window() const { return progress_window_.get(); }

 signals:
  // `result.message` holds the report (Shift_JIS lines).
  void Finished(const lp::JobResult& result);

 private:
  void ShowProgress();
  void Done();

  JobProgress progress_;
  MailImportReport report_;
  JobWork work_;
  JobResult result_;
  std::unique_ptr<ProgressWindow> progress_window_;
  QTimer poll_;
  QThreadPool pool_;
  std::uint64_t shown_generation_ = 0;
};

}  // namespace lp
