#include "util/text_export.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/box_list.h"
#include "tests/store/mailbox_test_boxes.h"
#include "tests/support/scoped_time_zone.h"
#include "util/export_output.h"
#include "util/text_out_set.h"
#include "util/util_messages.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

std::string Sjis(const char* utf8) { return Utf8ToCp932(utf8); }

// 2024-01-02 03:04:05 on the local time scale of Japan.
constexpr std::int32_t kDate = 1704132245;

std::string Word(unsigned value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)}; }
std::string Counted(const std::string& bytes) {
  if (bytes.size() < 255) return static_cast<char>(bytes.size()) + bytes;
  return "\xFF" + Word(static_cast<unsigned>(bytes.size())) + bytes;
}

TEST(TextOutSetFile, WritesTheArchiveLayoutByteForByte) {
  CTextOutSetArray list;
  CTextOutSet first;
  first.name = Sjis("前回の設定");
  first.unread = false;
  first.label = 3;
  first.output_file = "out.txt";
  first.append = true;
  CTextOutSet second;
  second.name = "all";
  second.output_file = std::string(300, 'p');  // a long path takes the 0xFF form
  second.all_headers = true;
  second.all_boxes = true;
  list.entries() = {first, second};

  const std::string expected = Word(2) +
                               // First entry: the class header.
                               Word(0xFFFF) + Word(3) + Word(11) + "CTextOutSet" + Word(100) + Counted(first.name) +
                               Word(1) + Word(0) + Word(1) + Word(1) + Word(1) + Word(3) + Counted("out.txt") +
                               Word(0) + Word(0) + Word(1) +
                               // Later entries: the class tag.
                               Word(0x8001) + Word(100) + Counted("all") + Word(1) + Word(1) + Word(1) + Word(1) +
                               Word(1) + Word(0) + Counted(second.output_file) + Word(1) + Word(1) + Word(0);
  EXPECT_EQ(list.Serialize(), expected);
}

class TextExportTest : public testing::BoxTest {
 protected:
  struct Stored {
    CMail mail;
    std::string text;
  };

  std::unique_ptr<CLPOSTDoc> MakeStoredBox(const std::string& name, const std::vector<Stored>& mails) {
    WriteFileBytes(Native(name), "");
    auto doc = NewDoc();
    EXPECT_TRUE(doc->Open(name).ok);
    for (const Stored& stored : mails) {
      doc->Add(std::make_unique<CMail>(stored.mail));
      EXPECT_TRUE(doc->StoreTextOfLast(stored.text));
    }
    EXPECT_TRUE(doc->Save().ok);
    return doc;
  }

  static Stored Sent(const char* subject_utf8, const char* body_utf8, const char* cc = "") {
    CMail mail;
    mail.to = "to@example.jp";
    mail.from = "me@example.jp";
    mail.subject = Sjis(subject_utf8);
    mail.cc = cc;
    mail.date = kDate;
    mail.status = kStatusSent;
    return {mail, Sjis(body_utf8)};
  }

  static Stored Received(int status, int label, const char* subject) {
    CMail mail;
    mail.subject = subject;
    mail.status = status;
    mail.label = label;
    return {mail, std::string("Subject: ") + subject + "\r\nX-Mailer: m\r\n\r\nbody of " + subject + "\r\n"};
  }

  std::string Export(CLPOSTDoc& box, const CTextOutSet& setting) {
    ExportOutput output;
    EXPECT_TRUE(output.Begin("out.txt", setting.append));
    EXPECT_EQ(ExportBoxMails(box, setting, output.writer()).outcome, ExportOutcome::Done);
    EXPECT_TRUE(output.Commit()) << output.message();
    return ReadFileBytes(Native("out.txt"));
  }

  testing::ScopedTimeZone japan_{"JST-9"};
};

TEST_F(TextExportTest, SentMailsGetAHeaderBlockAndEndWithADotLine) {
  auto box = MakeStoredBox("sent.lp", {Sent("報告", "本文\r\n二行目"), Sent("二通目", "short", "cc@example.jp")});
  const std::string expected = Sjis(
      "To: to@example.jp\r\nFrom: me@example.jp\r\nSubject: 報告\r\nDate: Tue, 02 Jan 2024 03:04:05 +0900\r\n\r\n"
      "本文\r\n二行目\r\n.\r\n"
      "To: to@example.jp\r\nFrom: me@example.jp\r\nSubject: 二通目\r\nDate: Tue, 02 Jan 2024 03:04:05 +0900\r\n"
      "Cc: cc@example.jp\r\n\r\nshort\r\n.\r\n");
  EXPECT_EQ(Export(*box, CTextOutSet{}), expected);
}

