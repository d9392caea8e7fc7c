#include "store/mailbox_document.h"

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/store_messages.h"
#include "store/unread_mark.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class RecordingCommands : public CommandObserver {
 public:
  void OnCommand(int command_id) override { commands.push_back(command_id); }
  std::vector<int> commands;
};

std::string Fixture(const std::string& name) {
  return ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/store/" + name);
}

std::unique_ptr<CMail> MakeMail(std::string to, int status = kStatusRead) {
  auto mail = std::make_unique<CMail>();
  mail->to = std::move(to);
  mail->status = status;
  return mail;
}

class MailboxTest : public ::testing::Test {
 protected:
  std::string Full(const std::string& name) const { return JoinPath(CurrentDirectory(), name); }

  testing::TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  RecordingCommands commands_;
  CLPOSTDoc doc_{profile_, ui_, commands_};
};

TEST(TextFilePathOf, ReplacesTheExtensionOfTheFileName) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\x8E\xF3\x90\x4D.lp", "\x8E\xF3\x90\x4D.mb"},  // 受信.lp
      {"/data/box.lp", "/data/box.mb"},
      {"/data/a.b.lp", "/data/a.b.mb"},
      {"/data/folder.lp/box.lp", "/data/folder.lp/box.mb"},
      {"/data/folder.lp/box", "/data/folder.lp/box.mb"},
      {"box", "box.mb"},
      {"/data/\x95\x5C.lp", "/data/\x95\x5C.mb"},  // 表.lp: trail byte 0x5C
  };
  for (const auto& [index, text] : cases) EXPECT_EQ(TextFilePathOf(index), text) << index;
}

TEST_F(MailboxTest, ZeroLengthIndexOpensEmptyAndSavesTheZeroCount) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  EXPECT_EQ(doc_.Count(), 0);
  EXPECT_EQ(doc_.PathName(), Full("box.lp"));
  EXPECT_EQ(doc_.TextFilePath(), Full("box.mb"));
  EXPECT_EQ(doc_.FirstUnread(), -1);
  EXPECT_EQ(doc_.CurrentText().text, "");
  ASSERT_TRUE(doc_.Save().ok);
  EXPECT_EQ(ReadFileBytes(dir_.File("box.lp")), std::string("\0\0", 2));
}

TEST_F(MailboxTest, IndexLayoutIsByteExact) {
  const std::string fixture = Fixture("index_two_records.lp");
  ASSERT_FALSE(fixture.empty());
  WriteFileBytes(dir_.File("box.lp"), fixture);
  ASSERT_TRUE(doc_.Open(Full("box.lp")).ok);
  ASSERT_EQ(doc_.Count(), 2);
  const CMail& first = *doc_.RecordAt(0);
  EXPECT_EQ(first.to, "a@example.jp");
  EXPECT_EQ(first.from, "\x8E\x52\x93\x63\x91\xBE\x98\x59 <taro@example.jp>");  // 山田太郎
  EXPECT_EQ(first.subject, "\x8C\x8F\x96\xBC\x83\x65\x83\x58\x83\x67");        // 件名テスト
  EXPECT_EQ(first.date, 1600000000);
  EXPECT_EQ(first.message_id, "<1@x>");
  EXPECT_EQ(first.status, kStatusUnread);
  EXPECT_EQ(first.flags, kFlagHasReplyTo);
  EXPECT_EQ(first.label, 3);
  EXPECT_EQ(first.text_end, 8u);
  const CMail& second = *doc_.RecordAt(1);
  EXPECT_EQ(second.date, -1);
  EXPECT_EQ(second.cc, "d");
  EXPECT_EQ(second.bcc, "e");
  EXPECT_EQ(second.attachments, "/tmp/f\n/tmp/g");
  EXPECT_EQ(second.status, kStatusSent);
  EXPECT_EQ(second.signature, 2);
  EXPECT_EQ(second.label, 10);
  EXPECT_EQ(second.text_start, 8u);
  EXPECT_EQ(second.text_end, 20u);
  EXPECT_EQ(doc_.RecordAt(2), nullptr);
  EXPECT_EQ(doc_.RecordAt(-1), nullptr);

  doc_.SetModified();
  ASSERT_TRUE(doc_.Save("copy.lp").ok);
  EXPECT_FALSE(doc_.IsModified());
  EXPECT_EQ(ReadFileBytes(dir_.File("copy.lp")), fixture);
}

