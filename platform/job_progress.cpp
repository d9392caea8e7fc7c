#include "platform/job_progress.h"

namespace lp {

void JobProgress::SetRange(int lower, int upper) {
  lower_.store(lower, std::memory_order_relaxed);
  upper_.store(upper, std::memory_order_relaxed);
  Changed();
}

void JobProgress::SetPosition(int position) {
  // Jobs report often; an unchanged position is no change for the poller.
  if (position_.exchange(position, std::memory_order_relaxed) != position) Changed();
}

void JobProgress::SetStatusText(std::string_view text) {
  {
    std::lock_guard lock(text_mutex_);
    if (status_text_ == text) return;
    status_text_.assign(text);
  }
  Changed();
}

void JobProgress::RequestCancel() {
  cancel_requested_.store(true, std::memory_order_relaxed);
  Changed();
}

JobProgress::Snapshot JobProgress::Read() const {
  Snapshot snapshot;
  snapshot.generation = Generation();
  snapshot.lower = lower_.load(std::memory_order_relaxed);
  snapshot.upper = upper_.load(std::memory_order_relaxed);
  snapshot.position = position_.load(std::memory_order_relaxed);
  snapshot.cancel_requested = cancel_requested_.load(std::memory_order_relaxed);
  std::lock_guard lock(text_mutex_);
  snapshot.status_text = status_text_;
  return snapshot;
}

}  // namespace lp
