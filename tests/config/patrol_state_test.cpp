#include "config/patrol_state.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/recording_user_interface.h"

namespace lp {
namespace {

// Accounts named "0", "1", ... with the given Round flags.
CSetMenuArray Accounts(const std::vector<bool>& rounds, std::size_t current = 0) {
  CSetMenuArray table;
  table.At(0).name = "0";
  table.At(0).round = rounds[0];
  for (std::size_t i = 1; i < rounds.size(); ++i) {
    CSetMenu account;
    account.name = std::to_string(i);
    account.round = rounds[i];
    table.Append(account);
  }
  table.SetCurrentIndex(current);
  return table;
}

struct TargetCase {
  std::vector<bool> rounds;
  std::size_t index;
  std::optional<std::size_t> next;
};

TEST(PatrolTargetsTest, NextAndLast) {
  const TargetCase cases[] = {
      {{true, false, true}, 0, 2},
      {{true, false, true}, 2, std::nullopt},
      {{false, false, true, true}, 1, 2},
      {{true}, 0, std::nullopt},
      {{false, false}, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    CSetMenuArray table = Accounts(c.rounds);
    EXPECT_EQ(NextPatrolTarget(table, c.index), c.next) << c.index;
    EXPECT_EQ(IsLastPatrolTarget(table, c.index), !c.next.has_value()) << c.index;
  }
  EXPECT_EQ(FirstPatrolTarget(Accounts({false, true, true})), 1u);
  EXPECT_EQ(FirstPatrolTarget(Accounts({false, false})), std::nullopt);
}

TEST(PatrolTest, VisitsTheTargetsAndRestoresTheAccount) {
  CSetMenuArray table = Accounts({true, false, true}, 1);
  RecordingUserInterface ui;
  PatrolState state;
  ASSERT_EQ(state.BeginPatrol(table, ui), PatrolStart::Started);
  EXPECT_TRUE(state.Busy());
  EXPECT_TRUE(state.PatrolActive());
  EXPECT_EQ(state.PatrolStartAccount(), 1u);
  EXPECT_EQ(table.CurrentIndex(), 0u);

  EXPECT_EQ(state.FinishReceive(table, 2, 1), ReceiveEnd::NextTarget);
  ASSERT_TRUE(state.AdvancePatrol(table));
  EXPECT_EQ(table.CurrentIndex(), 2u);
  EXPECT_EQ(state.FinishReceive(table, 3, 0), ReceiveEnd::PatrolEnded);

  EXPECT_EQ(table.CurrentIndex(), 1u);
  EXPECT_FALSE(state.Busy());
  EXPECT_FALSE(state.PatrolActive());
  EXPECT_EQ(state.ReceivedCount(), 5);
  EXPECT_EQ(state.CreatedCount(), 1);
  EXPECT_TRUE(ui.messages.empty());

  // A second patrol starts its totals afresh.
  ASSERT_EQ(state.BeginPatrol(table, ui), PatrolStart::Started);
  EXPECT_EQ(state.PatrolReceivedTotal(), 0);
}

TEST(PatrolTest, IgnoredWhileBusyAndRefusedWithoutTargets) {
  RecordingUserInterface ui;
  PatrolState state;
  CSetMenuArray none = Accounts({false, false}, 1);
  EXPECT_EQ(state.BeginPatrol(none, ui), PatrolStart::NoTarget);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], kNoPatrolTargetMessage);
  EXPECT_FALSE(state.Busy());
  EXPECT_EQ(none.CurrentIndex(), 1u);

  CSetMenuArray table = Accounts({true, true}, 1);
  state.SetBusy(true);  // a send-and-receive runs
  EXPECT_EQ(state.BeginPatrol(table, ui), PatrolStart::Ignored);
  EXPECT_FALSE(state.PatrolActive());
  EXPECT_EQ(table.CurrentIndex(), 1u);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(PatrolTest, AReceiveOutsideAPatrolKeepsItsOwnCounts) {
  CSetMenuArray table = Accounts({true, true});
  PatrolState state;
  EXPECT_EQ(state.FinishReceive(table, 4, 2), ReceiveEnd::Single);
  EXPECT_EQ(state.ReceivedCount(), 4);
  EXPECT_EQ(state.CreatedCount(), 2);
  EXPECT_EQ(table.CurrentIndex(), 0u);
}

TEST(PatrolTest, AdvancingPastTheLastTargetEndsThePatrol) {
  CSetMenuArray table = Accounts({true, true}, 1);
  RecordingUserInterface ui;
  PatrolState state;
  ASSERT_EQ(state.BeginPatrol(table, ui), PatrolStart::Started);
  table.At(1).round = false;  // the targets changed under the patrol
  EXPECT_FALSE(state.AdvancePatrol(table));
  EXPECT_FALSE(state.PatrolActive());
  EXPECT_FALSE(state.Busy());
  EXPECT_EQ(table.CurrentIndex(), 1u);
}

TEST(PatrolTest, AutoDisconnectHangsUpOnlyAfterTheLastTarget) {
  CSetMenuArray table = Accounts({true, true, true});
  for (std::size_t i = 0; i < 3; ++i) table.At(i).auto_dis = true;
  RecordingUserInterface ui;
  PatrolState state;
  ASSERT_EQ(state.BeginPatrol(table, ui), PatrolStart::Started);
  std::vector<bool> hang_ups;
  for (;;) {
    hang_ups.push_back(state.HangsUpAfterReceive(table, false));
    if (state.FinishReceive(table, 0, 0) == ReceiveEnd::PatrolEnded) break;
    ASSERT_TRUE(state.AdvancePatrol(table));
  }
  EXPECT_EQ(hang_ups, (std::vector<bool>{false, false, true}));
}

TEST(PatrolTest, AutomaticConnectAndHangUpRules) {
  CSetMenuArray table = Accounts({true});
  CSetMenu& account = table.At(0);
  PatrolState state;
  account.auto_con = true;
  account.auto_dis = true;
  EXPECT_TRUE(state.ConnectsBeforeSend(account));
  EXPECT_TRUE(state.HangsUpAfterReceive(table, false));
  EXPECT_FALSE(state.HangsUpAfterSend(account));

  account.pop_before = true;
  state.SetBusy(true);  // receive-first chain: its receive has connected
  EXPECT_FALSE(state.ConnectsBeforeSend(account));
  EXPECT_FALSE(state.HangsUpAfterReceive(table, true));  // the send follows
  EXPECT_TRUE(state.HangsUpAfterSend(account));

  account.auto_dis = false;
  EXPECT_FALSE(state.HangsUpAfterReceive(table, false));
}

TEST(ConnectTest, WithoutAnEntryOrAService) {
  RecordingUserInterface ui;
  PatrolState state;
  CSetMenu account;
  EXPECT_EQ(state.Connect(account, ui), ConnectResult::NoEntry);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], kNoDialUpEntryMessage);

  account.ras_name = "provider";
  EXPECT_EQ(state.Connect(account, ui), ConnectResult::NoService);
  state.Disconnect();
  EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
}  // namespace lp