TEST_F(TextExportTest, ReceivedMailKeepsTheChosenHeaderLines) {
  const Stored mail = Received(kStatusRead, 0, "hello");
  EXPECT_EQ(MailExportText(mail.mail, mail.text, ExportHeaders::Stored),
            "Subject: hello\r\nX-Mailer: m\r\n\r\nbody of hello\r\n\r\n.\r\n");
  EXPECT_EQ(MailExportText(mail.mail, mail.text, ExportHeaders::All),
            "Subject: hello\r\nX-Mailer: m\r\n\r\nbody of hello\r\n\r\n.\r\n");
  EXPECT_EQ(MailExportText(mail.mail, mail.text, ExportHeaders::Short),
            "Subject: hello\r\n\r\nbody of hello\r\n\r\n.\r\n");
}

TEST_F(TextExportTest, StateAndLabelFiltersChooseTheMails) {
  auto box = MakeStoredBox("box.lp", {Received(kStatusUnread, 0, "u0"), Received(kStatusRead, 0, "r0"),
                                      Received(kStatusUnread, 4, "u4"), Received(kStatusReplied, 4, "p4")});
  struct FilterCase {
    const char* name;
    bool read, unread, replied;
    int label;
    std::vector<std::string> subjects;
  };
  const std::vector<FilterCase> cases = {
      {"unread of every label", false, true, false, 0, {"u0", "u4"}},
      {"label 4 of every state", true, true, true, 4, {"u4", "p4"}},
      {"read and replied", true, false, true, 0, {"r0", "p4"}},
      {"nothing chosen", false, false, false, 0, {}},
  };
  for (const FilterCase& c : cases) {
    CTextOutSet setting;
    setting.read = c.read;
    setting.unread = c.unread;
    setting.replied = c.replied;
    setting.label = c.label;
    const std::string text = Export(*box, setting);
    std::string expected;
    for (const std::string& subject : c.subjects) {
      expected += "Subject: " + subject + "\r\n\r\nbody of " + subject + "\r\n\r\n.\r\n";
    }
    EXPECT_EQ(text, expected) << c.name;
  }
}

TEST_F(TextExportTest, AppendAddsToTheFileAndOtherwiseReplacesIt) {
  auto box = MakeStoredBox("box.lp", {Received(kStatusRead, 0, "one")});
  CTextOutSet setting;
  const std::string once = Export(*box, setting);
  EXPECT_EQ(Export(*box, setting), once);
  setting.append = true;
  EXPECT_EQ(Export(*box, setting), once + once);
}

TEST_F(TextExportTest, SelectedMailsAreWrittenAsStoredWithoutFilters) {
  auto box = MakeStoredBox("box.lp", {Received(kStatusRead, 0, "a"), Received(kStatusUnread, 7, "b")});
  ExportOutput output;
  ASSERT_TRUE(output.Begin("sel.txt", false));
  const std::vector<int> selection = {1, 0};
  EXPECT_EQ(ExportSelectedMails(*box, selection, output.writer()).mails, 2);
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(ReadFileBytes(Native("sel.txt")),
            "Subject: b\r\nX-Mailer: m\r\n\r\nbody of b\r\n\r\n.\r\nSubject: a\r\nX-Mailer: m\r\n\r\nbody of a\r\n\r\n.\r\n");
}

TEST_F(TextExportTest, AllBoxesLeaveOutFoldersAndTheTrash) {
  ASSERT_TRUE(MakeDirectory("f.lp"));
  MakeStoredBox("a.lp", {Received(kStatusRead, 0, "a")});
  MakeStoredBox("f.lp/b.lp", {Received(kStatusRead, 0, "b")});
  MakeStoredBox("trash.lp", {Received(kStatusRead, 0, "t")});
  const std::vector<std::string> list = BuildBoxList(CurrentDirectory());
  ExportOutput output;
  ASSERT_TRUE(output.Begin("all.txt", false));
  const ExportResult result =
      ExportAllBoxes(BoxWalkSources::Plan(list, nullptr), JoinPath(CurrentDirectory(), "trash.lp"), CTextOutSet{}, output.writer(), nullptr);
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(result.mails, 2);
  const std::string text = ReadFileBytes(Native("all.txt"));
  EXPECT_NE(text.find("body of a"), std::string::npos);
  EXPECT_NE(text.find("body of b"), std::string::npos);
  EXPECT_EQ(text.find("body of t"), std::string::npos);
}

