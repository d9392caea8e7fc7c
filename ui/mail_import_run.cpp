#include "ui/mail_import_run.h"

#include <QMetaObject>

#include "ui/progress_window.h"
#include "ui/ui_messages.h"

namespace lp {
namespace {

// How often the window shows the worker's progress.
constexpr int kPollMilliseconds = 100;

}  // namespace

MailImportRun::MailImportRun(QWidget* window, Profile& profile, UserInterface& ui, MailImportRequest request,
                             MailSourceScan scan)
    : work_(MailImportWork(std::move(request), std::move(scan), profile, ui, report_)),
      progress_window_(std::make_unique<ProgressWindow>(window, QString::fromUtf8(ui_text::kImportProgressCaption),
                                                        [this] { progress_.RequestCancel(); })) {
  pool_.setMaxThreadCount(1);
  poll_.setInterval(kPollMilliseconds);
  connect(&poll_, &QTimer::timeout, this, &MailImportRun::ShowProgress);
}

MailImportRun::~MailImportRun() {
  progress_.RequestCancel();
  pool_.waitForDone();
}

void MailImportRun::Start() {
  progress_window_->show();
  poll_.start();
  pool_.start([this] {
    result_ = RunJobWork(work_, progress_);
    QMetaObject::invokeMethod(this, &MailImportRun::Done, Qt::QueuedConnection);
  });
}

void MailImportRun::ShowProgress() {
  const JobProgress::Snapshot snapshot = progress_.Read();
  if (snapshot.generation == shown_generation_) return;
  shown_generation_ = snapshot.generation;
  progress_window_->SetRange(snapshot.lower, snapshot.upper);
  progress_window_->SetPosition(snapshot.position);
  progress_window_->SetStatusText(snapshot.status_text);
}

void MailImportRun::Done() {
  poll_.stop();
  pool_.waitForDone();
  progress_window_->hide();
  emit Finished(result_);
}

}  // namespace lp
