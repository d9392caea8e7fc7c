#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/compaction.h"
#include "store/mail_sort.h"
#include "store/mail_status.h"
#include "store/offset_check.h"
#include "store/mailbox_document.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

class NoCommands : public CommandObserver {
 public:
  void OnCommand(int) override {}
};

// Writes down each notice with the row count the box had when it came, so a
// test sees that "about to" notices come before the change and the others after.
class NoticeLog : public MailboxObserver {
 public:
  void RecordsAboutToBeInserted(const CLPOSTDoc& box, int first, int count) override {
    Log(box, "about to insert", first, count);
  }
  void RecordsInserted(const CLPOSTDoc& box, int first, int count) override { Log(box, "inserted", first, count); }
  void RecordsAboutToBeRemoved(const CLPOSTDoc& box, int first, int count) override {
    Log(box, "about to remove", first, count);
  }
  void RecordsRemoved(const CLPOSTDoc& box, int first, int count) override { Log(box, "removed", first, count); }
  void RecordsChanged(const CLPOSTDoc& box, int first, int last) override { Log(box, "changed", first, last); }
  void RecordsAboutToBeReordered(const CLPOSTDoc& box) override { Log(box, "about to reorder", 0, 0); }
  void RecordsReordered(const CLPOSTDoc& box) override { Log(box, "reordered", 0, 0); }
  void AboutToReload(const CLPOSTDoc& box) override { Log(box, "about to reload", 0, 0); }
  void Reloaded(const CLPOSTDoc& box) override { Log(box, "reloaded", 0, 0); }

  std::vector<std::string> notices;

 private:
  void Log(const CLPOSTDoc& box, const char* what, int a, int b) {
    notices.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b) + " of " +
                      std::to_string(box.Count()));
  }
};

std::unique_ptr<CMail> Mail(std::string subject, std::int32_t date) {
  auto mail = std::make_unique<CMail>();
  mail->subject = std::move(subject);
  mail->date = date;
  return mail;
}

class MailboxNotices : public ::testing::Test {
 protected:
  void SetUp() override {
    box_.Add(Mail("c", 300));
    box_.Add(Mail("a", 100));
    box_.Add(Mail("b", 200));
    box_.AddObserver(log_);
  }
  void TearDown() override { box_.RemoveObserver(log_); }

  testing::TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NoCommands commands_;
  CLPOSTDoc box_{profile_, ui_, commands_};
  NoticeLog log_;
};

TEST_F(MailboxNotices, AddAndRemoveReportTheirRowsAroundTheChange) {
  box_.Add(Mail("d", 400));
  box_.RemoveAt(1);
  EXPECT_EQ(log_.notices, (std::vector<std::string>{"about to insert 3,1 of 3", "inserted 3,1 of 4",
                                                     "about to remove 1,1 of 4", "removed 1,1 of 3"}));
}

TEST_F(MailboxNotices, SerialsSurviveRemovalAndSorting) {
  const std::uint64_t serial_of_a = box_.RecordAt(1)->serial;
  const std::uint64_t serial_of_b = box_.RecordAt(2)->serial;
  EXPECT_NE(serial_of_a, 0u);
  EXPECT_NE(serial_of_a, serial_of_b);

  box_.RemoveAt(0);
  EXPECT_EQ(box_.IndexOfSerial(serial_of_a), 0);
  log_.notices.clear();
  ASSERT_TRUE(Sort(box_, static_cast<int>(SortKey::Date)));
  // One reorder, not a removal and insertion per mail.
  EXPECT_EQ(log_.notices, (std::vector<std::string>{"about to reorder 0,0 of 2", "reordered 0,0 of 2"}));
  EXPECT_EQ(box_.IndexOfSerial(serial_of_a), 0);
  EXPECT_EQ(box_.IndexOfSerial(serial_of_b), 1);
  EXPECT_EQ(box_.IndexOfSerial(9999), -1);
  EXPECT_TRUE(box_.IsModified());
}

TEST_F(MailboxNotices, ChangedFieldsAreReportedAndMarkTheBoxModified) {
  box_.SetModified(false);
  box_.RecordAt(2)->status = kStatusUnread;
  box_.NoteRecordChanged(2);
  box_.NoteRecordsChanged(1, 99);  // clipped to the list
  box_.NoteRecordChanged(7);       // no such row: nothing to say
  EXPECT_EQ(log_.notices, (std::vector<std::string>{"changed 2,2 of 3", "changed 1,2 of 3"}));
  EXPECT_TRUE(box_.IsModified());
}

TEST_F(MailboxNotices, LoadingTheFileIsOneReload) {
  const std::string path = JoinPath(CurrentDirectory(), "box.lp");
  ASSERT_TRUE(box_.Save(path).ok);
  box_.Add(Mail("unsaved", 500));
  log_.notices.clear();
  ASSERT_TRUE(box_.Open(path).ok);
  EXPECT_EQ(log_.notices, (std::vector<std::string>{"about to reload 0,0 of 4", "reloaded 0,0 of 3"}));
  // Loaded records get serials of their own too.
  EXPECT_NE(box_.RecordAt(0)->serial, box_.RecordAt(1)->serial);

  // A file that does not load changes nothing and says nothing.
  log_.notices.clear();
  EXPECT_FALSE(box_.Open(JoinPath(CurrentDirectory(), "missing.lp")).ok);
  EXPECT_TRUE(log_.notices.empty());
  EXPECT_EQ(box_.Count(), 3);
}

// Every operation that changes fields of records tells the box, so that a
// list showing it repaints exactly those rows.
TEST_F(MailboxNotices, OperationsOnRecordFieldsReportTheirRows) {
  const std::string path = JoinPath(CurrentDirectory(), "box.lp");
  ASSERT_TRUE(box_.Save(path).ok);
  ASSERT_TRUE(box_.Open(path).ok);
  testing::WriteFileBytes(TextFilePathOf(path), "  +OK\r\n.\r\n");
  box_.RecordAt(1)->text_end = 10;  // starts two bytes before its block
  ASSERT_TRUE(box_.StoreText(0, "mail a"));
  ASSERT_TRUE(box_.StoreText(2, "mail c"));
  const std::vector<int> first_two = {0, 1};
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"status", [&] { SetStatus(box_, first_two, kStatusUnread); }},
      {"toggled status", [&] { ToggleStatus(box_, 2); }},
      {"label", [&] { (void)SetLabel(box_, first_two, 3); }},
      {"stored text", [&] { (void)box_.StoreText(2, "text"); }},
      {"repaired offset", [&] { (void)CheckOffsets(box_); }},
      {"compaction", [&] { (void)Compact(box_); }},
  };
  const std::vector<std::vector<std::string>> expected = {
      {"changed 0,0 of 3", "changed 1,1 of 3"},
      {"changed 2,2 of 3"},
      {"changed 0,0 of 3", "changed 1,1 of 3"},
      {"changed 2,2 of 3"},
      {"changed 1,1 of 3"},
      {"changed 0,2 of 3"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    log_.notices.clear();
    cases[i].second();
    EXPECT_EQ(log_.notices, expected[i]) << cases[i].first;
  }
}

TEST_F(MailboxNotices, RemovedObserverHearsNothing) {
  box_.RemoveObserver(log_);
  box_.Add(Mail("e", 1));
  EXPECT_TRUE(log_.notices.empty());
}

}  // namespace
}  // namespace lp
