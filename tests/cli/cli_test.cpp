#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

using testing::CliResult;
using testing::RunCli;

const auto& Quote = testing::ShellQuote;

class CliTest : public ::testing::Test {
 protected:
  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");

  // Writes a box through the store, as the program would have left it.
  void MakeBox(const std::string& name_utf8, const std::vector<std::pair<CMail, std::string>>& mails) {
    ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
    Profile profile(FromNativePath(data_ + "/lpost.conf"));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc doc(profile, ui, commands);
    std::string path = FromNativePath(data_ + "/" + name_utf8);
    WriteFileBytes(data_ + "/" + name_utf8, "");
    ASSERT_TRUE(doc.Open(path).ok);
    for (const auto& [mail, text] : mails) {
      doc.Add(std::make_unique<CMail>(mail));
      ASSERT_TRUE(doc.StoreTextOfLast(Utf8ToCp932(text)));
    }
    ASSERT_TRUE(doc.Save().ok);
  }

  static CMail Mail(const std::string& from_utf8, const std::string& subject_utf8, std::int32_t date, int status,
                    int label) {
    CMail mail;
    mail.from = Utf8ToCp932(from_utf8);
    mail.subject = Utf8ToCp932(subject_utf8);
    mail.date = date;
    mail.status = status;
    mail.label = label;
    return mail;
  }
};

