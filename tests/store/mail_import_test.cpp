#include "store/mail_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/date_header.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "store/mail_import_names.h"
#include "store/mailbox_document.h"
#include "store/unread_mark.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// Trees as Python's mailbox module writes them: an mbox, a Maildir with a
// Maildir++ subfolder and an MH folder, each with Japanese mail.
constexpr char kMakeTrees[] = R"PY(
import mailbox, os, sys
from email.message import EmailMessage
from email.headerregistry import Address
root = sys.argv[1]

def japanese(n, msgid=True):
    m = EmailMessage()
    m['From'] = '山田 <yamada@example.jp>'
    m['To'] = 'suzuki@example.jp'
    m['Subject'] = '日本語の件名 %d' % n
    m['Date'] = 'Mon, 0%d Jun 2025 10:00:00 +0900' % n
    if msgid:
        m['Message-ID'] = '<m%d@example.jp>' % n
    m.set_content('本文です %d\n.\nFrom here on\nおわり\n' % n, charset='iso-2022-jp')
    return m

os.makedirs(root + '/mbox')
box = mailbox.mbox(root + '/mbox/受信トレイ')
for n in (1, 2, 3):
    msg = mailbox.mboxMessage(japanese(n, msgid=(n != 3)))
    if n == 2:
        msg.set_flags('RO')
    box.add(msg)
box.close()

md = mailbox.Maildir(root + '/maildir', create=True)
new = mailbox.MaildirMessage(japanese(4))
md.add(new)
seen = mailbox.MaildirMessage(japanese(5))
seen.set_subdir('cur')
seen.set_flags('S')
md.add(seen)
sent = md.add_folder('Sent')
sent.add(mailbox.MaildirMessage(japanese(6)))

mh = mailbox.MH(root + '/mh', create=True)
inbox = mh.add_folder('inbox')
for n in (7, 8):
    msg = mailbox.MHMessage(japanese(n))
    if n == 7:
        msg.add_sequence('unseen')
    inbox.add(msg)
)PY";

std::string Sjis(const std::string& utf8) { return Utf8ToCp932(utf8); }

class MailImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = sources_.path();
    WriteFileBytes(sources_.File("make_trees.py"), kMakeTrees);
  }

  void MakePythonTrees() {
    const std::string command = "python3 '" + sources_.File("make_trees.py") + "' '" + sources_.File("py") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  MailImportReport Import(const std::string& native_source, std::optional<MailSourceFormat> format = std::nullopt) {
    MailImportRequest request;
    request.native_source = native_source;
    request.format = format;
    request.destination = "Imported.lp";
    return ImportMail(request, profile_, ui_, nullptr);
  }

  // The box's records, loaded from its files.
  std::unique_ptr<CLPOSTDoc> Box(const std::string& utf8_path) {
    auto box = std::make_unique<CLPOSTDoc>(profile_, ui_, commands_);
    EXPECT_TRUE(box->Open(Sjis(utf8_path)).ok) << utf8_path;
    return box;
  }

  std::string Text(CLPOSTDoc& box, int index) {
    const CMail& mail = *box.RecordAt(index);
    return box.ReadText(mail.text_start, mail.text_end).text;
  }

  testing::TempDirectory data_{true};
  testing::TempDirectory sources_;
  std::string source_;
  Profile profile_{data_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
};

TEST_F(MailImportTest, MboxFromPythonKeepsTextsStatesDatesAndQuotedLines) {
  MakePythonTrees();
  const MailImportReport report = Import(sources_.File("py/mbox"));
  ASSERT_TRUE(report.Complete()) << report.failure;
  ASSERT_EQ(report.boxes.size(), 1u);
  EXPECT_EQ(report.imported, 3);

  auto box = Box("Imported.lp/受信トレイ.lp");
  ASSERT_EQ(box->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const CMail& mail = *box->RecordAt(i);
    EXPECT_EQ(mail.subject, Sjis("日本語の件名 " + std::to_string(i + 1)));
    EXPECT_EQ(mail.from, Sjis("山田 <yamada@example.jp>"));
    // The message's own Date, as the analysis of received mail takes it.
    EXPECT_EQ(mail.date, ParseDateHeader("Date: Mon, 0" + std::to_string(i + 1) + " Jun 2025 10:00:00 +0900"));
    const std::string text = Text(*box, i);
    EXPECT_NE(text.find(Sjis("本文です")), std::string::npos);
    // Python quoted the body's "From " line; the "." line is mail text.
    EXPECT_NE(text.find("\r\nFrom here on\r\n"), std::string::npos);
    EXPECT_EQ(text.find(">From"), std::string::npos);
    EXPECT_NE(text.find("\r\n.\r\n"), std::string::npos);
  }
  EXPECT_EQ(box->RecordAt(0)->message_id, "<m1@example.jp>");
  EXPECT_EQ(box->RecordAt(0)->status, kStatusUnread);
  EXPECT_EQ(box->RecordAt(1)->status, kStatusRead);  // Status: RO
  EXPECT_EQ(box->RecordAt(2)->message_id, "");
  EXPECT_EQ(ReadUnreadMark(profile_, box->PathName()), 1);
  // The work spool is gone, the source untouched.
  EXPECT_FALSE(PathExists(kImportSpool));
}

TEST_F(MailImportTest, MaildirAndMhFromPythonTakeTheirReadStates) {
  MakePythonTrees();
  const MailImportReport maildir = Import(sources_.File("py/maildir"));
  ASSERT_TRUE(maildir.Complete()) << maildir.failure;
  auto inbox = Box("Imported.lp/maildir.lp");
  ASSERT_EQ(inbox->Count(), 2);
  EXPECT_EQ(inbox->RecordAt(0)->status, kStatusUnread);  // new/
  EXPECT_EQ(inbox->RecordAt(1)->status, kStatusRead);    // cur/ with S
  auto sent = Box("Imported.lp/Sent.lp");
  ASSERT_EQ(sent->Count(), 1);
  EXPECT_EQ(sent->RecordAt(0)->subject, Sjis("日本語の件名 6"));

  const MailImportReport mh = Import(sources_.File("py/mh"), MailSourceFormat::Mh);
  ASSERT_TRUE(mh.Complete()) << mh.failure;
  auto folder = Box("Imported.lp/inbox.lp");
  ASSERT_EQ(folder->Count(), 2);
  EXPECT_EQ(folder->RecordAt(0)->status, kStatusUnread);  // in "unseen"
  EXPECT_EQ(folder->RecordAt(1)->status, kStatusRead);
}

TEST_F(MailImportTest, RunningAgainImportsNothingTwice) {
  MakePythonTrees();
  const MailImportReport first = Import(sources_.File("py"));
  ASSERT_TRUE(first.Complete()) << first.failure;
  EXPECT_EQ(first.imported, 8);
  const MailImportReport second = Import(sources_.File("py"));
  ASSERT_TRUE(second.Complete()) << second.failure;
  EXPECT_EQ(second.imported, 0);
  int already = 0;
  for (const ImportedBox& box : second.boxes) already += box.already_there;
  EXPECT_EQ(already, 8);
}

// Seventy To fields before the Message-ID and the Date: the mail is stored
// with both, and a second run finds it there.
TEST_F(MailImportTest, ManyRepeatedFieldsBeforeTheIdentityKeepIt) {
  const std::string message = ReadFileBytes(LP_TEST_DATA_DIR "/import/seventy_to_fields.eml");
  WriteFileBytes(sources_.File("seventy"), "From sender@example.jp Tue Dec  8 13:38:03 2026\n" + message);
  const MailImportReport first = Import(sources_.File("seventy"), MailSourceFormat::Mbox);
  ASSERT_TRUE(first.Complete()) << first.failure;
  EXPECT_EQ(first.imported, 1);
  auto box = Box("Imported.lp/seventy.lp");
  ASSERT_EQ(box->Count(), 1);
  EXPECT_EQ(box->RecordAt(0)->message_id, "<seventy@example.jp>");
  EXPECT_EQ(box->RecordAt(0)->date, ParseDateHeader("Date: Tue, 8 Dec 2026 13:38:03 +0000"));
  EXPECT_EQ(box->RecordAt(0)->subject, "seventy recipients");
  const MailImportReport second = Import(sources_.File("seventy"), MailSourceFormat::Mbox);
  ASSERT_TRUE(second.Complete()) << second.failure;
  EXPECT_EQ(second.imported, 0);
}

// Parts past the attachments one mail may save are named in the report.
TEST_F(MailImportTest, AttachmentsPastTheLimitAreReported) {
  std::string mbox = "From a@example.jp Tue Dec  8 13:38:03 2026\nSubject: parts\n"
                     "Content-Type: multipart/mixed; boundary=b\n\n";
  for (int i = 0; i < 1002; ++i) {
    mbox += "--b\nContent-Type: application/octet-stream; name=\"f" + std::to_string(i) + ".bin\"\n\nx\n";
  }
  mbox += "--b--\n";
  WriteFileBytes(sources_.File("parts"), mbox);
  const MailImportReport report = Import(sources_.File("parts"), MailSourceFormat::Mbox);
  ASSERT_TRUE(report.Complete()) << report.failure;
  ASSERT_EQ(report.boxes.size(), 1u);
  EXPECT_EQ(report.boxes[0].dropped_attachments, 2);
  const std::vector<std::string> lines = ReportLines(report);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      report.boxes[0].box_path + Sjis(": 添付ファイル 2個を保存しませんでした（1通1000個まで）")),
            lines.end());
}

