#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "store/mailbox_document.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

struct StoredMail {
  const char* from;
  const char* subject;
  const char* text;
  int status = kStatusRead;
  int label = 0;
};

class CliSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
    ASSERT_TRUE(MakeDirectory(FromNativePath(data_ + "/仕事.lp")));
    // 2024-01-02 03:04:05 in Japan.
    MakeBox("受信.lp", {{"山田 <yamada@example.jp>", "テスト送信", "本文: 会議は月曜です\r\n"},
                       {"a@example.jp", "other", "nothing here\r\n", kStatusUnread, 2}});
    MakeBox("仕事.lp/案件.lp", {{"b@example.jp", "見積", "ﾃｽﾄの結果\r\n"}});
  }

  void MakeBox(const std::string& name_utf8, const std::vector<StoredMail>& mails) {
    Profile profile(FromNativePath(data_ + "/lpost.conf"));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc doc(profile, ui, commands);
    WriteFileBytes(data_ + "/" + name_utf8, "");
    ASSERT_TRUE(doc.Open(FromNativePath(data_ + "/" + name_utf8)).ok);
    for (const StoredMail& stored : mails) {
      auto mail = std::make_unique<CMail>();
      mail->from = Utf8ToCp932(stored.from);
      mail->subject = Utf8ToCp932(stored.subject);
      mail->date = 1704132245;
      mail->status = stored.status;
      mail->label = stored.label;
      doc.Add(std::move(mail));
      ASSERT_TRUE(doc.StoreTextOfLast(Utf8ToCp932(stored.text)));
    }
    ASSERT_TRUE(doc.Save().ok);
  }

  CliResult Search(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"search"};
    all.insert(all.end(), args.begin(), args.end());
    return RunCli(scratch_, data_, all);
  }

  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");
};

TEST_F(CliSearchTest, PrintsOneLinePerMatchOfTheReceiveBox) {
  const CliResult result = Search({"会議"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "受信.lp\t0\t2024/01/02 03:04:05\t山田 <yamada@example.jp>\tテスト送信\n");
}

TEST_F(CliSearchTest, SearchesEveryBoxWithTheFoldingFlags) {
  const CliResult plain = Search({"--all", "テスト"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, "受信.lp\t0\t2024/01/02 03:04:05\t山田 <yamada@example.jp>\tテスト送信\n");
  const CliResult folded = Search({"--all", "テスト", "--fold", "width"});
  // In the order of the box list.
  EXPECT_EQ(folded.out,
            "仕事.lp/案件.lp\t0\t2024/01/02 03:04:05\tb@example.jp\t見積\n"
            "受信.lp\t0\t2024/01/02 03:04:05\t山田 <yamada@example.jp>\tテスト送信\n");
}

TEST_F(CliSearchTest, FieldStatusAndLabelNarrowTheSearch) {
  EXPECT_EQ(Search({"会議", "--field", "subject"}).status, 1);
  // An empty text lists every mail that passes the filters.
  const auto first_columns = [](const CliResult& result) { return result.out.substr(0, result.out.find("\t2024")); };
  EXPECT_EQ(first_columns(Search({"受信.lp", "", "--status", "1"})), "受信.lp\t1");
  EXPECT_EQ(first_columns(Search({"", "--label", "2"})), "受信.lp\t1");
  EXPECT_EQ(first_columns(Search({"", "--label", "0"})), "受信.lp\t0");
}

TEST_F(CliSearchTest, RegularExpressionsWorkOnWholeCharacters) {
  EXPECT_EQ(Search({"--all", "^テ.ト", "--regex", "--field", "subject"}).status, 0);
  const CliResult bad = Search({"(", "--regex"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("正規表現が正しくありません"), std::string::npos);
}

// A pattern that reaches PCRE2's limits on a mail: the mail is named as
// not searched and the exit status is 3, never 1 "nothing matched".
TEST_F(CliSearchTest, MailsARegexCouldNotSearchAreNamedWithTheirOwnExitStatus) {
  const std::string body = std::string(5000, 'a') + "\r\nb\r\n";
  MakeBox("長文.lp", {{"c@example.jp", "long", body.c_str()}, {"d@example.jp", "aab", "short\r\n"}});
  for (const std::vector<std::string>& box : {std::vector<std::string>{"長文.lp"}, std::vector<std::string>{"--all"}}) {
    std::vector<std::string> args = box;
    args.insert(args.end(), {"(a+)+b", "--regex"});
    const CliResult result = Search(args);
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_EQ(result.out, "長文.lp\t1\t2024/01/02 03:04:05\td@example.jp\taab\n");
    EXPECT_NE(result.err.find("検索できなかったメール: 長文.lp 0"), std::string::npos) << result.err;
  }
}

TEST_F(CliSearchTest, NothingMatchedExitsWithOne) {
  const CliResult result = Search({"--all", "存在しない語"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(Search({"--fold", "sideways", "x"}).status, 2);
}

}  // namespace
}  // namespace lp