TEST_F(MailboxTest, LargeCountsUseTheEscape) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0xFFFE, std::string("\xFE\xFF", 2)},
      {0xFFFF, std::string("\xFF\xFF\xFF\xFF\x00\x00", 6)},
  };
  for (const auto& [count, prefix] : cases) {
    CLPOSTDoc doc(profile_, ui_, commands_);
    for (int i = 0; i < count; ++i) doc.Add(std::make_unique<CMail>());
    ASSERT_TRUE(doc.Save("many.lp").ok);
    EXPECT_EQ(ReadFileBytes(dir_.File("many.lp")).substr(0, prefix.size()), prefix) << count;
    CLPOSTDoc back(profile_, ui_, commands_);
    ASSERT_TRUE(back.Open("many.lp").ok);
    EXPECT_EQ(back.Count(), count);
  }
}

TEST_F(MailboxTest, LongStringsRoundTripWithTheirPrefixes) {
  // The first record's To string starts after the count, the class header
  // and the version word.
  constexpr std::size_t kToOffset = 2 + 11 + 2;
  const std::vector<std::pair<std::size_t, std::string>> cases = {
      {254, "\xFE"},
      {255, std::string("\xFF\xFF\x00", 3)},
      {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
  };
  for (const auto& [length, prefix] : cases) {
    CLPOSTDoc doc(profile_, ui_, commands_);
    doc.Add(MakeMail(std::string(length, 't')));
    ASSERT_TRUE(doc.Save("long.lp").ok);
    const std::string bytes = ReadFileBytes(dir_.File("long.lp"));
    EXPECT_EQ(bytes.substr(kToOffset, prefix.size()), prefix) << length;
    CLPOSTDoc back(profile_, ui_, commands_);
    ASSERT_TRUE(back.Open("long.lp").ok);
    EXPECT_EQ(back.RecordAt(0)->to, std::string(length, 't'));
  }
}

TEST_F(MailboxTest, BrokenIndexRefusesToOpenAndIsNeverOverwritten) {
  const std::string good = Fixture("index_two_records.lp");
  std::string foreign = good;
  foreign.replace(8, 5, "CNote");
  std::string schema2 = good;
  schema2[4] = 2;
  std::string huge_count = std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6) + good.substr(2);
  struct Case {
    const char* what;
    std::string bytes;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"foreign class", foreign, store_messages::kArchiveForeignClass},
      {"schema 2", schema2, store_messages::kArchiveForeignSchema},
      {"truncated in a record", good.substr(0, 98), store_messages::kArchiveTruncated},
      {"huge count", huge_count, store_messages::kArchiveBadCount},
      {"trailing bytes", good + "x", store_messages::kArchiveTrailingBytes},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir_.File("broken.lp"), c.bytes);
    CLPOSTDoc doc(profile_, ui_, commands_);
    const IndexFileResult result = doc.Open("broken.lp");
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_EQ(result.message, std::string(store_messages::kIndexOpenFailed) + "(" + c.reason + "):" +
                                  Full("broken.lp"))
        << c.what;
    EXPECT_EQ(doc.Count(), 0) << c.what;
    EXPECT_EQ(doc.PathName(), "") << c.what;
    doc.Add(std::make_unique<CMail>());
    EXPECT_TRUE(doc.CloseRequest().ok);
    EXPECT_FALSE(doc.Save().ok);
    EXPECT_EQ(ReadFileBytes(dir_.File("broken.lp")), c.bytes) << c.what;
  }
  EXPECT_FALSE(doc_.Open("missing.lp").ok);
}

TEST_F(MailboxTest, EveryCutOfAnIndexIsRefused) {
  const std::string good = Fixture("index_two_records.lp");
  for (std::size_t cut = 1; cut < good.size(); ++cut) {
    WriteFileBytes(dir_.File("cut.lp"), good.substr(0, cut));
    CLPOSTDoc doc(profile_, ui_, commands_);
    EXPECT_FALSE(doc.Open("cut.lp").ok) << cut;
  }
}

TEST_F(MailboxTest, FailedReopenKeepsTheOpenBox) {
  WriteFileBytes(dir_.File("box.lp"), Fixture("index_two_records.lp"));
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  WriteFileBytes(dir_.File("box.lp"), "\x01");
  EXPECT_FALSE(doc_.Open("box.lp").ok);
  EXPECT_EQ(doc_.Count(), 2);
  EXPECT_EQ(doc_.PathName(), Full("box.lp"));
}