// Thunderbird: CRLF mbox files with ".msf" summaries, subfolders in ".sbd",
// X-Mozilla-Status flags (0x0001 read, 0x0008 deleted), mboxrd quoting.
TEST_F(MailImportTest, ThunderbirdProfileFolders) {
  const std::string tb = sources_.File("tb");
  std::filesystem::create_directories(tb + "/Inbox.sbd");
  WriteFileBytes(tb + "/Inbox",
                 "From - Mon Jun 02 10:00:00 2025\r\n"
                 "X-Mozilla-Status: 0001\r\nMessage-ID: <a@tb>\r\nDate: Mon, 2 Jun 2025 10:00:00 +0900\r\n"
                 "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n\r\n>>From the quoted\r\nbody\r\n\r\n"
                 "From - Mon Jun 02 11:00:00 2025\r\n"
                 "X-Mozilla-Status: 0000\r\nMessage-ID: <b@tb>\r\nDate: Mon, 2 Jun 2025 11:00:00 +0900\r\n"
                 "Subject: unread\r\n\r\nsecond\r\n\r\n"
                 "From - Mon Jun 02 12:00:00 2025\r\n"
                 "X-Mozilla-Status: 0009\r\nMessage-ID: <c@tb>\r\nDate: Mon, 2 Jun 2025 12:00:00 +0900\r\n"
                 "Subject: deleted\r\n\r\ngone\r\n\r\n");
  WriteFileBytes(tb + "/Inbox.msf", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n");
  // LF lines, and no empty line before the second envelope line.
  WriteFileBytes(tb + "/Inbox.sbd/Sub",
                 "From x\nMessage-ID: <d@tb>\nSubject: sub\n\nlf only\nFrom - Tue Jun 03 10:00:00 2025\n"
                 "Message-ID: <e@tb>\nSubject: second\n\nsecond\nFrom the body, not a separator\n");
  WriteFileBytes(tb + "/Trash", "");
  WriteFileBytes(tb + "/Trash.msf", "");
  WriteFileBytes(tb + "/popstate.dat", "# POP3 State File\n");

  const MailImportReport report = Import(tb);
  ASSERT_TRUE(report.Complete()) << report.failure;
  EXPECT_EQ(report.imported, 4);
  ASSERT_EQ(report.boxes.size(), 3u);
  EXPECT_EQ(report.boxes[0].deleted, 1);

  auto inbox = Box("Imported.lp/Inbox.lp/Inbox.lp");
  ASSERT_EQ(inbox->Count(), 2);
  EXPECT_EQ(inbox->RecordAt(0)->subject, Sjis("日本語"));
  EXPECT_EQ(inbox->RecordAt(0)->status, kStatusRead);
  EXPECT_EQ(inbox->RecordAt(1)->status, kStatusUnread);
  EXPECT_NE(Text(*inbox, 0).find("\r\n>From the quoted\r\nbody"), std::string::npos);
  auto sub = Box("Imported.lp/Inbox.lp/Sub.lp");
  ASSERT_EQ(sub->Count(), 2);
  EXPECT_NE(Text(*sub, 0).find("lf only"), std::string::npos);
  EXPECT_NE(Text(*sub, 1).find("From the body"), std::string::npos);
  EXPECT_EQ(Box("Imported.lp/Trash.lp")->Count(), 0);
}

TEST_F(MailImportTest, SylpheedMarksDecideMhReadStates) {
  const std::string mh = sources_.File("Mail/inbox");
  std::filesystem::create_directories(mh);
  for (const char* number : {"1", "2", "3"}) {
    WriteFileBytes(mh + "/" + number, std::string("Subject: ") + number + "\n\nbody\n");
  }
  // Version 2, then (number, flags): 1 read, 2 unread; 3 is not listed (new).
  const std::uint32_t marks[] = {2, 1, 0, 2, 2};
  WriteFileBytes(mh + "/.sylpheed_mark", std::string(reinterpret_cast<const char*>(marks), sizeof marks));
  WriteFileBytes(mh + "/.mh_sequences", "unseen: 1\n");  // the mark file wins

  ASSERT_TRUE(Import(sources_.File("Mail")).Complete());
  auto box = Box("Imported.lp/inbox.lp");
  ASSERT_EQ(box->Count(), 3);
  EXPECT_EQ(box->RecordAt(0)->status, kStatusRead);
  EXPECT_EQ(box->RecordAt(1)->status, kStatusUnread);
  EXPECT_EQ(box->RecordAt(2)->status, kStatusUnread);
}

TEST_F(MailImportTest, BrokenMessagesAreReportedByNameAndTheRestImported) {
  const std::string md = sources_.File("md");
  for (const char* sub : {"cur", "new", "tmp"}) std::filesystem::create_directories(md + "/" + sub);
  WriteFileBytes(md + "/cur/1.a:2,S", "Subject: good\n\nfine\n");
  WriteFileBytes(md + "/cur/2.b:2,S", std::string("\x7F" "ELF\x02\x01\x01\0\0binary", 15));
  WriteFileBytes(md + "/cur/3.c:2,", "");
  WriteFileBytes(md + "/tmp/4.d", "Subject: half delivered\n\n");
  WriteFileBytes(md + "/new/5.e", "Subject: new\n\nnew mail\n");

  const MailImportReport report = Import(md);
  EXPECT_FALSE(report.Complete());
  EXPECT_EQ(report.imported, 2);
  EXPECT_EQ(report.unreadable, 2);
  ASSERT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.problems[0].native_path, md + "/cur/2.b:2,S");
  EXPECT_EQ(report.problems[1].native_path, md + "/cur/3.c:2,");
  EXPECT_EQ(SummaryLine(report), Sjis("取り込み: 2通, 2通は読めませんでした"));
  const std::vector<std::string> lines = ReportLines(report);
  EXPECT_EQ(lines.back(), SummaryLine(report));

  // A single file that is not an mbox is reported, not imported.
  WriteFileBytes(sources_.File("notes.txt"), "shopping list\n");
  const MailImportReport not_mail = Import(sources_.File("notes.txt"));
  ASSERT_EQ(not_mail.problems.size(), 1u);
  EXPECT_EQ(not_mail.imported, 0);
}

