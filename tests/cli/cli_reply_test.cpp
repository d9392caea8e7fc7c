#include <string>
#include <string_view>
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

// The reply and forward commands queue their mail in the send box as the
// compose window's send button does, from received mail analysed into the
// receive box.

namespace lp {
namespace {

using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

// Hanako writes to Taro and Jiro about a meeting (subject, name and body in
// ISO-2022-JP); a list mail asks for replies to the list.
constexpr char kSpool[] =
    "+OK\r\n"
    "From: =?ISO-2022-JP?B?GyRCMlY7UhsoQg==?= <hanako@example.jp>\r\n"
    "To: taro@example.jp, jiro@example.com\r\n"
    "Cc: saburo@example.jp\r\n"
    "Subject: =?ISO-2022-JP?B?GyRCMnE1RCRON28bKEI=?=\r\n"
    "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n"
    "Message-Id: <c@example.jp>\r\n"
    "References: <a@example.jp>\r\n <b@example.jp>\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "GyRCTEBGfD09O34kKyRpJEckOSEjGyhCDQobJEIkaCRtJDckLyEjGyhCDQo=\r\n"
    ".\r\n"
    "+OK\r\n"
    "From: news@example.com\r\n"
    "To: me@example.org\r\n"
    "Reply-To: list@example.com\r\n"
    "Subject: Re: report\r\n"
    "Message-Id: <n@example.com>\r\n"
    "\r\n"
    "weekly report\r\n"
    ".\r\n";

class CliReplyTest : public ::testing::Test {
 protected:
  TempDirectory scratch_{true};
  std::string data_ = scratch_.File("data");

  void SetUp() override {
    ASSERT_TRUE(MakeDirectory(FromNativePath(data_)));
    WriteFileBytes(data_ + "/lpost.conf",
                   "[Set]\r\nSetCount=2\r\nSet00=main\r\nSet01=work\r\n"
                   "[Set00]\r\nAdr=me@example.org\r\nName=Me\r\nSigne=1\r\n"
                   "[Set01]\r\nAdr=taro@example.jp\r\nName=Taro\r\nSigne=2\r\n");
    WriteFileBytes(scratch_.File("spool.log"), kSpool);
    auto analysed = RunCli(scratch_, data_, {"analyse", "spool.log"});
    ASSERT_EQ(analysed.status, 0) << analysed.err;
  }

  struct Box {
    std::vector<CMail> records;
    std::vector<std::string> texts;
  };
  Box Read(std::string_view name) {
    Profile profile(data_ + "/lpost.conf");
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc doc(profile, ui, commands);
    Box box;
    if (!doc.Open(FromNativePath(data_ + "/" + std::string(name))).ok) return box;
    for (int i = 0; i < doc.Count(); ++i) {
      const CMail& record = *doc.RecordAt(i);
      box.records.push_back(record);
      box.texts.push_back(doc.ReadText(record.text_start, record.text_end).text);
    }
    return box;
  }