TEST_F(MailboxTest, SaveKilledMidwayLeavesTheOldIndex) {
  const std::string old_index = Fixture("index_two_records.lp");
  WriteFileBytes(dir_.File("box.lp"), old_index);
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  for (int i = 0; i < 2000; ++i) doc_.Add(MakeMail("someone@example.jp"));

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The kernel kills the writer once the new index passes 4 KiB.
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_DFL);
    const bool saved = doc_.Save().ok;
    ::_exit(saved ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);

  EXPECT_EQ(ReadFileBytes(dir_.File("box.lp")), old_index);
  CLPOSTDoc back(profile_, ui_, commands_);
  ASSERT_TRUE(back.Open("box.lp").ok);
  EXPECT_EQ(back.Count(), 2);
}

TEST_F(MailboxTest, StoredTextIsABlockThatReadsBack) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  doc_.Add(MakeMail("a"));
  doc_.Add(MakeMail("b"));
  doc_.SetModified(false);

  ASSERT_TRUE(doc_.StoreTextOfLast("abc"));
  EXPECT_EQ(ReadFileBytes(dir_.File("box.mb")), "abc\r\n.\r\n");
  EXPECT_EQ(doc_.RecordAt(1)->text_start, 0u);
  EXPECT_EQ(doc_.RecordAt(1)->text_end, 8u);
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_EQ(doc_.ReadText(0, 8).text, "abc");
  EXPECT_EQ(doc_.text_buffer(), "abc");

  const std::string long_text(70000, 'x');
  ASSERT_TRUE(doc_.StoreText(0, long_text));
  EXPECT_EQ(doc_.RecordAt(0)->text_start, 8u);
  EXPECT_EQ(doc_.RecordAt(0)->text_end, 8u + 70000u + 5u);
  EXPECT_EQ(doc_.ReadText(doc_.RecordAt(0)->text_start, doc_.RecordAt(0)->text_end).text, long_text);
  EXPECT_TRUE(ui_.messages.empty());

  EXPECT_FALSE(doc_.StoreText(2, "no such record"));
}

TEST_F(MailboxTest, ReadTextFailuresGiveAnEmptyTextAndTheReason) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  struct Case {
    const char* what;
    bool text_file_exists;
    std::uint32_t start;
    std::uint32_t end;
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"missing text file", false, 0, 8, "", store_messages::kTextFileOpenFailed},
      {"block of 5 bytes", true, 0, 5, "", ""},
      {"end before start", true, 6, 2, "", ""},
      {"start beyond the file", true, 100, 200, "", store_messages::kTextFileSeekFailed},
      {"end beyond the file", true, 3, 0xFFFFFFFF, "defgh", ""},
      {"block in the middle", true, 1, 9, "bcd", ""},
  };
  for (const Case& c : cases) {
    RemoveFile("box.mb");
    if (c.text_file_exists) WriteFileBytes(dir_.File("box.mb"), "abcdefgh");
    const MailText read = doc_.ReadText(c.start, c.end);
    EXPECT_EQ(read.text, c.text) << c.what;
    EXPECT_EQ(doc_.text_buffer(), c.text) << c.what;
    EXPECT_EQ(read.error, c.message) << c.what;
  }
  // The reason is for the caller to show: the document shows nothing.
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MailboxTest, StoreFailureKeepsTheOffsets) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  doc_.Add(MakeMail("a"));
  doc_.RecordAt(0)->text_start = 3;
  doc_.RecordAt(0)->text_end = 9;
  doc_.SetModified(false);
  ASSERT_TRUE(MakeDirectory("box.mb"));
  EXPECT_FALSE(doc_.StoreText(0, "abc"));
  EXPECT_EQ(doc_.RecordAt(0)->text_start, 3u);
  EXPECT_EQ(doc_.RecordAt(0)->text_end, 9u);
  EXPECT_FALSE(doc_.IsModified());
}

TEST_F(MailboxTest, CompactionWantedFollowsTheAutoCompactSetting) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  doc_.Add(MakeMail("a"));
  struct Case {
    int setting;  // -1: not set
    bool wanted;
  };
  for (const Case c : {Case{-1, true}, Case{0, false}, Case{1, true}}) {
    if (c.setting >= 0) profile_.WriteInt("AutoCompact", doc_.PathName(), c.setting);
    ASSERT_TRUE(doc_.StoreTextOfLast("text"));
    EXPECT_EQ(doc_.CompactionWanted(), c.wanted) << c.setting;
  }
}