TEST_F(MailImportTest, LargeMboxGoesInPiecesWithBoundedLines) {
  // More than one piece of the work spool, and a line far longer than a
  // spool line.
  std::string mbox;
  const std::string long_line(20000, 'x');
  for (int i = 0; i < 20050; ++i) {
    mbox += "From a@b Mon Jun  2 10:00:00 2025\nMessage-ID: <" + std::to_string(i) +
            "@x>\nDate: Mon, 2 Jun 2025 10:00:00 +0900\nSubject: n\n\n" + (i == 7 ? long_line : "b") + "\n\n";
  }
  WriteFileBytes(sources_.File("big.mbox"), mbox);
  const MailImportReport report = Import(sources_.File("big.mbox"));
  ASSERT_TRUE(report.Complete()) << report.failure;
  EXPECT_EQ(report.imported, 20050);
  auto box = Box("Imported.lp/big.lp");
  ASSERT_EQ(box->Count(), 20050);
  EXPECT_NE(Text(*box, 7).find(long_line.substr(0, 4095) + "\r\n"), std::string::npos);
}

TEST(BoxNameFromFolderName, MakesUsableShiftJisNames) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Inbox", "Inbox"},
      {"受信トレイ", "受信トレイ"},
      {"表示", "表示"},  // a trail byte 0x5C stays
      {"a/b:c*d?e\"f<g>h|i", "a_b_c_d_e_f_g_h_i"},
      {".Sent", "Sent"},
      {"name. ", "name"},
      {"\xF0\x9F\x93\xA7mail", "_mail"},  // no such character in Shift_JIS
      {"..", "_"},
      {"", "_"},
  };
  for (const auto& [folder, box] : cases) EXPECT_EQ(BoxNameFromFolderName(folder), Utf8ToCp932(box)) << folder;
}

TEST(PlanBoxPaths, FoldersWithSubfoldersHoldTheirOwnBox) {
  const std::vector<ImportFolder> folders = {
      {"/s/Inbox", MailSourceFormat::Mbox, {"Inbox"}, {}},
      {"/s/Inbox.sbd/Sub", MailSourceFormat::Mbox, {"Inbox", "Sub"}, {}},
      {"/s/Sent", MailSourceFormat::Mbox, {"Sent"}, {}},
  };
  EXPECT_EQ(PlanBoxPaths(folders, "Old.lp"),
            (std::vector<std::string>{"Old.lp/Inbox.lp/Inbox.lp", "Old.lp/Inbox.lp/Sub.lp", "Old.lp/Sent.lp"}));
  EXPECT_EQ(PlanBoxPaths({folders[2]}, ""), std::vector<std::string>{"Sent.lp"});
}

}  // namespace
}  // namespace lp
