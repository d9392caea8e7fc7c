#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/apop_digest.h"
#include "net/fetched_uid_journal.h"
#include "net/receive_log.h"
#include "net/top_checks.h"
#include "net/uidl_lists.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

TEST(ApopDigest, Md5OfStampAndPasswordInLowerCaseHex) {
  EXPECT_EQ(ExtractApopStamp("+OK POP3 server ready <1896.697170952@dbc.mit.edu>"),
            "<1896.697170952@dbc.mit.edu>");
  EXPECT_EQ(ExtractApopStamp("+OK ready"), "");
  EXPECT_EQ(ExtractApopStamp("+OK <unclosed"), "");
  // Digest values from an independent MD5 implementation.
  EXPECT_EQ(ApopDigest("<1896.697170952@dbc.mit.edu>", "tanstaaf"), "b8282ceea143d14e379abefc8fb0eb8a");
  EXPECT_EQ(ApopDigest("", ""), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(UidlLists, ParsesCountedLinesOnly) {
  const std::string list = "+OK\r\n1 abc\r\n2 d:e f\r\nnot counted\r\n3 ghi\n.\r\n";
  EXPECT_EQ(ParseUidlList(list), (std::vector<std::string>{"abc", "d:e f", "ghi"}));
  EXPECT_EQ(NewUidPositions({"abc", "ghi"}, ParseUidlList(list)), std::vector<int>{2});
  EXPECT_EQ(NewUidPositions({}, {"x", "y"}), (std::vector<int>{1, 2}));
  EXPECT_EQ(ReceivedUidLine(12, "uid-12"), "12 uid-12\n");
}

TEST(UidlLists, WellFormedMeansRfcBoundedUids) {
  struct Case {
    std::string list;
    bool well_formed;
  };
  const std::vector<Case> cases = {
      {"+OK\r\n1 abc\r\n.\r\n", true},
      {"+OK\r\n1 " + std::string(70, 'a') + "\r\n.\r\n", true},
      {"+OK\r\n1 " + std::string(71, 'a') + "\r\n.\r\n", false},
      {"+OK\r\n1\r\n.\r\n", false},
      {"+OK\r\n1 a b\r\n.\r\n", false},
      {"+OK\r\n1 a\x01\r\n.\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(UidlListIsWellFormed(c.list), c.well_formed);
  }
}

TEST(TopChecks, MessageIdAndInlineFrames) {
  const std::string top =
      "+OK\r\nSubject: x\r\nMessage-ID:  <abc@example.jp> \r\nMessage-Id: <second@x>\r\n\r\nMessage-Id: <body>\r\n.\r\n";
  EXPECT_EQ(FirstMessageId(top), "<abc@example.jp>");
  EXPECT_EQ(FirstMessageId("+OK\r\nSubject: x\r\n\r\n.\r\n"), "");

  struct Case {
    std::string top;
    bool iframe;
  };
  const std::vector<Case> cases = {
      {"+OK\r\nContent-Type: multipart/alternative;\r\n\r\n<IFRAME src=x>\r\n.\r\n", true},
      {"+OK\r\ncontent-type: Multipart/Alternative;\r\n\r\n<iframe src=x>\r\n.\r\n", true},
      {"+OK\r\nContent-Type: multipart/mixed;\r\n\r\n<IFRAME src=x>\r\n.\r\n", false},
      {"+OK\r\nContent-Type: multipart/alternative;\r\n\r\n<IFRAMEX>\r\n.\r\n", false},
      {"+OK\r\nSubject: <IFRAME x>\r\nContent-Type: multipart/alternative;\r\n\r\n.\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.top);
    EXPECT_EQ(HasInlineFrame(c.top), c.iframe);
  }
}

TEST(TopChecks, SummaryDecodesHeadersAndKeepsAHundredLines) {
  std::string top = "+OK\r\nFrom: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <y@example.jp>\r\nTo: a@example.jp\r\n"
                    "Subject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?=\r\n\r\n";
  for (int i = 0; i < 120; ++i) top += (i == 0 ? "..dot\r\n" : "line\r\n");
  top += ".\r\n";
  const MailSummary summary = SummariseTop(top, 7);
  EXPECT_EQ(summary.number, 7);
  EXPECT_EQ(summary.from, "\x8E\x52\x93\x63 <y@example.jp>");  // 山田
  EXPECT_EQ(summary.to, "a@example.jp");
  EXPECT_EQ(summary.subject, "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD");  // こんにちは
  EXPECT_EQ(summary.body.rfind(".dot\r\n", 0), 0u);
  std::size_t lines = 0;
  for (std::size_t at = summary.body.find("\r\n"); at != std::string::npos; at = summary.body.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 100u);
}

TEST(ReceiveLog, MasksThePasswordAndNulBytes) {
  testing::TempDirectory dir(true);
  {
    ReceiveLog log;
    log.Open("rec.log");
    log.Sent("USER alice\r\n");
    log.Sent("PASS top-secret\r\n");
    log.Sent("pass top-secret\r\n");
    log.Received(std::string("+OK a\0b\r\n", 9));
  }
  EXPECT_EQ(testing::ReadFileBytes(dir.File("rec.log")),
            "USER alice\r\nPASS ******\r\nPASS ******\r\n+OK a b\r\n");
  {
    ReceiveLog log;
    log.Open("rec.log");  // each session starts a fresh log
  }
  EXPECT_EQ(testing::ReadFileBytes(dir.File("rec.log")), "");
}

// What a session that died left noted: only messages whole in the spool
// become "received"; a cut-off one, one never begun and a torn last line
// do not.
TEST(FetchedUidJournal, SettlesOnlyMessagesWholeInTheSpool) {
  const std::string m1 = "+OK\r\nSubject: one\r\n\r\nbody\r\n.\r\n";
  const std::string m2 = "+OK\r\nSubject: two\r\n\r\n..dot\r\n.\r\n";
  const std::string cut = "+OK\r\nSubject: three\r\n\r\nhalf";
  const std::string at1 = "0", at2 = std::to_string(m1.size()), at3 = std::to_string(m1.size() + m2.size());
  struct Case {
    const char* name;
    std::string spool;
    std::string journal;
    std::string list_after;  // appended to "old\n"
  };
  const std::vector<Case> cases = {
      {"two whole", m1 + m2, at1 + " 1 u1\n" + at2 + " 2 u2\n", "1 u1\n2 u2\n"},
      {"last cut off", m1 + m2 + cut, at1 + " 1 u1\n" + at2 + " 2 u2\n" + at3 + " 3 u3\n", "1 u1\n2 u2\n"},
      {"last cut off and trimmed", m1 + m2, at1 + " 1 u1\n" + at2 + " 2 u2\n" + at3 + " 3 u3\n", "1 u1\n2 u2\n"},
      {"noted, RETR never answered", m1, at1 + " 1 u1\n" + at2 + " 2 u2\n", "1 u1\n"},
      {"torn last line", m1 + m2, at1 + " 1 u1\n" + at2 + " 2 u", "1 u1\n"},
      {"spool lost", "", at1 + " 1 u1\n", ""},
      {"positions that are not messages", m1 + m2, "5 1 u1\n" + at2 + " 2 u2\n", "2 u2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDirectory dir(true);
    testing::WriteFileBytes(dir.File("inbox.log"), c.spool);
    testing::WriteFileBytes(dir.File("UIDLa.txt"), "old\n");
    const std::string journal = FetchedJournalPathFor("UIDLa.txt");
    testing::WriteFileBytes(dir.File(journal), c.journal);
    EXPECT_EQ(SettleFetchedJournal(journal, "UIDLa.txt", "inbox.log"), SettleResult::Settled);
    EXPECT_EQ(testing::ReadFileBytes(dir.File("UIDLa.txt")), "old\n" + c.list_after);
    EXPECT_FALSE(PathExists(journal));
    EXPECT_EQ(SettleFetchedJournal(journal, "UIDLa.txt", "inbox.log"), SettleResult::Nothing);
  }
}

}  // namespace
}  // namespace lp
