#include "rules/sort_rules.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

CDivMenu Rule(int cond1, std::string cond2, std::string box, std::string foward = "", std::string reply = "") {
  return CDivMenu{cond1, std::move(cond2), std::move(box), std::move(foward), std::move(reply)};
}

class SortRulesTest : public ::testing::Test {
 protected:
  testing::TempDirectory dir_;
  Profile profile_{dir_.File("lpost.conf")};
};

TEST(RuleKey, AppendsTheIndexWithAtLeastTwoDigits) {
  const std::vector<std::pair<std::size_t, std::string>> cases = {
      {0, "Cond100"}, {7, "Cond107"}, {99, "Cond199"}, {100, "Cond1100"}, {999, "Cond1999"}};
  for (const auto& [index, key] : cases) EXPECT_EQ(RuleKey("Cond1", index), key) << index;
  EXPECT_EQ(RuleKey("MailBox", 5), "MailBox05");
}

TEST_F(SortRulesTest, SaveWritesTheKeysByteExact) {
  CDivMenuArray rules;
  for (int i = 0; i <= 100; ++i) {
    ASSERT_TRUE(rules.Add(Rule(i % 3, "c" + std::to_string(i), "/d/b" + std::to_string(i) + ".lp",
                               "f" + std::to_string(i), "r" + std::to_string(i))));
  }
  ASSERT_TRUE(rules.Save(profile_));
  const std::string file = ReadFileBytes(dir_.File("lpost.conf"));
  for (const std::string line :
       {"[DivMenu]\r\n", "DivNo=101\r\n", "Cond100=0\r\n", "Cond200=c0\r\n", "MailBox00=/d/b0.lp\r\n",
        "Foward00=f0\r\n", "Reply00=r0\r\n", "Cond105=2\r\n", "Cond1100=1\r\n", "Cond2100=c100\r\n",
        "MailBox100=/d/b100.lp\r\n", "Foward100=f100\r\n", "Reply100=r100\r\n"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line;
  }

  CDivMenuArray back;
  back.Load(profile_);
  ASSERT_EQ(back.Count(), 101u);
  for (std::size_t i = 0; i < back.Count(); ++i) EXPECT_EQ(*back.At(i), *rules.At(i)) << i;
}

TEST_F(SortRulesTest, KeysBeyondTheNewCountStayUntouched) {
  CDivMenuArray rules;
  for (const char* box : {"/a.lp", "/b.lp", "/c.lp"}) ASSERT_TRUE(rules.Add(Rule(1, "x", box)));
  ASSERT_TRUE(rules.Save(profile_));
  ASSERT_TRUE(rules.Delete(0));
  ASSERT_TRUE(rules.Save(profile_));
  EXPECT_EQ(profile_.GetInt("DivMenu", "DivNo", -1), 2);
  EXPECT_EQ(profile_.GetString("DivMenu", "MailBox00"), "/b.lp");
  EXPECT_EQ(profile_.GetString("DivMenu", "MailBox01"), "/c.lp");
  EXPECT_EQ(profile_.GetString("DivMenu", "MailBox02"), "/c.lp");  // left as it was

  CDivMenuArray back;
  back.Load(profile_);
  EXPECT_EQ(back.Count(), 2u);
}

TEST_F(SortRulesTest, LoadBringsTheCountIntoRangeAndDefaultsMissingKeys) {
  const std::vector<std::pair<std::string, std::size_t>> cases = {
      {"", 0}, {"DivNo=-4\r\n", 0}, {"DivNo=abc\r\n", 0}, {"DivNo=2\r\n", 2}, {"DivNo=5000\r\n", 1000}};
  for (const auto& [section, count] : cases) {
    WriteFileBytes(dir_.File("lpost.conf"), "[DivMenu]\r\n" + section + "Cond200=hello\r\n");
    CDivMenuArray rules;
    rules.Load(profile_);
    EXPECT_EQ(rules.Count(), count) << section;
    if (count > 0) {
      EXPECT_EQ(*rules.At(0), Rule(0, "hello", ""));
      EXPECT_EQ(*rules.At(1), Rule(0, "", ""));
    }
  }
}

TEST(SortRulesTable, EditingOperations) {
  CDivMenuArray rules;
  ASSERT_TRUE(rules.Add(Rule(0, "a", "/a.lp")));
  ASSERT_TRUE(rules.Add(Rule(1, "b", "/b.lp")));
  ASSERT_TRUE(rules.Add(Rule(2, "c", "/c.lp")));
  EXPECT_TRUE(rules.Swap(0, 2));
  EXPECT_EQ(rules.At(0)->cond2, "c");
  EXPECT_EQ(rules.At(2)->cond2, "a");
  EXPECT_TRUE(rules.Replace(1, Rule(2, "B", "")));
  EXPECT_EQ(*rules.At(1), Rule(2, "B", ""));
  EXPECT_TRUE(rules.Delete(0));
  ASSERT_EQ(rules.Count(), 2u);
  EXPECT_EQ(rules.At(0)->cond2, "B");
  EXPECT_EQ(rules.At(1)->cond2, "a");

  EXPECT_FALSE(rules.Swap(0, 2));
  EXPECT_FALSE(rules.Replace(2, Rule(0, "", "")));
  EXPECT_FALSE(rules.Delete(2));
  EXPECT_EQ(rules.At(2), nullptr);
  EXPECT_EQ(rules.Count(), 2u);
}

TEST(SortRulesTable, RefusesTheRuleAfterTheThousandth) {
  CDivMenuArray rules;
  for (std::size_t i = 0; i < CDivMenuArray::kMaxRules; ++i) ASSERT_TRUE(rules.Add(Rule(0, "x", "")));
  EXPECT_FALSE(rules.Add(Rule(0, "y", "")));
  EXPECT_EQ(rules.Count(), CDivMenuArray::kMaxRules);
}

TEST(SortRulesTable, DestinationsFollowRenamesAndDeletionsByExactPath) {
  CDivMenuArray rules;
  ASSERT_TRUE(rules.Add(Rule(0, "1", "/d/Old.lp")));
  ASSERT_TRUE(rules.Add(Rule(0, "2", "/d/old.lp")));  // differs in case: another path
  ASSERT_TRUE(rules.Add(Rule(0, "3", "/d/Old.lp", "fw@example.jp")));
  ASSERT_TRUE(rules.Add(Rule(0, "4", "/d/Other.lp")));

  EXPECT_EQ(rules.RenameDestination("/d/Old.lp", "/d/New.lp"), 2u);
  EXPECT_EQ(rules.At(0)->mail_box, "/d/New.lp");
  EXPECT_EQ(rules.At(1)->mail_box, "/d/old.lp");
  EXPECT_EQ(rules.At(2)->mail_box, "/d/New.lp");

  EXPECT_EQ(rules.RemoveDestination("/d/New.lp"), 2u);
  ASSERT_EQ(rules.Count(), 2u);
  EXPECT_EQ(rules.At(0)->cond2, "2");
  EXPECT_EQ(rules.At(1)->cond2, "4");
  EXPECT_EQ(rules.RemoveDestination("/d/missing.lp"), 0u);
}

TEST(SortRulesText, ListLineNamesFieldTextAndActions) {
  struct Case {
    CDivMenu rule;
    std::string text;
  };
  // " が ", " のとき ", " へ移動する ", " へ転送する ", " を返信する "
  const std::string ga = " \x82\xAA ";
  const std::string when = " \x82\xCC\x82\xC6\x82\xAB ";
  const std::string move = " \x82\xD6\x88\xDA\x93\xAE\x82\xB7\x82\xE9 ";
  const std::string forward = " \x82\xD6\x93\x5D\x91\x97\x82\xB7\x82\xE9 ";
  const std::string reply = " \x82\xF0\x95\xD4\x90\x4D\x82\xB7\x82\xE9 ";
  const std::string work = "\x8E\x64\x8E\x96";  // 仕事
  const std::vector<Case> cases = {
      {Rule(0, "abc", "/d/f.lp/" + work + ".lp"), "To:" + ga + "abc" + when + work + move},
      {Rule(1, "x", "", "a@b.jp"), "From:" + ga + "x" + when + "a@b.jp" + forward},
      {Rule(2, "y", "", "", "/t/thanks.txt"), "Sub:" + ga + "y" + when + "/t/thanks.txt" + reply},
      {Rule(7, "z", "/d/\x95\x5C.lp", "a", "r"),  // 表.lp: trail byte 0x5C is no separator
       ga + "z" + when + "\x95\x5C" + move + "a" + forward + "r" + reply},
  };
  for (const auto& c : cases) EXPECT_EQ(RuleText(c.rule), c.text) << c.rule.cond2;
}

}  // namespace
}  // namespace lp
