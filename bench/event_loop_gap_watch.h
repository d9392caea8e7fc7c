#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

// A timer that ticks every millisecond on the event loop and keeps the
// longest gap between two ticks: the longest time the windows could not
// paint or take a key while the watch ran.

namespace lp::bench {

class EventLoopGapWatch {
 public:
  EventLoopGapWatch() {
    ticks_.setInterval(1);
    QObject::connect(&ticks_, &QTimer::timeout, [this] { Tick(); });
  }
  void Start() {
    since_tick_.start();
    ticks_.start();
  }
  // Counts the time since the last tick as a gap too.
  void Stop() {
    Tick();
    ticks_.stop();
  }
  [[nodiscard]] double longest_ms() const { return longest_ms_; }
  [[nodiscard]] int gaps_over_16ms() const { return gaps_over_16ms_; }

 private:
  void Tick() {
    const double gap = static_cast<double>(since_tick_.nsecsElapsed()) / 1e6;
    longest_ms_ = std::max(longest_ms_, gap);
    if (gap > 16) ++gaps_over_16ms_;
    since_tick_.restart();
  }

  QTimer ticks_;
  QElapsedTimer since_tick_;
  double longest_ms_ = 0;
  int gaps_over_16ms_ = 0;
};

}  // namespace lp::bench
