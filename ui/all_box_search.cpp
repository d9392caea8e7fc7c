#include "ui/all_box_search.h"

#include <QDialogButtonBox>
#include <QLabel>
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
class AllBoxSearch::Shared final : public SkippableProgress {
 public:
  void SetRange(int lower, int upper) override { job.SetRange(lower, upper); }
  void SetPosition(int position) override { job.SetPosition(position); }
  void SetStatusText(std::string_view text) override { job.SetStatusText(text); }
  [[nodiscard]] bool CancelRequested() override { return job.CancelRequested(); }
  [[nodiscard]] bool SkipRequested() override { return skip.exchange(false, std::memory_order_relaxed); }

  JobProgress job;
  std::atomic<bool> skip{false};
  BoxSearchResult result;  // written by the worker, read after it ended
};

AllBoxSearch::AllBoxSearch(QWidget* window, const Profile& profile, WorkerJobs& jobs)
    : QObject(window), parent_(window), profile_(profile), jobs_(jobs) {
  poll_.setInterval(100);
  connect(&poll_, &QTimer::timeout, this, &AllBoxSearch::ShowProgress);
}

AllBoxSearch::~AllBoxSearch() {
  if (shared_) shared_->job.RequestCancel();
}

bool AllBoxSearch::Start(std::vector<std::string> box_list, BoxSearchPosition start, const SearchCondition& condition,
                         Done done) {
  if (IsRunning()) return false;
  shared_ = std::make_shared<Shared>();
  window_ = new QDialog(parent_);
  window_->setObjectName(QStringLiteral("searchProgress"));
  window_->setWindowTitle(QString::fromUtf8(ui_text::kSearchingTitle));
  window_->setAttribute(Qt::WA_DeleteOnClose);
  status_ = new QLabel(QString::fromUtf8(ui_text::kSearchingText), window_);
  bar_ = new QProgressBar(window_);
  auto* buttons = new QDialogButtonBox(window_);
  QPushButton* stop = buttons->addButton(QString::fromUtf8(ui_text::kSearchStop), QDialogButtonBox::RejectRole);
  QPushButton* next = buttons->addButton(QString::fromUtf8(ui_text::kSearchNextBox), QDialogButtonBox::ActionRole);
  stop->setObjectName(QStringLiteral("stop"));
  next->setObjectName(QStringLiteral("next"));
  const std::shared_ptr<Shared> shared = shared_;
  connect(stop, &QPushButton::clicked, window_, [shared] { shared->job.RequestCancel(); });
  connect(next, &QPushButton::clicked, window_, [shared] { shared->skip.store(true, std::memory_order_relaxed); });
  // Closing the window is "中止".
  connect(window_, &QDialog::rejected, window_, [shared] { shared->job.RequestCancel(); });
  auto* layout = new QVBoxLayout(window_);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addWidget(buttons);
  window_->show();
  poll_.start();

  const Profile& profile = profile_;
  jobs_.Run(
      [shared, box_list = std::move(box_list), start, condition, &profile] {
        shared->result = SearchAllBoxes(box_list, start, condition, profile, shared.get());
      },
      [this, shared, done = std::move(done)] {
        poll_.stop();
        if (window_ != nullptr) {
          window_->disconnect(this);
          window_->close();
          window_ = nullptr;
        }
        shared_.reset();
        if (done) done(shared->result);
      });
  return true;
}

void AllBoxSearch::ShowProgress() {
  if (window_ == nullptr || !shared_) return;
  const JobProgress::Snapshot snapshot = shared_->job.Read();
  if (!snapshot.status_text.empty()) {
    status_->setText(QString::fromUtf8(ui_text::kSearchingText) + QStringLiteral("\n") + FromSjis(snapshot.status_text));
  }
  bar_->setRange(snapshot.lower, snapshot.upper);
  bar_->setValue(snapshot.position);
}

}  // namespace lp
