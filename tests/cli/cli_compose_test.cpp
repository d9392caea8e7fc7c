#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_directory.h"

// The compose command queues a mail in the send box as the compose
// window's send button does.

namespace lp {
namespace {

using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

class CliComposeTest : public ::testing::Test {
 protected:
  // Entered, so that file arguments are relative to it.
  TempDirectory scratch_{true};
  std::string data_ = scratch_.File("data");

  void SetUp() override {
    ASSERT_TRUE(MakeDirectory(FromNativePath(data_)));
    WriteFileBytes(data_ + "/lpost.conf",
                   "[Set]\r\nSet00=main\r\n[Set00]\r\nAdr=taro@example.jp\r\nName=Taro\r\nSigne=1\r\n");
    WriteFileBytes(scratch_.File("body.txt"), "こんにちは。\n二行目です。\n");
    WriteFileBytes(scratch_.File("plan.pdf"), "%PDF");
  }

  // The records of the send box and their texts.
  struct Box {
    std::vector<CMail> records;
    std::vector<std::string> texts;
  };
  Box SendBox() {
    Profile profile(data_ + "/lpost.conf");
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc doc(profile, ui, commands);
    Box box;
    if (!doc.Open(FromNativePath(data_ + "/送信.lp")).ok) return box;
    for (int i = 0; i < doc.Count(); ++i) {
      const CMail& record = *doc.RecordAt(i);
      box.records.push_back(record);
      box.texts.push_back(doc.ReadText(record.text_start, record.text_end).text);
    }
    return box;
  }
};

TEST_F(CliComposeTest, StoresAnUnsentMailWithJapaneseFields) {
  const std::time_t before = std::time(nullptr);
  auto result = RunCli(scratch_, data_,
                       {"compose", "--to", "花子 <hanako@example.jp>", "--cc", "jiro@example.com", "--bcc",
                        "boss@example.jp", "--subject", "会議の件", "--body-file", "body.txt", "--attach", "plan.pdf"});
  ASSERT_EQ(result.status, 0) << result.err;
  const Box box = SendBox();
  ASSERT_EQ(box.records.size(), 1u);
  const CMail& mail = box.records[0];
  EXPECT_EQ(mail.to, "\x89\xD4\x8E\x71 <hanako@example.jp>");  // 花子
  EXPECT_EQ(mail.cc, "jiro@example.com");
  EXPECT_EQ(mail.bcc, "boss@example.jp");
  EXPECT_EQ(mail.subject, "\x89\xEF\x8B\x63\x82\xCC\x8C\x8F");  // 会議の件
  EXPECT_EQ(mail.from, "Taro <taro@example.jp>");
  EXPECT_EQ(mail.status, kStatusUnsent);
  EXPECT_EQ(mail.signature, 1);
  EXPECT_EQ(mail.attachments, FromNativePath(scratch_.File("plan.pdf")));
  EXPECT_GE(mail.date, before);
  EXPECT_LE(mail.date, std::time(nullptr));
  // こんにちは。 / 二行目です。 with CR LF line ends
  EXPECT_EQ(box.texts[0],
            "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81\x42\r\n\x93\xF1\x8D\x73\x96\xDA\x82\xC5\x82\xB7\x81\x42\r\n");
}

TEST_F(CliComposeTest, BodyTextSignatureAndLineBreaksInFields) {
  auto result = RunCli(scratch_, data_,
                       {"compose", "--to", "a@example.jp\r\nBcc: x@example.jp", "--subject", "two\nlines", "--body",
                        "one\ntwo", "--signature", "0"});
  ASSERT_EQ(result.status, 0) << result.err;
  const Box box = SendBox();
  ASSERT_EQ(box.records.size(), 1u);
  EXPECT_EQ(box.records[0].to, "a@example.jpBcc: x@example.jp");
  EXPECT_EQ(box.records[0].subject, "twolines");
  EXPECT_EQ(box.records[0].signature, 0);
  EXPECT_EQ(box.texts[0], "one\r\ntwo");
}

TEST_F(CliComposeTest, BadArgumentsExitWithTwoAndStoreNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"compose", "--subject", "s", "--body", "b"},
      {"compose", "--to", "a@example.jp", "--body", "b"},
      {"compose", "--to", "a@example.jp", "--subject", "s"},
      {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--body-file", "body.txt"},
      {"compose", "--to", "a@example.jp", "--subject", "s", "--body-file", "missing.txt"},
      {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--attach", "missing.pdf"},
      {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--signature", "99"},
      {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--signature", "-1"},
      {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--account", "3"},
      {"compose", "extra", "--to", "a@example.jp", "--subject", "s", "--body", "b"},
      {"compose", "--to"},
  };
  for (const auto& args : cases) {
    auto result = RunCli(scratch_, data_, args);
    EXPECT_EQ(result.status, 2) << args.back() << ": " << result.err;
    EXPECT_FALSE(result.err.empty());
  }
  EXPECT_TRUE(SendBox().records.empty());
}

TEST_F(CliComposeTest, SendWithNothingQueuedSaysSo) {
  auto result = RunCli(scratch_, data_, {"send"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("送信するメールがありません"), std::string::npos) << result.err;
}

TEST_F(CliComposeTest, SendToALanDirectoryMarksTheMailSent) {
  const std::string lan = scratch_.File("lan");
  ASSERT_TRUE(MakeDirectory(FromNativePath(lan)));
  ASSERT_EQ(RunCli(scratch_, data_, {"compose", "--to", lan, "--subject", "件名", "--body", "本文"}).status, 0);
  auto result = RunCli(scratch_, data_, {"send"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("メールの送信が終わりました"), std::string::npos) << result.err;
  const Box box = SendBox();
  ASSERT_EQ(box.records.size(), 1u);
  EXPECT_EQ(box.records[0].status, kStatusSent);
  EXPECT_NE(testing::ReadFileBytes(lan + "/inbox.log").find("Subject: \x8C\x8F\x96\xBC\r\n"), std::string::npos);
}

// An address with a separator before its "@" is a mail address, never a
// directory; a LAN directory that is not there fails the run, and the mail
// waits for the next one.
TEST_F(CliComposeTest, SendDecidesBetweenMailAddressAndLanDirectory) {
  ASSERT_TRUE(MakeDirectory(FromNativePath(data_ + "/sales")));
  struct Case {
    std::string to;
    std::string error;
  };
  const Case cases[] = {
      {scratch_.File("no-such-lan"), "LANメール送信先が開けません\n\n" + scratch_.File("no-such-lan")},
      {"sales/jp@example.co.jp", "Err:SMTPサーバに接続できません"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(RunCli(scratch_, data_, {"compose", "--to", c.to, "--subject", "s", "--body", "b"}).status, 0);
    auto result = RunCli(scratch_, data_, {"send"});
    EXPECT_EQ(result.status, 1) << c.to << result.err;
    EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("メールの送信が終わりました"), std::string::npos) << result.err;
    EXPECT_FALSE(PathExists(FromNativePath(data_ + "/sales/inbox.log")));
    const Box box = SendBox();
    ASSERT_FALSE(box.records.empty());
    EXPECT_EQ(box.records.back().status, kStatusUnsent) << c.to;
  }
}

TEST_F(CliComposeTest, SendWithoutAServerKeepsTheMailUnsent) {
  ASSERT_EQ(RunCli(scratch_, data_, {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b"}).status, 0);
  auto result = RunCli(scratch_, data_, {"send"});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_NE(result.err.find("Err:SMTPサーバに接続できません"), std::string::npos) << result.err;
  const Box box = SendBox();
  ASSERT_EQ(box.records.size(), 1u);
  EXPECT_EQ(box.records[0].status, kStatusUnsent);
}

// A patrol sends the send box with its first target before it receives:
// a mail for the data directory's own LAN spool goes out and comes back in.
TEST_F(CliComposeTest, PatrolSendsFirstThenReceives) {
  ASSERT_EQ(RunCli(scratch_, data_, {"compose", "--to", data_, "--subject", "巡回", "--body", "本文"}).status, 0);
  auto patrol = RunCli(scratch_, data_, {"patrol"});
  ASSERT_EQ(patrol.status, 0) << patrol.err;
  EXPECT_NE(patrol.err.find("新しいメールが 1通 到着しました"), std::string::npos) << patrol.err;
  Box sent = SendBox();
  ASSERT_EQ(sent.records.size(), 1u);
  EXPECT_EQ(sent.records[0].status, 4);
  auto listed = RunCli(scratch_, data_, {"list"});
  EXPECT_NE(listed.out.find("\t巡回\n"), std::string::npos) << listed.out;
}

// Send and receive: an ordinary account sends, then receives; one that
// receives first (POP before SMTP) receives, then sends, and the arrival
// message comes once, after the send.
TEST_F(CliComposeTest, SendAndReceiveFollowsTheAccountsOrder) {
  ASSERT_EQ(RunCli(scratch_, data_, {"compose", "--to", data_, "--subject", "往路", "--body", "本文"}).status, 0);
  auto send_first = RunCli(scratch_, data_, {"sendrecv"});
  ASSERT_EQ(send_first.status, 0) << send_first.err;
  EXPECT_NE(send_first.err.find("新しいメールが 1通 到着しました"), std::string::npos) << send_first.err;

  WriteFileBytes(data_ + "/lpost.conf", testing::ReadFileBytes(data_ + "/lpost.conf") + "[Set00]\r\nPopBefore=1\r\n");
  ASSERT_EQ(RunCli(scratch_, data_, {"compose", "--to", data_, "--subject", "復路", "--body", "本文"}).status, 0);
  auto receive_first = RunCli(scratch_, data_, {"sendrecv"});
  ASSERT_EQ(receive_first.status, 0) << receive_first.err;
  EXPECT_NE(receive_first.err.find("新しいメールはありません"), std::string::npos) << receive_first.err;
  Box sent = SendBox();
  ASSERT_EQ(sent.records.size(), 2u);
  EXPECT_EQ(sent.records[1].status, 4);
  // Its LAN copy waits in the spool for the next receive.
  auto next = RunCli(scratch_, data_, {"lan"});
  EXPECT_NE(next.err.find("新しいメールが 1通 到着しました"), std::string::npos) << next.err;
}

}  // namespace
}  // namespace lp
