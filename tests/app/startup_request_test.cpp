#include "app/startup_request.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

namespace lp {
namespace {

using testing::CaseName;

struct SwitchCase {
  const char* name;
  const char* line;
  std::optional<int> command;
};

class Switches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switches, FirstSwitchInOrderWins) { EXPECT_EQ(SwitchCommand(GetParam().line), GetParam().command); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Switches,
    ::testing::Values(SwitchCase{"Receive", "/R", kCommandReceive},
                      SwitchCase{"LowerCaseSend", "lanternpost /s", kCommandSendOnly},
                      SwitchCase{"SendAndReceive", "/j", kCommandSendAndReceive},
                      SwitchCase{"PatrolBeatsTheOthers", "/J /R /a", kCommandPatrol},
                      SwitchCase{"AnywhereInTheLine", "x/r", kCommandReceive},
                      SwitchCase{"UnknownSwitch", "/X", std::nullopt},
                      SwitchCase{"SlashAtTheEnd", "abc/", std::nullopt},
                      SwitchCase{"Empty", "", std::nullopt}),
    CaseName<SwitchCase>);

struct MailtoCase {
  const char* name;
  std::string stored;
  MailtoPreset expected;
};

class Mailto : public ::testing::TestWithParam<MailtoCase> {};

TEST_P(Mailto, PresetsTheNewMail) {
  StartupRequest request = ParseStartupRequest(GetParam().stored);
  ASSERT_TRUE(request.mailto.has_value());
  EXPECT_FALSE(request.command.has_value());
  EXPECT_EQ(*request.mailto, GetParam().expected);
}

const std::string kTestSjis = "\x83\x65\x83\x58\x83\x67";  // テスト

INSTANTIATE_TEST_SUITE_P(
    Cases, Mailto,
    ::testing::Values(
        MailtoCase{"SubjectAndBody", "mailto:taro@example.jp?subject=Hi&body=x%41y",
                   {"taro@example.jp", "", "Hi", "xAy"}},
        MailtoCase{"SchemeAndKeysInAnyCase", "MAILTO:a@example.jp?CC=b@example.jp&Subject=S",
                   {"a@example.jp", "b@example.jp", "S", ""}},
        MailtoCase{"WholeCommandLineStored", "lanternpost mailto:a@example.jp", {"a@example.jp", "", "", ""}},
        MailtoCase{"Utf8EscapesBecomeShiftJis", "mailto:a@example.jp?subject=%E3%83%86%E3%82%B9%E3%83%88",
                   {"a@example.jp", "", kTestSjis, ""}},
        MailtoCase{"ShiftJisEscapesAreKept", "mailto:a@example.jp?subject=%83%65%83%58%83%67",
                   {"a@example.jp", "", kTestSjis, ""}},
        MailtoCase{"EncodedAddressAndLineBreaks", "mailto:a%40example.jp?body=1%0D%0A2",
                   {"a@example.jp", "", "", "1\r\n2"}},
        MailtoCase{"BrokenEscapesStayAsTyped", "mailto:a@example.jp?subject=100%&body=%4",
                   {"a@example.jp", "", "100%", "%4"}},
        MailtoCase{"OtherKeysAndBarePairsIgnored", "mailto:a@example.jp?bcc=x@y&junk&subject=S",
                   {"a@example.jp", "", "S", ""}},
        MailtoCase{"NoSchemeIsARequestToo", "a@example.jp?subject=S", {"a@example.jp", "", "S", ""}}),
    CaseName<MailtoCase>);

TEST(StartupRequest, StoredSwitchRunsItsCommand) {
  StartupRequest request = ParseStartupRequest("/R");
  EXPECT_FALSE(request.mailto.has_value());
  EXPECT_EQ(request.command, kCommandReceive);
}

TEST(StartupRequest, EmptyTextAsksForNothing) {
  StartupRequest request = ParseStartupRequest("");
  EXPECT_FALSE(request.mailto.has_value());
  EXPECT_FALSE(request.command.has_value());
}

}  // namespace
}  // namespace lp
