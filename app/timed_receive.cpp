#include "app/timed_receive.h"

#include "app/startup_request.h"

namespace lp {

std::optional<int> TimedReceive::Tick(std::int64_t now, const TimerSettings& settings) {
  if (!settings.enabled) return std::nullopt;
  if (now <= last_start_ + std::int64_t{settings.interval_minutes} * 60) return std::nullopt;
  last_start_ = now;
  return settings.patrol_all ? kCommandPatrol : kCommandReceive;
}

}  // namespace lp
