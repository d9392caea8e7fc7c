#include "ui/skippable_worker_run.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <atomic>

#include "platform/job_progress.h"
#include "ui/find_messages.h"
#include "ui/sjis_qt.h"
#include "ui/worker_jobs.h"

namespace lp {

// The worker's progress: a JobProgress with the "次へ" mark beside it.
class SkippableWorkerRun::Shared final : public SkippableProgress {
 public:
  void SetRange(int lower, int upper) override { job.SetRange(lower, upper); }
  void SetPosition(int position) override { job.SetPosition(position); }
  void SetStatusText(std::string_view text) override { job.SetStatusText(text); }
  [[nodiscard]] bool CancelRequested() override { return job.CancelRequested(); }
  [[nodiscard]] bool SkipRequested() override { return skip.exchange(false, std::memory_order_relaxed); }

  JobProgress job;
  std::atomic<bool> skip{false};
};

SkippableWorkerRun::SkippableWorkerRun(QWidget* window, WorkerJobs& jobs)
    : QObject(window), parent_(window), jobs_(jobs) {
  poll_.setInterval(100);
  connect(&poll_, &QTimer::timeout, this, &SkippableWorkerRun::ShowProgress);
}

SkippableWorkerRun::~SkippableWorkerRun() {
  if (shared_) shared_->job.RequestCancel();
}

bool SkippableWorkerRun::Start(const char* title, const char* text, Work work, std::function<void()> done) {
  if (IsRunning()) return false;
  shared_ = std::make_shared<Shared>();
  text_ = QString::fromUtf8(text);
  window_ = new QDialog(parent_);
  window_->setObjectName(QStringLiteral("walkProgress"));
  window_->setWindowTitle(QString::fromUtf8(title));
  window_->setAttribute(Qt::WA_DeleteOnClose);
  status_ = new QLabel(text_, window_);
  bar_ = new QProgressBar(window_);
  auto* buttons = new QDialogButtonBox(window_);
  QPushButton* stop = buttons->addButton(QString::fromUtf8(ui_text::kWalkStop), QDialogButtonBox::RejectRole);
  QPushButton* next = buttons->addButton(QString::fromUtf8(ui_text::kWalkNextBox), QDialogButtonBox::ActionRole);
  stop->setObjectName(QStringLiteral("stop"));
  next->setObjectName(QStringLiteral("next"));
  const std::shared_ptr<Shared> shared = shared_;
  connect(next, &QPushButton::clicked, window_, [shared] { shared->skip.store(true, std::memory_order_relaxed); });
  // "中止" rejects the window, as closing it does.
  connect(buttons, &QDialogButtonBox::rejected, window_, &QDialog::reject);
  connect(window_, &QDialog::rejected, window_, [shared] { shared->job.RequestCancel(); });
  auto* layout = new QVBoxLayout(window_);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addWidget(buttons);
  window_->show();
  poll_.start();

  // The jobs may outlive this object (its window closed while a walk
  // ran): what follows the walk is then dropped.
  QPointer<SkippableWorkerRun> self(this);
  jobs_.Run([shared, work = std::move(work)] { work(*shared); },
            [this, self, done = std::move(done)] {
              if (self.isNull()) return;
              poll_.stop();
              if (!window_.isNull()) {
                window_->disconnect(this);
                window_->close();
              }
              window_ = nullptr;
              shared_.reset();
              if (done) done();
            });
  return true;
}

void SkippableWorkerRun::ShowProgress() {
  if (window_ == nullptr || !shared_) return;
  const JobProgress::Snapshot snapshot = shared_->job.Read();
  if (!snapshot.status_text.empty()) status_->setText(text_ + QStringLiteral("\n") + FromSjis(snapshot.status_text));
  bar_->setRange(snapshot.lower, snapshot.upper);
  bar_->setValue(snapshot.position);
}

}  // namespace lp