TEST_F(TextExportTest, UnopenableOutputFileIsRefused) {
  ExportOutput output;
  EXPECT_FALSE(output.Begin("missing-directory/out.txt", false));
  EXPECT_NE(output.message().find(util_messages::kOutputFileOpenFailed), std::string::npos);
}

TEST_F(TextExportTest, TheOutputFileChangesOnlyWhenTheExportIsCommitted) {
  auto box = MakeStoredBox("box.lp", {Received(kStatusRead, 0, "one")});
  for (const bool append : {false, true}) {
    WriteFileBytes(Native("out.txt"), "kept");
    {
      ExportOutput output;
      ASSERT_TRUE(output.Begin("out.txt", append));
      EXPECT_EQ(ExportBoxMails(*box, CTextOutSet{}, output.writer()).mails, 1);
      // Not committed: the export failed elsewhere, or was cancelled.
    }
    EXPECT_EQ(ReadFileBytes(Native("out.txt")), "kept") << append;
  }
  // Nothing of the abandoned exports stays behind.
  const std::optional<std::vector<DirectoryEntry>> entries = ListDirectory(CurrentDirectory());
  ASSERT_TRUE(entries);
  for (const DirectoryEntry& entry : *entries) {
    EXPECT_EQ(entry.name.find("out.txt."), std::string::npos) << entry.name;
  }
}

TEST_F(TextExportTest, ALinkedOutputStaysALinkToTheFileThatGetsTheExport) {
  auto box = MakeStoredBox("box.lp", {Received(kStatusRead, 0, "one")});
  WriteFileBytes(Native("real.txt"), "old");
  ASSERT_EQ(::symlink("real.txt", Native("link.txt").c_str()), 0);
  ExportOutput output;
  ASSERT_TRUE(output.Begin("link.txt", false));
  ASSERT_EQ(ExportBoxMails(*box, CTextOutSet{}, output.writer()).mails, 1);
  ASSERT_TRUE(output.Commit()) << output.message();
  EXPECT_TRUE(std::filesystem::is_symlink(Native("link.txt")));
  EXPECT_NE(ReadFileBytes(Native("real.txt")).find("body of one"), std::string::npos);
}

TEST_F(TextExportTest, SettingsListStartsWithTheLastSettingAndSurvivesARoundTrip) {
  CTextOutSetArray list;
  EXPECT_FALSE(list.Load("lposttext.set").has_value());
  ASSERT_EQ(list.entries().size(), 1u);
  EXPECT_EQ(list.entries()[0].name, util_messages::kLastSettingName);

  CTextOutSet named;
  named.name = Sjis("未読だけ");
  named.read = false;
  named.output_file = Sjis("出力.txt");
  list.entries().push_back(named);
  ASSERT_TRUE(list.Save("lposttext.set"));
  CTextOutSetArray again;
  EXPECT_FALSE(again.Load("lposttext.set").has_value());
  EXPECT_EQ(again.entries(), list.entries());
  ASSERT_NE(again.Find(named.name), nullptr);
  EXPECT_EQ(*again.Find(named.name), named);
}

TEST_F(TextExportTest, UnreadableSettingsListIsKeptAsideNotOverwritten) {
  const std::string unreadable("\x01\x00garbage", 9);
  WriteFileBytes(Native("lposttext.set"), unreadable);
  CTextOutSetArray list;
  const std::optional<std::string> problem = list.Load("lposttext.set");
  ASSERT_TRUE(problem.has_value());
  EXPECT_EQ(problem->rfind(util_messages::kSettingsListUnreadable, 0), 0u);
  ASSERT_EQ(list.entries().size(), 1u);
  ASSERT_TRUE(list.Save("lposttext.set"));
  EXPECT_EQ(ReadFileBytes(Native("lposttext.set.bad")), unreadable);
  CTextOutSetArray again;
  EXPECT_FALSE(again.Load("lposttext.set").has_value());
}

}  // namespace
}  // namespace lp
