#include "app/command_table.h"

#include <gtest/gtest.h>

#include <set>

#include "app/command_ids.h"
#include "app/instance_message.h"
#include "app/window_placement.h"
#include "platform/code_page.h"

namespace lp {
namespace {

TEST(CommandTable, KeyCustomisationListHas124UniqueCommandsInOrder) {
  const std::vector<int>& ids = NamedCommandIds();
  ASSERT_EQ(ids.size(), 124u);
  EXPECT_EQ(ids.front(), cmd::kSendAndReceive);
  EXPECT_EQ(ids.back(), cmd::kAbout);
  std::set<int> unique;
  for (const CommandInfo& info : AllCommands()) EXPECT_TRUE(unique.insert(info.id).second) << info.id;
  EXPECT_EQ(Cp932ToUtf8(CommandName(cmd::kMarkRead)), "[文書]既読メールにする");
}

TEST(CommandTable, MenuTextsAreShiftJisWithTheirAccelerators) {
  EXPECT_EQ(Cp932ToUtf8(MenuText(cmd::kReceive)), "受信(&T)");
  // Without a text of its own, the name without its menu.
  EXPECT_EQ(Cp932ToUtf8(MenuText(cmd::kReply)), "返信");
  // Half-width katakana stay single bytes in Shift_JIS.
  EXPECT_EQ(MenuText(cmd::kMailManager).size(), std::string("\xD2\xB0\xD9\xCF\xC8\xBC\xDE\xAC(&M)").size());
  EXPECT_TRUE(MenuText(999).empty());
}

struct RuleCase {
  int command;
  CommandState state;
  bool enabled;
};

TEST(CommandTable, EnabledRulesFollowTheState) {
  CommandState busy;
  busy.busy = true;
  CommandState mailbox;
  mailbox.active = WindowKind::Mailbox;
  CommandState selected = mailbox;
  selected.selection_count = 2;
  CommandState manager;
  manager.active = WindowKind::Manager;
  const RuleCase cases[] = {
      {cmd::kReceive, {}, true},          {cmd::kReceive, busy, false},       {cmd::kSendAndReceive, busy, false},
      {cmd::kReply, mailbox, false},      {cmd::kReply, selected, true},      {cmd::kSortByDate, {}, false},
      {cmd::kSortByDate, mailbox, true},  {cmd::kNewBox, mailbox, false},     {cmd::kNewBox, manager, true},
      {cmd::kCascade, {}, false},         {cmd::kSettings, busy, true},
  };
  for (const RuleCase& c : cases) {
    EXPECT_EQ(RuleAllows(FindCommand(c.command)->rule, c.state), c.enabled) << c.command;
  }
}

TEST(CommandRouter, RunsOnlyRegisteredAndEnabledCommands) {
  CommandState state;
  CommandRouter router([&] { return state; });
  std::vector<int> ran;
  router.Register(cmd::kReceive, [&] { ran.push_back(cmd::kReceive); });
  router.RegisterRange(cmd::kFirstBoxFile, cmd::kLastBoxFile, [&](int id) { ran.push_back(id); });
  EXPECT_TRUE(router.Run(cmd::kReceive));
  EXPECT_FALSE(router.Run(cmd::kSend));  // no handler: disabled
  EXPECT_FALSE(router.IsEnabled(cmd::kSend));
  state.busy = true;
  EXPECT_FALSE(router.Run(cmd::kReceive));  // a second receive while one runs is ignored
  EXPECT_TRUE(router.Run(20003));
  EXPECT_EQ(ran, (std::vector<int>{cmd::kReceive, 20003}));
}

TEST(CommandTable, CheckMarksFollowChoices) {
  CommandState state;
  state.toolbar_choice = 2;
  state.split_position = 0;
  EXPECT_EQ(CheckedState(cmd::kNoToolbar, state), true);
  EXPECT_EQ(CheckedState(cmd::kSmallToolbar, state), false);
  EXPECT_EQ(CheckedState(cmd::kNoPreview, state), true);
  EXPECT_EQ(CheckedState(cmd::kReceive, state), std::nullopt);
}

TEST(FunctionKeyLabel, UnboundShortFormsAndNames) {
  struct Case {
    int key;
    int modifiers;
    std::uint32_t command;
    const char* utf8;
  };
  const Case cases[] = {
      {5, 0, 0, "F5"},        {5, 1, 0, "B5"},          {5, 2, 0, "C5"},           {12, 3, 0, "D12"},
      {10, 0, cmd::kFindNextInBox, "次検索"}, {3, 1, cmd::kMailManager, "ﾏﾈｰｼﾞｬ"},
      {1, 2, cmd::kMarkRead, "既読"},          {5, 0, cmd::kSendAndReceive, "送受信"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp932ToUtf8(FunctionKeyLabel(c.key, c.modifiers, c.command)), c.utf8) << c.key << "/" << c.modifiers;
  }
}

TEST(WindowPlacement, RoundTripsAndMinimisedRestoresNormally) {
  const WindowPlacement closed = PlacementOnClose(false, true, 10, 20, 810, 620);
  EXPECT_EQ(FormatPlacement(closed), "0,9,-1,-1,-1,-1,10,20,810,620");
  EXPECT_EQ(ParsePlacement(FormatPlacement(closed)), closed);
  EXPECT_EQ(PlacementOnClose(true, false, 0, 0, 1, 1).flags, 2u);
  EXPECT_FALSE(ParsePlacement("1,2,3"));
  EXPECT_FALSE(ParsePlacement("0,1,-1,-1,-1,-1,10,20,5,620"));  // empty rectangle
}

TEST(InstanceMessage, FramesSurviveSplitsAndOversizeIsDropped) {
  const std::string frame = EncodeHandOver("/R") + EncodeHandOver("mailto:a@example.jp");
  EXPECT_FALSE(DecodeHandOver(frame.substr(0, 5)));
  const auto first = DecodeHandOver(frame);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->command_line, "/R");
  const auto second = DecodeHandOver(std::string_view(frame).substr(first->consumed));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->command_line, "mailto:a@example.jp");
  const auto oversize = DecodeHandOver(std::string("\x7f\0\0\0xx", 6));
  ASSERT_TRUE(oversize);
  EXPECT_TRUE(oversize->command_line.empty());
  EXPECT_EQ(oversize->consumed, 6u);
}

}  // namespace
}  // namespace lp