  // Every line of `quoted` starts with the mark, and the mail's body is there.
  static void ExpectQuotedMeeting(std::string_view quoted) {
    EXPECT_NE(quoted.find(">Subject: " + Sjis("会議の件") + "\r\n"), std::string_view::npos) << quoted;
    EXPECT_NE(quoted.find(">" + Sjis("明日十時からです。") + "\r\n>" + Sjis("よろしく。")), std::string_view::npos)
        << quoted;
    for (std::size_t line = 0; line < quoted.size(); line = quoted.find("\r\n", line) + 2) {
      EXPECT_EQ(quoted[line], '>') << quoted.substr(line);
      if (quoted.find("\r\n", line) == std::string_view::npos) break;
    }
  }
};

TEST_F(CliReplyTest, ReplyQueuesTheTextAboveTheQuoteAndMarksTheMail) {
  auto result = RunCli(scratch_, data_, {"reply", "0", "--body", "了解です。"});
  ASSERT_EQ(result.status, 0) << result.err;
  const Box send = Read("送信.lp");
  ASSERT_EQ(send.records.size(), 1u);
  const CMail& reply = send.records[0];
  EXPECT_EQ(reply.to, Sjis("花子") + " <hanako@example.jp>");
  // Taro was addressed: his account answers, with his signature.
  EXPECT_EQ(reply.from, "Taro <taro@example.jp>");
  EXPECT_EQ(reply.signature, 2);
  EXPECT_EQ(reply.subject, "Re:" + Sjis("会議の件"));
  EXPECT_EQ(reply.cc, "saburo@example.jp");
  EXPECT_EQ(reply.message_id, "<b@example.jp> <c@example.jp>");
  EXPECT_EQ(reply.status, kStatusUnsent);
  const std::string first_line = Sjis("了解です。") + "\r\n";
  ASSERT_EQ(send.texts[0].substr(0, first_line.size()), first_line);
  ExpectQuotedMeeting(std::string_view(send.texts[0]).substr(first_line.size()));

  const Box inbox = Read("受信.lp");
  EXPECT_EQ(inbox.records[0].status, kStatusReplied);
  EXPECT_EQ(inbox.records[1].status, kStatusUnread);
}

TEST_F(CliReplyTest, ReplyToEveryoneFromAChosenAccountAndToAReplyToAddress) {
  ASSERT_EQ(RunCli(scratch_, data_, {"reply", "受信.lp", "0", "--all", "--account", "0"}).status, 0);
  ASSERT_EQ(RunCli(scratch_, data_, {"reply", "1"}).status, 0);
  const Box send = Read("送信.lp");
  ASSERT_EQ(send.records.size(), 2u);
  EXPECT_EQ(send.records[0].from, "Me <me@example.org>");
  EXPECT_EQ(send.records[0].cc, "taro@example.jp, jiro@example.com, saburo@example.jp");
  ExpectQuotedMeeting(send.texts[0]);

  EXPECT_EQ(send.records[1].to, "list@example.com");
  EXPECT_EQ(send.records[1].from, "Me <me@example.org>");
  EXPECT_EQ(send.records[1].subject, "Re[2]: report");
  EXPECT_EQ(send.records[1].message_id, "<n@example.com>");
}

TEST_F(CliReplyTest, ReplyWithoutQuotingWhenReplyAllIsOff) {
  WriteFileBytes(data_ + "/lpost.conf", "[System]\r\nReplyAll=0\r\n");
  ASSERT_EQ(RunCli(scratch_, data_, {"reply", "1", "--body", "thanks"}).status, 0);
  const Box send = Read("送信.lp");
  ASSERT_EQ(send.records.size(), 1u);
  EXPECT_EQ(send.texts[0], "thanks");
}

TEST_F(CliReplyTest, ForwardQuotesTheMailUnderItsSubject) {
  WriteFileBytes(scratch_.File("note.txt"), "ご参考まで。\n");
  auto result = RunCli(scratch_, data_, {"forward", "0", "--to", "部長 <boss@example.jp>", "--body-file", "note.txt"});
  ASSERT_EQ(result.status, 0) << result.err;
  const Box send = Read("送信.lp");
  ASSERT_EQ(send.records.size(), 1u);
  const CMail& forward = send.records[0];
  EXPECT_EQ(forward.to, Sjis("部長") + " <boss@example.jp>");
  EXPECT_EQ(forward.from, "Me <me@example.org>");
  EXPECT_EQ(forward.subject, Sjis("会議の件"));
  EXPECT_EQ(forward.cc, "");
  EXPECT_EQ(forward.message_id, "");
  EXPECT_EQ(forward.status, kStatusUnsent);
  const std::string first_line = Sjis("ご参考まで。") + "\r\n";
  ASSERT_EQ(send.texts[0].substr(0, first_line.size()), first_line);
  ExpectQuotedMeeting(std::string_view(send.texts[0]).substr(first_line.size()));
  EXPECT_EQ(Read("受信.lp").records[0].status, kStatusUnread);
}

TEST_F(CliReplyTest, BadArgumentsStoreNothing) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const std::vector<Case> cases = {
      {{"reply"}, 2},
      {{"reply", "a", "b", "c"}, 2},
      {{"reply", "0", "--body", "x", "--body-file", "note.txt"}, 2},
      {{"reply", "0", "--account", "9"}, 2},
      {{"reply", "0", "--body-file", "missing.txt"}, 2},
      {{"reply", "5"}, 1},
      {{"reply", "none.lp", "0"}, 1},
      {{"forward", "0"}, 2},
      {{"forward", "0", "--to", ""}, 2},
      {{"forward", "0", "--to", "a@example.jp", "--all"}, 2},
      {{"forward", "x", "--to", "a@example.jp"}, 1},
  };
  for (const Case& c : cases) {
    auto result = RunCli(scratch_, data_, c.args);
    EXPECT_EQ(result.status, c.status) << c.args.back() << ": " << result.err;
    EXPECT_FALSE(result.err.empty()) << c.args.back();
  }
  EXPECT_TRUE(Read("送信.lp").records.empty());
  EXPECT_EQ(Read("受信.lp").records[0].status, kStatusUnread);
}

}  // namespace
}  // namespace lp
