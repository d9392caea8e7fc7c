#include "app/timed_receive.h"

#include <vector>

#include <gtest/gtest.h>

#include "app/startup_request.h"

namespace lp {
namespace {

// The commands started by ticks every 10 seconds for `seconds` after a start at 0.
std::vector<std::pair<std::int64_t, int>> TicksFor(const TimerSettings& settings, std::int64_t seconds) {
  TimedReceive timer(0);
  std::vector<std::pair<std::int64_t, int>> started;
  for (std::int64_t now = 10; now <= seconds; now += 10) {
    if (std::optional<int> command = timer.Tick(now, settings)) started.emplace_back(now, *command);
  }
  return started;
}

TEST(TimedReceive, StartsAtTheFirstTickStrictlyAfterTheInterval) {
  const auto started = TicksFor({true, false, 10}, 1900);
  // 600 is not later than 0 + 10 minutes; 610 is, and counts for the next.
  const std::vector<std::pair<std::int64_t, int>> expected{
      {610, kCommandReceive}, {1220, kCommandReceive}, {1830, kCommandReceive}};
  EXPECT_EQ(started, expected);
}

TEST(TimedReceive, PatrolsWhenAllAccountsAreWanted) {
  const auto started = TicksFor({true, true, 1}, 70);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].second, kCommandPatrol);
}

TEST(TimedReceive, OffStartsNothingAndKeepsItsStart) {
  TimedReceive timer(0);
  EXPECT_FALSE(timer.Tick(100000, {false, false, 1}).has_value());
  EXPECT_EQ(timer.last_start(), 0);
  // Switched on later, the interval still counts from the start.
  EXPECT_EQ(timer.Tick(100000, {true, false, 1}), kCommandReceive);
}

}  // namespace
}  // namespace lp
