#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/user_interface.h"

// The progress of a job that runs on a worker thread. The job writes it
// through the ordinary Progress interface and polls CancelRequested(); the
// thread that shows it (the GUI's timer, a test) reads a snapshot and asks
// for the cancel. Every member may be called from either thread at any time.

namespace lp {

class JobProgress final : public Progress {
 public:
  struct Snapshot {
    int lower = 0;
    int upper = 0;
    int position = 0;
    std::string status_text;  // Shift_JIS
    bool cancel_requested = false;
    // Grows with every change, so a poller can skip a repaint.
    std::uint64_t generation = 0;
  };

  // The job's side.
  void SetRange(int lower, int upper) override;
  void SetPosition(int position) override;
  void SetStatusText(std::string_view text) override;
  [[nodiscard]] bool CancelRequested() override { return cancel_requested_.load(std::memory_order_relaxed); }

  // The showing side.
  void RequestCancel();
  [[nodiscard]] Snapshot Read() const;
  [[nodiscard]] std::uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }

 private:
  void Changed() { generation_.fetch_add(1, std::memory_order_release); }

  std::atomic<int> lower_{0};
  std::atomic<int> upper_{0};
  std::atomic<int> position_{0};
  std::atomic<bool> cancel_requested_{false};
  std::atomic<std::uint64_t> generation_{0};
  mutable std::mutex text_mutex_;
  std::string status_text_;
};

// Forwards to another Progress only when there is one: lets a job take a
// Progress* that callers without a window leave empty.
class OptionalProgress {
 public:
  explicit OptionalProgress(Progress* progress) : progress_(progress) {}
  void SetRange(int lower, int upper) {
    if (progress_) progress_->SetRange(lower, upper);
  }
  void SetPosition(int position) {
    if (progress_) progress_->SetPosition(position);
  }
  void SetStatusText(std::string_view text) {
    if (progress_) progress_->SetStatusText(text);
  }
  [[nodiscard]] bool CancelRequested() { return progress_ != nullptr && progress_->CancelRequested(); }

 private:
  Progress* progress_;
};

}  // namespace lp