TEST_F(MailboxTest, CloseRequestCompactsWhenWantedThenSaves) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  int compactions = 0;
  doc_.SetCompactor([&](CLPOSTDoc& doc) {
    ++compactions;
    doc.ClearCompactionWanted();
  });

  // Unmodified and no compaction wanted: the file is left alone.
  WriteFileBytes(dir_.File("box.lp"), "untouched");
  EXPECT_TRUE(doc_.CloseRequest().ok);
  EXPECT_EQ(ReadFileBytes(dir_.File("box.lp")), "untouched");
  EXPECT_EQ(compactions, 0);

  doc_.Add(MakeMail("a"));
  ASSERT_TRUE(doc_.StoreTextOfLast("text"));
  ASSERT_TRUE(doc_.CompactionWanted());
  EXPECT_TRUE(doc_.CloseRequest().ok);
  EXPECT_EQ(compactions, 1);
  EXPECT_FALSE(doc_.IsModified());
  CLPOSTDoc back(profile_, ui_, commands_);
  ASSERT_TRUE(back.Open("box.lp").ok);
  EXPECT_EQ(back.Count(), 1);
}

TEST_F(MailboxTest, FirstUnread) {
  struct Case {
    std::vector<int> statuses;
    int expected;
  };
  const std::vector<Case> cases = {
      {{}, -1},
      {{kStatusRead, kStatusReplied, kStatusSent}, 2},
      {{kStatusRead, kStatusUnread, kStatusUnread}, 1},
      {{kStatusUnread}, 0},
  };
  for (const Case& c : cases) {
    CLPOSTDoc doc(profile_, ui_, commands_);
    for (int status : c.statuses) doc.Add(MakeMail("x", status));
    EXPECT_EQ(doc.FirstUnread(), c.expected);
  }
}

TEST_F(MailboxTest, UpdateUnreadMarkWritesTheSettingAndTellsTheMainFrame) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  doc_.Add(MakeMail("a", kStatusRead));
  doc_.Add(MakeMail("b", kStatusUnread));
  doc_.UpdateUnreadMark();
  EXPECT_EQ(ReadUnreadMark(profile_, Full("box.lp")), 1);
  doc_.RecordAt(1)->status = kStatusReplied;
  doc_.UpdateUnreadMark();
  EXPECT_EQ(ReadUnreadMark(profile_, Full("box.lp")), 0);
  EXPECT_EQ(commands_.commands, (std::vector<int>{kCommandRefreshUnreadMarks, kCommandRefreshUnreadMarks}));
  EXPECT_EQ(kCommandRefreshUnreadMarks, 32881);
}

TEST_F(MailboxTest, DisplayAndCurrentTextFollowTheStatusAndTheSetting) {
  WriteFileBytes(dir_.File("box.lp"), "");
  ASSERT_TRUE(doc_.Open("box.lp").ok);
  const std::string text = "X-Mailer: m\r\nSubject: s\r\n\r\nbody";
  doc_.Add(MakeMail("received", kStatusUnread));
  ASSERT_TRUE(doc_.StoreTextOfLast(text));
  doc_.Add(MakeMail("outgoing", kStatusUnsent));
  ASSERT_TRUE(doc_.StoreTextOfLast(text));

  EXPECT_EQ(doc_.current_index(), -1);
  EXPECT_EQ(doc_.CurrentText().text, text);  // outgoing: every header line
  EXPECT_EQ(doc_.current_index(), 1);
  doc_.set_current_index(0);
  EXPECT_EQ(doc_.CurrentText().text, "Subject: s\r\n\r\nbody");
  profile_.WriteInt("Mail", "Header", 1);
  EXPECT_EQ(doc_.CurrentText().text, text);
  EXPECT_EQ(doc_.DisplayText(0, HeaderMode::None, 0).text, "\r\nbody");
  EXPECT_EQ(doc_.DisplayText(5, HeaderMode::All, 0).text, "");
}

TEST_F(MailboxTest, RemoveAtHandsOverTheRecord) {
  doc_.Add(MakeMail("a"));
  doc_.Add(MakeMail("b"));
  doc_.set_current_index(1);
  doc_.set_command_mail(doc_.RecordAt(1)->serial);
  doc_.SetModified(false);
  EXPECT_EQ(doc_.RemoveAt(2), nullptr);
  EXPECT_EQ(doc_.RemoveAt(-1), nullptr);
  EXPECT_FALSE(doc_.IsModified());
  std::unique_ptr<CMail> removed = doc_.RemoveAt(1);
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->to, "b");
  EXPECT_EQ(doc_.Count(), 1);
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_EQ(doc_.current_index(), 0);
  // Gone with its mail: it never names the mail left in its row.
  EXPECT_EQ(doc_.CommandMailIndex(), -1);
}

}  // namespace
}  // namespace lp
