#pragma once

#include <cstdint>
#include <optional>

// Timed receiving: the main window looks every 10 seconds whether the
// interval has passed since the program started or since the last timed
// start (manual receives do not count), and then starts a patrol or a receive.

namespace lp {

struct TimerSettings {
  bool enabled = false;     // [System] Timer
  bool patrol_all = false;  // [System] TimerAll: patrol instead of receive
  int interval_minutes = 10;  // [System] TimerValue
};

class TimedReceive {
 public:
  // `start` in seconds since 1970: the interval first counts from it.
  explicit TimedReceive(std::int64_t start) : last_start_(start) {}

  // One tick at `now`: the command to run (patrol 32939 or receive 32785)
  // when the timer is on and `now` is strictly later than the last timed
  // start plus the interval; that start then becomes `now`.
  [[nodiscard]] std::optional<int> Tick(std::int64_t now, const TimerSettings& settings);

  [[nodiscard]] std::int64_t last_start() const { return last_start_; }

 private:
  std::int64_t last_start_;
};

}  // namespace lp