TEST_F(CliTest, InitCreatesTheFixedBoxesSilently) {
  CliResult result = RunCli(scratch_, data_, {"init"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  for (const char* name : {"lpost.conf", "受信.lp", "送信.lp", "ごみ箱.lp", "下書き.lp", "Upload", "Attach", "Template"}) {
    EXPECT_EQ(::access((data_ + "/" + name).c_str(), F_OK), 0) << name;
  }
}

TEST_F(CliTest, ListPrintsOneTabSeparatedLinePerMail) {
  // 2024-01-02 03:04:05 in Japan is 2024-01-01 18:04:05 UTC.
  MakeBox("受信.lp", {{Mail("山田 <yamada@example.jp>", "会議の件", 1704132245, 1, 3), "Subject: x\r\n\r\nbody"},
                     {Mail("a@b\tc", "two\ttabs", 0, 0, 0), "x"}});
  CliResult result = RunCli(scratch_, data_, {"list"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "0\t1\t3\t2024/01/02 03:04:05\t山田 <yamada@example.jp>\t会議の件\n"
            "1\t0\t0\t1970/01/01 09:00:00\ta@b c\ttwo tabs\n");
}

TEST_F(CliTest, ShowPrintsTheDisplayText) {
  const std::string text =
      "+OK\r\nReceived: from x\r\nSubject: 件名\r\nFrom: a@b\r\nX-Mailer: m\r\n\r\n本文一行目\r\n二行目";
  MakeBox("フォルダ.lp", {{Mail("a@b", "件名", 0, 1, 0), text}});

  CliResult shown = RunCli(scratch_, data_, {"show", "フォルダ.lp", "0"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, "Subject: 件名\r\nFrom: a@b\r\n\r\n本文一行目\r\n二行目");

  CliResult all = RunCli(scratch_, data_, {"show", "フォルダ.lp", "0", "--header-mode", "1", "--sjis"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out, Utf8ToCp932(text));

  CliResult limited = RunCli(scratch_, data_, {"show", "フォルダ.lp", "0", "--header-mode", "2", "--line-limit", "1"});
  ASSERT_EQ(limited.status, 0) << limited.err;
  EXPECT_EQ(limited.out, "\r\n本文一行目\r\n二行目");
}

// What most senders write today: a text and an HTML version, or HTML only
// with an attachment; both shown as text, the source on request.
TEST_F(CliTest, ShowGivesHtmlMailAsTextAndItsSourceOnRequest) {
  ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
  const std::string spool =
      "+OK\r\nFrom: a@b\r\nSubject: alt\r\nContent-Type: multipart/alternative; boundary=\"B\"\r\n\r\n"
      "This is a multi-part message in MIME format.\r\n--B\r\nContent-Type: text/plain; charset=utf-8\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n\r\n=E5=B1=B1=E7=94=B0=E6=A7=98\r\n\r\nplain text\r\n"
      "--B\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<html><body><p>html text</p></body></html>\r\n"
      "--B--\r\n.\r\n"
      "+OK\r\nFrom: a@b\r\nSubject: html\r\nContent-Type: multipart/mixed; boundary=\"M\"\r\n\r\n"
      "--M\r\nContent-Type: text/html; charset=us-ascii\r\nContent-Transfer-Encoding: base64\r\n\r\n"
      // stored as decoded, without a line break after it:
      // <html><p>Hello &amp; <a href="http://e.jp/">welcome</a></p></html>
      "PGh0bWw+PHA+SGVsbG8gJmFtcDsgPGEgaHJlZj0iaHR0cDovL2UuanAvIj53ZWxjb21lPC9hPjwvcD48L2h0bWw+\r\n"
      "--M\r\nContent-Type: text/plain; name=\"a.txt\"\r\nContent-Disposition: attachment; filename=\"a.txt\"\r\n"
      "\r\nx\r\n--M--\r\n.\r\n";
  WriteFileBytes(scratch_.File("spool.log"), spool);
  ASSERT_EQ(RunCli(scratch_, data_, {"analyse", scratch_.File("spool.log")}).out, "2\n");

  CliResult alternative = RunCli(scratch_, data_, {"show", "0"});
  ASSERT_EQ(alternative.status, 0) << alternative.err;
  EXPECT_EQ(alternative.out, "From: a@b\r\nSubject: alt\r\n\r\n山田様\r\n\r\nplain text");
  CliResult html = RunCli(scratch_, data_, {"show", "1", "--header-mode", "2"});
  EXPECT_EQ(html.out, "\r\nHello & welcome <http://e.jp/>\r\n\r\n★添付ファイル a.txt を受信しました\r\n");

  CliResult source = RunCli(scratch_, data_, {"show", "1", "--header-mode", "2", "--source"});
  EXPECT_EQ(source.out, "\r\n<html><p>Hello &amp; <a href=\"http://e.jp/\">welcome</a></p></html>"
                        "★添付ファイル a.txt を受信しました\r\n");
}

// Outgoing mail is stored without a header: its first paragraph is text.
TEST_F(CliTest, ShowPrintsAnOutgoingMailWhole) {
  MakeBox("送信.lp", {{Mail("me@x", "s", 0, 3, 0), "山田様\r\n\r\nお世話になります。"}});
  CliResult shown = RunCli(scratch_, data_, {"show", "送信.lp", "0"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, "山田様\r\n\r\nお世話になります。");
}

TEST_F(CliTest, FailuresExitNonZeroWithAMessage) {
  MakeBox("受信.lp", {{Mail("a@b", "s", 0, 1, 0), "text"}});
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"show", "1"}, 1},                        // no such mail
      {{"show", "-1"}, 1},
      {{"show", "x"}, 1},
      {{"show"}, 2},                             // index missing
      {{"show", "0", "--header-mode", "3"}, 2},
      {{"show", "0", "--line-limit"}, 2},        // value missing
      {{"list", "存在しない.lp"}, 1},
      {{"frobnicate"}, 2},
      {{}, 2},
  };
  for (const Case& c : cases) {
    CliResult result = RunCli(scratch_, data_, c.args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(result.status, c.status) << joined;
    EXPECT_FALSE(result.err.empty()) << joined;
    EXPECT_EQ(result.out, "") << joined;
  }
}

TEST_F(CliTest, BrokenIndexFilesAreReportedAndLeftAlone) {
  ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
  const std::string broken[] = {
      std::string("\x01\x00\xFF\xFF\x01\x00\x05\x00" "CNote", 13),              // foreign class
      std::string("\x01\x00\xFF\xFF\x02\x00\x05\x00" "CMail", 13),              // foreign schema
      std::string("\x01\x00\xFF\xFF\x01\x00\x05\x00" "CMail\x64\x00\x05" "ab", 16),  // truncated record
      std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6),                              // impossible count
      std::string("\x07", 1),
  };
  for (const std::string& bytes : broken) {
    WriteFileBytes(data_ + "/受信.lp", bytes);
    CliResult result = RunCli(scratch_, data_, {"list"});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(ReadFileBytes(data_ + "/受信.lp"), bytes);
  }
}

TEST_F(CliTest, MissingTextFileIsAMessageNotACrash) {
  MakeBox("受信.lp", {{Mail("a@b", "s", 0, 1, 0), "text"}});
  ASSERT_EQ(std::remove((data_ + "/受信.mb").c_str()), 0);
  CliResult result = RunCli(scratch_, data_, {"show", "0"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("Err:"), std::string::npos);
}


TEST_F(CliTest, AnalyseStoresTheSpoolsMailsAndLeavesTheSpool) {
  ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
  const std::string spool =
      "+OK 120 octets\r\n"
      "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
      "Subject: =?UTF-8?B?5Lya6K2w44Gu5Lu2?=\r\n"
      "Date: Tue, 02 Jan 2024 03:04:05 +0900\r\n"
      "\r\n"
      "\x1b$B$3$s$K$A$O\x1b(B\r\n"
      ".\r\n";
  WriteFileBytes(scratch_.File("inbox spool.log"), spool);

  // The spool path is relative to where the program was started.
  std::string command = "cd " + Quote(scratch_.path()) + " && TZ=Asia/Tokyo " + Quote(LP_CLI_PATH) +
                        " --data-dir " + Quote(data_) + " analyse 'inbox spool.log' > out 2> err";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(scratch_.File("err"));
  EXPECT_EQ(ReadFileBytes(scratch_.File("out")), "1\n");
  EXPECT_EQ(ReadFileBytes(scratch_.File("inbox spool.log")), spool);

  CliResult listed = RunCli(scratch_, data_, {"list"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, "0\t1\t0\t2024/01/02 03:04:05\t山田 <yamada@example.jp>\t会議の件\n");
  CliResult shown = RunCli(scratch_, data_, {"show", "0", "--header-mode", "2"});
  EXPECT_EQ(shown.out, "\r\nこんにちは");

  CliResult empty = RunCli(scratch_, data_, {"analyse", scratch_.File("missing.log")});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("解析に失敗しました"), std::string::npos);
}

// The Subject is an encoded word holding "a ESC]0;pwned BEL b ESC[2J c U+0085 d";
// the base64 body holds the same sequences, a TAB and a DEL.
TEST_F(CliTest, ControlCharactersFromMailNeverReachTheTerminal) {
  ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
  const std::string spool = std::string(LP_TEST_DATA_DIR) + "/cli/escape_sequences_in_subject_and_body.log";
  ASSERT_EQ(RunCli(scratch_, data_, {"analyse", spool}).status, 0);
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  // U+0085 has no Shift_JIS form: the store already holds "?" for it.
  const std::string subject = "a" + r + "]0;pwned" + r + "b" + r + "[2Jc?d";

  CliResult listed = RunCli(scratch_, data_, {"list"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, "0\t1\t0\t1970/01/01 09:00:00\ta@b\t" + subject + "\n");

  CliResult shown = RunCli(scratch_, data_, {"show", "0"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, "From: a@b\r\nSubject: " + subject + "\r\n\r\nline1" + r + "]0;pwned" + r + "\r\n\tx" + r + "[2J" + r);

  CliResult raw = RunCli(scratch_, data_, {"show", "0", "--sjis"});
  ASSERT_EQ(raw.status, 0) << raw.err;
  EXPECT_EQ(raw.out, "From: a@b\r\nSubject: a?]0;pwned?b?[2Jc?d\r\n\r\nline1?]0;pwned?\r\n\tx?[2J?");
}

TEST_F(CliTest, HtmlWritesThePageAndAnswersTheWarningsByFlag) {
  MakeBox("受信.lp", {{Mail("a@b", "s", 0, 1, 0), "Subject: s\r\n\r\nsee http://example.jp/a?b=c now <b>"},
                     {Mail("a@b", "h", 0, 1, 0), "Subject: h\r\n\r\n<HTML><BODY>hi</BODY></HTML>"}});
  const std::string page = data_ + "/Attach/lpost.html";

  CliResult plain = RunCli(scratch_, data_, {"html", "0"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out, page + "\n");
  std::string written = ReadFileBytes(page);
  EXPECT_NE(written.find("<A HREF=\"http://example.jp/a?b=c\">http://example.jp/a?b=c</A>"), std::string::npos);
  EXPECT_NE(written.find("&lt;b&gt;"), std::string::npos);

  CliResult declined = RunCli(scratch_, data_, {"html", "1"});
  EXPECT_EQ(declined.status, 1);
  EXPECT_EQ(declined.out, "");
  EXPECT_NE(declined.err.find("HTMLメールです"), std::string::npos);

  CliResult accepted = RunCli(scratch_, data_, {"html", "受信.lp", "1", "--yes"});
  ASSERT_EQ(accepted.status, 0) << accepted.err;
  EXPECT_EQ(accepted.out, page + "\n");
  EXPECT_EQ(ReadFileBytes(page),
            "<HTML><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\"><BODY>hi</BODY></HTML>\r\n");
}

TEST_F(CliTest, BoxesListsEveryBoxAndFolderSorted) {
  ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
  ASSERT_EQ(::mkdir((data_ + "/仕事.lp").c_str(), 0777), 0);
  WriteFileBytes(data_ + "/仕事/not-a-folder", "");
  WriteFileBytes(data_ + "/仕事.lp/表計算.lp", "");
  WriteFileBytes(data_ + "/notes.txt", "");
  CliResult result = RunCli(scratch_, data_, {"boxes"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < result.out.size();) {
    std::size_t end = result.out.find('\n', start);
    lines.push_back(result.out.substr(start, end - start));
    start = end + 1;
  }
  const std::vector<std::string> expected_present = {data_ + "/受信.lp", data_ + "/仕事.lp/",
                                                     data_ + "/仕事.lp/表計算.lp", data_ + "/下書き.lp"};
  for (const auto& path : expected_present) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), path), lines.end()) << path << "\n" << result.out;
  }
  EXPECT_EQ(result.out.find("notes.txt"), std::string::npos);
  EXPECT_EQ(lines.size(), 6u) << result.out;  // four fixed boxes, the folder and its box
}

TEST_F(CliTest, SortReordersAndSavesTheBox) {
  MakeBox("受信.lp", {{Mail("c@x", "3", 300, 1, 0), "c"}, {Mail("a@x", "1", 100, 1, 0), "a"},
                     {Mail("b@x", "2", 200, 1, 0), "b"}});
  CliResult sorted = RunCli(scratch_, data_, {"sort", "受信.lp", "from"});
  ASSERT_EQ(sorted.status, 0) << sorted.err;
  CliResult listed = RunCli(scratch_, data_, {"list"});
  EXPECT_EQ(listed.out.substr(0, listed.out.find('\n')), "0\t1\t0\t1970/01/01 09:01:40\ta@x\t1");
  CliResult shown = RunCli(scratch_, data_, {"show", "2", "--header-mode", "1"});
  EXPECT_EQ(shown.out, "c");

  EXPECT_EQ(RunCli(scratch_, data_, {"sort", "受信.lp", "7"}).status, 2);
  EXPECT_EQ(RunCli(scratch_, data_, {"sort", "受信.lp", "size"}).status, 2);
}

TEST_F(CliTest, MoveAndDeleteRunTheMailListCommandsHeadless) {
  MakeBox("受信.lp", {{Mail("a@x", "first", 100, 1, 0), "text a"}, {Mail("b@x", "second", 200, 0, 0), "text b"}});

  CliResult missing = RunCli(scratch_, data_, {"move", "受信.lp", "0", "nobox.lp"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("ファイルが開けません - nobox.lp"), std::string::npos);
  EXPECT_NE(::access((data_ + "/nobox.mb").c_str(), F_OK), 0);  // no stray text for a box that is not there

  CliResult moved = RunCli(scratch_, data_, {"move", "受信.lp", "0", "送信.lp"});
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_EQ(RunCli(scratch_, data_, {"show", "送信.lp", "0", "--header-mode", "1"}).out, "text a");
  EXPECT_EQ(RunCli(scratch_, data_, {"list"}).out, "0\t0\t0\t1970/01/01 09:03:20\tb@x\tsecond\n");

  CliResult cancelled = RunCli(scratch_, data_, {"delete", "受信.lp", "0"});
  EXPECT_EQ(cancelled.status, 1);
  EXPECT_NE(cancelled.err.find("メールを削除しますか？ [Cancel]"), std::string::npos);
  EXPECT_EQ(RunCli(scratch_, data_, {"list"}).out, "0\t0\t0\t1970/01/01 09:03:20\tb@x\tsecond\n");

  CliResult deleted = RunCli(scratch_, data_, {"delete", "受信.lp", "0", "--yes"});
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_EQ(RunCli(scratch_, data_, {"list"}).out, "");
  EXPECT_EQ(RunCli(scratch_, data_, {"show", "ごみ箱.lp", "0", "--header-mode", "1"}).out, "text b");
}

// A queued mail lists the user's own file; an imported record may list any
// path. Deleting either mail for good leaves those files alone, while a
// received attachment in the attachment directory goes.
TEST_F(CliTest, DeletingMailForGoodNeverDeletesTheUsersFiles) {
  ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
  {
    Profile profile(FromNativePath(data_ + "/lpost.conf"));
    ASSERT_TRUE(profile.WriteInt("System", "Trash", 0));
    ASSERT_TRUE(profile.WriteInt("System", "RemoveAttach", 2));
  }
  const std::string user_file = scratch_.File("plan.pdf");
  const std::string received = data_ + "/Attach/received.bin";
  WriteFileBytes(user_file, "the user's plan");
  WriteFileBytes(received, "saved from mail");
  CMail imported = Mail("a@x", "imported", 100, 1, 0);
  imported.attachments = FromNativePath(user_file);
  CMail own = Mail("b@x", "own", 200, 1, 0);
  own.attachments = FromNativePath(received);
  MakeBox("other.lp", {{imported, "text a"}, {own, "text b"}});

  ASSERT_EQ(RunCli(scratch_, data_, {"import", "受信.lp", data_ + "/other.lp"}).status, 0);
  ASSERT_EQ(RunCli(scratch_, data_,
                   {"compose", "--to", "a@example.jp", "--subject", "s", "--body", "b", "--attach", user_file})
                .status,
            0);
  for (const char* box : {"送信.lp", "受信.lp", "受信.lp"}) {
    CliResult deleted = RunCli(scratch_, data_, {"delete", box, "0", "--yes"});
    ASSERT_EQ(deleted.status, 0) << box << deleted.err;
  }
  EXPECT_EQ(RunCli(scratch_, data_, {"list", "送信.lp"}).out, "");
  EXPECT_EQ(RunCli(scratch_, data_, {"list"}).out, "");
  EXPECT_EQ(ReadFileBytes(user_file), "the user's plan");
  EXPECT_NE(::access(received.c_str(), F_OK), 0);
}

TEST_F(CliTest, CompactCheckAndImportKeepEveryMailReadable) {
  MakeBox("受信.lp", {{Mail("a@x", "a", 100, 1, 0), "+OK\r\nSubject: a\r\n\r\nbody a"},
                     {Mail("b@x", "b", 200, 1, 0), "+OK\r\nSubject: b\r\n\r\nbody b"}});
  ASSERT_EQ(RunCli(scratch_, data_, {"delete", "受信.lp", "0", "--yes"}).status, 0);  // leaves dead space

  CliResult compacted = RunCli(scratch_, data_, {"compact", "受信.lp"});
  ASSERT_EQ(compacted.status, 0) << compacted.err;
  const std::string block = "+OK\r\nSubject: b\r\n\r\nbody b\r\n.\r\n";
  EXPECT_EQ(ReadFileBytes(data_ + "/受信.mb"), block);
  EXPECT_EQ(RunCli(scratch_, data_, {"show", "0", "--header-mode", "2"}).out, "\r\nbody b");

  // Import the trash box's file twice: its mail arrives once.
  CliResult imported = RunCli(scratch_, data_, {"import", "受信.lp", data_ + "/ごみ箱.lp"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  ASSERT_EQ(RunCli(scratch_, data_, {"import", "受信.lp", data_ + "/ごみ箱.lp"}).status, 0);
  CliResult listed = RunCli(scratch_, data_, {"list"});
  EXPECT_EQ(listed.out, "0\t1\t0\t1970/01/01 09:03:20\tb@x\tb\n1\t1\t0\t1970/01/01 09:01:40\ta@x\ta\n");
  EXPECT_EQ(RunCli(scratch_, data_, {"show", "1", "--header-mode", "2"}).out, "\r\nbody a");

  CliResult checked = RunCli(scratch_, data_, {"check", "受信.lp"});
  EXPECT_EQ(checked.status, 0) << checked.err;
  EXPECT_EQ(RunCli(scratch_, data_, {"import", "受信.lp", "nothing.lp"}).status, 1);
}

}  // namespace
}  // namespace lp
