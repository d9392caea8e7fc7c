#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "store/unread_mark.h"
#include "store/fixed_boxes.h"
#include "store/mail_delete.h"
#include "store/mail_status.h"
#include "store/mail_transfer.h"
#include "store/open_box_registry.h"
#include "store/store_messages.h"
#include "store/trash_box.h"
#include "tests/store/mailbox_test_boxes.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TestMail;
using testing::WriteFileBytes;

// "ごみ箱.lp", "受信.lp"
const std::string kTrash = "\x82\xB2\x82\xDD\x94\xA0.lp";
const std::string kInbox = "\x8E\xF3\x90\x4D.lp";

// Counts what a list view of the box would hear.
class NoticeCounter : public MailboxObserver {
 public:
  void RecordsChanged(const CLPOSTDoc&, int first, int last) override { changed += last - first + 1; }
  void RecordsInserted(const CLPOSTDoc&, int, int count) override { inserted += count; }
  void RecordsRemoved(const CLPOSTDoc&, int, int count) override {
    removed += count;
    ++removals;
  }
  void Reloaded(const CLPOSTDoc&) override { ++reloads; }
  int changed = 0;
  int inserted = 0;
  int removed = 0;
  int removals = 0;  // notices: one per run of neighbouring rows
  int reloads = 0;
};

class MailboxOperationsTest : public testing::BoxTest {
 protected:
  std::vector<TestMail> ThreeMails() const {
    return {{"a", "+OK\r\nSubject: a\r\n\r\nbody a"},
            {"b", "+OK\r\nSubject: b\r\n\r\nbody b", kStatusUnread},
            {"c", "+OK\r\nSubject: c\r\n\r\nbody c"}};
  }

  // Writes the box and takes it from the registry, as a window would.
  BoxHandle MakeOpenBox(const std::string& name, const std::vector<TestMail>& mails) {
    (void)MakeBox(name, mails);
    AcquiredBox acquired = registry_.Acquire(name);
    EXPECT_TRUE(acquired.box) << acquired.load.message;
    return std::move(acquired.box);
  }

  OpenBoxRegistry registry_{profile_, ui_, commands_};
};

TEST(MailboxOperationMessages, ReadAsTheUserSeesThem) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {store_messages::kAskDeleteMail, "メールを削除しますか？"},
      {store_messages::kMovingTo, "へ移動中です..."},
      {store_messages::kAskDeleteAttachments, "添付ファイルも削除しますか？"},
      {store_messages::kMoveDestinationTitle, "振り分け先指定"},
      {store_messages::kCannotOpenFile, "ファイルが開けません - "},
      {store_messages::kImportBoxTitle, "取り込むメールボックス"},
      {store_messages::kImportBoxFilter, "ﾒｰﾙﾎﾞｯｸｽ(*.lp) |*.lp||"},
      {store_messages::kOwnBoxOpenFailed, "Err:自メールBOXが開けません"},
      {store_messages::kImportSourceOpenFailed, "Err:取込元ファイルが開けません"},
      {store_messages::kAskEmptyTrash, "ごみ箱を空にします。メールの復活は出来ません。"},
      {store_messages::kDeleteCompleted, "削除を完了しました"},
      {store_messages::kTargetBoxOpenFailed, "Err:対象文書BOXが開けません"},
      {store_messages::kCompactRemoveFailed1, "が削除できませんでした。手動で削除後、mbwork.$$$ を"},
      {store_messages::kCompactRemoveFailed2, "に名前変更してください"},
      {store_messages::kCompactRenameFailed1, "mbwork.$$$ を"},
      {store_messages::kCompactRenameFailed2, "に名前変更できませんでした。手動で変更してください"},
      {store_messages::kAskJapanTime, "選択している文書の時間を日本時間にあわせますか？"},
  };
  for (const auto& [sjis, utf8] : cases) EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
}

TEST_F(MailboxOperationsTest, RegistryHandsEveryUserTheSameDocument) {
  (void)MakeBox("first.lp", ThreeMails());
  BoxHandle window = registry_.Acquire("first.lp").box;
  BoxHandle send_run = registry_.Acquire(AbsolutePath("first.lp")).box;
  ASSERT_TRUE(window);
  EXPECT_EQ(window.get(), send_run.get());
  EXPECT_EQ(registry_.Find("first.lp"), window.get());
  EXPECT_EQ(registry_.Find("other.lp"), nullptr);
  EXPECT_EQ(registry_.OpenCount(), 1u);

  // Each user's change is the other's, and a save by one keeps both.
  window->Add(std::make_unique<CMail>());
  window->RecordAt(3)->subject = "from the window";
  send_run->RecordAt(0)->status = kStatusUnsent;
  send_run->NoteRecordChanged(0);
  send_run->Add(std::make_unique<CMail>());
  EXPECT_EQ(window->Count(), 5);
  ASSERT_TRUE(send_run->Save().ok);
  auto on_disk = Reopen("first.lp");
  EXPECT_EQ(on_disk->Count(), 5);
  EXPECT_EQ(on_disk->RecordAt(3)->subject, "from the window");
  EXPECT_EQ(on_disk->RecordAt(0)->status, kStatusUnsent);

  // The box stays open while anyone holds it; the last release saves it.
  BoxHandle copy = window;
  EXPECT_TRUE(window.Release().ok);
  EXPECT_TRUE(send_run.Release().ok);
  EXPECT_EQ(registry_.Find("first.lp"), copy.get());
  copy->RecordAt(1)->label = 4;
  copy->NoteRecordChanged(1);
  EXPECT_TRUE(copy.Release().ok);
  EXPECT_EQ(registry_.Find("first.lp"), nullptr);
  EXPECT_EQ(Reopen("first.lp")->RecordAt(1)->label, 4);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MailboxOperationsTest, RegistryReportsABoxThatDoesNotLoadWithoutShowingIt) {
  WriteFileBytes(Native("bad.lp"), "not an index");
  const AcquiredBox acquired = registry_.Acquire("bad.lp");
  EXPECT_FALSE(acquired.box);
  EXPECT_FALSE(acquired.load.ok);
  EXPECT_NE(acquired.load.message.find(AbsolutePath("bad.lp")), std::string::npos);
  EXPECT_EQ(registry_.OpenCount(), 0u);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ReadFileBytes(Native("bad.lp")), "not an index");
}

TEST_F(MailboxOperationsTest, SaveAllReturnsEachFailureAndAFailedCloseKeepsTheBox) {
  BoxHandle fine = MakeOpenBox("fine.lp", ThreeMails());
  BoxHandle lost = MakeOpenBox("dir.lp", {});
  RemoveFile("dir.lp");
  ASSERT_TRUE(MakeDirectory("dir.lp"));  // its index can no longer be written
  const std::vector<BoxSaveFailure> failures = registry_.SaveAllOpenBoxes();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].path, AbsolutePath("dir.lp"));
  EXPECT_NE(failures[0].message.find(store_messages::kIndexSaveFailed), std::string::npos);
  EXPECT_TRUE(ui_.messages.empty());

  // The records of a box that could not be written stay in memory.
  lost->Add(std::make_unique<CMail>());
  EXPECT_FALSE(lost.Release().ok);
  ASSERT_NE(registry_.Find("dir.lp"), nullptr);
  EXPECT_EQ(registry_.Find("dir.lp")->Count(), 1);
  EXPECT_FALSE(registry_.SaveAllOpenBoxesShowingFailures());
  EXPECT_EQ(ui_.messages.size(), 1u);
  ASSERT_EQ(::rmdir(Native("dir.lp").c_str()), 0);
  EXPECT_TRUE(registry_.SaveAllOpenBoxes().empty());
  EXPECT_EQ(Reopen("dir.lp")->Count(), 1);
}

TEST_F(MailboxOperationsTest, AnIndexSnapshotWrittenElsewhereCountsAsASaveOnlyWhenNothingChangedSince) {
  BoxHandle box = MakeOpenBox("box.lp", ThreeMails());
  box->RecordAt(0)->label = 2;
  box->NoteRecordChanged(0);
  CLPOSTDoc::IndexSnapshot snapshot = box->SnapshotIndex();
  ASSERT_TRUE(WriteIndexSnapshot(snapshot).ok);
  box->NoteSnapshotWritten(snapshot);
  EXPECT_FALSE(box->IsModified());
  EXPECT_EQ(Reopen("box.lp")->RecordAt(0)->label, 2);

  // A change after the snapshot keeps the box modified, and its own save
  // is the one that lands last.
  snapshot = box->SnapshotIndex();
  box->RecordAt(1)->label = 5;
  box->NoteRecordChanged(1);
  ASSERT_TRUE(WriteIndexSnapshot(snapshot).ok);
  box->NoteSnapshotWritten(snapshot);
  EXPECT_TRUE(box->IsModified());
  ASSERT_TRUE(box->Save().ok);
  EXPECT_EQ(Reopen("box.lp")->RecordAt(1)->label, 5);

  // A snapshot whose file cannot be written says so and names it.
  snapshot = box->SnapshotIndex();
  RemoveFile("box.lp");
  ASSERT_TRUE(MakeDirectory("box.lp"));
  const IndexFileResult failed = WriteIndexSnapshot(snapshot);
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.message.find(AbsolutePath("box.lp")), std::string::npos);
  ASSERT_EQ(::rmdir(Native("box.lp").c_str()), 0);
}

TEST_F(MailboxOperationsTest, ReloadKeepsIdentitiesAndWhatAReloadMustNotDrop) {
  BoxHandle box = MakeOpenBox("first.lp", ThreeMails());
  const std::uint64_t serial_a = box->RecordAt(0)->serial;
  const std::uint64_t serial_c = box->RecordAt(2)->serial;
  box->content_ids().push_back({"cid", "path"});
  box->NoteCompactionWanted();
  // Another operation changes mail b and appends one on disk.
  {
    auto other = Reopen("first.lp");
    other->RecordAt(1)->label = 3;
    other->Add(std::make_unique<CMail>());
    ASSERT_TRUE(other->Save().ok);
  }
  const std::uint64_t serial_b = box->RecordAt(1)->serial;
  NoticeCounter notices;
  box->AddObserver(notices);
  registry_.ReloadAllOpenBoxes();
  box->RemoveObserver(notices);
  EXPECT_EQ(notices.reloads, 1);
  ASSERT_EQ(box->Count(), 4);
  EXPECT_EQ(box->RecordAt(0)->serial, serial_a);
  EXPECT_NE(box->RecordAt(1)->serial, serial_b);
  EXPECT_EQ(box->RecordAt(1)->label, 3);
  EXPECT_EQ(box->RecordAt(2)->serial, serial_c);
  EXPECT_EQ(box->IndexOfSerial(box->RecordAt(3)->serial), 3);
  EXPECT_EQ(box->content_ids().size(), 1u);
  EXPECT_TRUE(box->CompactionWanted());
}

TEST_F(MailboxOperationsTest, SetStatusMarksEachSelectedRecordAndTheUnreadMark) {
  auto box = MakeBox("box.lp", ThreeMails());
  const std::vector<int> selection = {0, 2};
  NoticeCounter notices;
  box->AddObserver(notices);
  SetStatus(*box, selection, kStatusUnread);
  EXPECT_EQ(box->RecordAt(0)->status, kStatusUnread);
  EXPECT_EQ(box->RecordAt(1)->status, kStatusUnread);
  EXPECT_EQ(box->RecordAt(2)->status, kStatusUnread);
  EXPECT_TRUE(box->IsModified());
  EXPECT_EQ(ReadUnreadMark(profile_, box->PathName()), 1);
  EXPECT_EQ(notices.changed, 2);
  box->RemoveObserver(notices);

  const std::vector<int> all = {0, 1, 2};
  SetStatus(*box, all, kStatusRead);
  EXPECT_EQ(ReadUnreadMark(profile_, box->PathName()), 0);
  EXPECT_EQ(commands_.commands.back(), kCommandRefreshUnreadMarks);
}

TEST_F(MailboxOperationsTest, ToggleStatusSwapsReadUnreadAndUnsentSent) {
  const std::vector<std::pair<int, int>> cases = {{0, 1}, {1, 0}, {2, 2}, {3, 4}, {4, 3}, {7, 7}};
  auto box = MakeBox("box.lp", {{"a", "x"}});
  for (const auto& [before, after] : cases) {
    box->RecordAt(0)->status = before;
    box->SetModified(false);
    ToggleStatus(*box, 0);
    EXPECT_EQ(box->RecordAt(0)->status, after) << before;
    EXPECT_TRUE(box->IsModified());
  }
}

TEST_F(MailboxOperationsTest, LabelDialogStartsAtTheCurrentLabelForOneRecord) {
  auto box = MakeBox("box.lp", ThreeMails());
  box->RecordAt(1)->label = 7;
  box->set_current_index(1);
  EXPECT_EQ(InitialLabel(*box, std::vector<int>{1}), 7);
  EXPECT_EQ(InitialLabel(*box, std::vector<int>{}), 7);
  EXPECT_EQ(InitialLabel(*box, std::vector<int>{0, 1}), 0);

  EXPECT_TRUE(SetLabel(*box, std::vector<int>{0, 2}, 3));
  EXPECT_EQ(box->RecordAt(0)->label, 3);
  EXPECT_EQ(box->RecordAt(1)->label, 7);
  EXPECT_EQ(box->RecordAt(2)->label, 3);
  EXPECT_FALSE(SetLabel(*box, std::vector<int>{0}, 11));
  EXPECT_EQ(box->RecordAt(0)->label, 3);
}

TEST_F(MailboxOperationsTest, JapanTimeDatesTakeTheDateHeaderAfterOk) {
  auto box = MakeBox("box.lp", ThreeMails());
  const std::int32_t old_date = box->RecordAt(1)->date;
  auto lookup = [](CLPOSTDoc&, int index) {
    return index == 0 ? std::string("Thu, 01 Jan 2004 00:00:00 +0000") : std::string();
  };
  EXPECT_FALSE(SetJapanTimeDates(*box, std::vector<int>{0, 1}, lookup));
  EXPECT_EQ(ui_.questions.back().text, store_messages::kAskJapanTime);
  EXPECT_NE(box->RecordAt(0)->date, 1072915200 + 9 * 3600);

  ui_.QueueAnswer(Answer::Ok);
  box->SetModified(false);
  EXPECT_TRUE(SetJapanTimeDates(*box, std::vector<int>{0, 1}, lookup));
  EXPECT_EQ(box->RecordAt(0)->date, 1072915200 + 9 * 3600);
  EXPECT_EQ(box->RecordAt(1)->date, old_date);  // no Date header: unchanged
  EXPECT_TRUE(box->IsModified());
}

// While a question is open the event loop runs and the box may lose a mail
// (here the first, as a send run moves its sent mails away): the answer
// applies to the mail selected when it asked ("b"), not to the one ("c")
// that stands in its row afterwards.
TEST_F(MailboxOperationsTest, AnOperationThatAsksActsOnTheMailSelectedWhenItAsked) {
  profile_.WriteInt("System", "Trash", 1);
  auto trash = MakeBox(kTrash, ThreeMails());
  ui_.QueueAnswer(Answer::Ok);
  ui_.WhileNextDialogIsOpen([&] { (void)trash->RemoveAt(0); });
  EXPECT_TRUE(DeleteMails(*trash, std::vector<int>{1}, registry_));
  EXPECT_EQ(Subjects(*trash), std::vector<std::string>{"c"});

  auto box = MakeBox("box.lp", ThreeMails());
  const std::int32_t old_date = box->RecordAt(2)->date;
  ui_.QueueAnswer(Answer::Ok);
  ui_.WhileNextDialogIsOpen([&] { (void)box->RemoveAt(0); });
  EXPECT_TRUE(SetJapanTimeDates(*box, std::vector<int>{1}, [](CLPOSTDoc&, int) {
    return std::string("Thu, 01 Jan 2004 00:00:00 +0000");
  }));
  ASSERT_EQ(Subjects(*box), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(box->RecordAt(0)->date, 1072915200 + 9 * 3600);
  EXPECT_EQ(box->RecordAt(1)->date, old_date);
}

TEST_F(MailboxOperationsTest, DeleteInTheTrashBoxDeletesForGood) {
  profile_.WriteInt("System", "Trash", 1);
  auto trash = MakeBox(kTrash, ThreeMails());
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(DeleteMails(*trash, std::vector<int>{0, 2}, registry_));
  EXPECT_EQ(Subjects(*trash), std::vector<std::string>{"b"});
  EXPECT_TRUE(trash->IsModified());
  EXPECT_EQ(ui_.questions.front().text, store_messages::kAskDeleteMail);
}

TEST_F(MailboxOperationsTest, DeleteMovesToTheTrashBoxKeepingAttachments) {
  WriteFileBytes(Native("att.txt"), "attachment");
  std::vector<TestMail> mails = ThreeMails();
  mails[1].attachments = AbsolutePath("att.txt");
  BoxHandle box = MakeOpenBox("box.lp", mails);
  box->set_current_index(2);
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(DeleteMails(*box, std::vector<int>{1, 2}, registry_));

  EXPECT_EQ(Subjects(*box), std::vector<std::string>{"a"});
  EXPECT_EQ(box->current_index(), 0);
  auto trash = Reopen(kTrash);
  EXPECT_EQ(Subjects(*trash), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(Texts(*trash), (std::vector<std::string>{mails[1].text, mails[2].text}));
  EXPECT_EQ(ReadFileBytes(Native("att.txt")), "attachment");
  // "ごみ箱へ移動中です..."
  EXPECT_EQ(ui_.progress_captions.back(), "\x82\xB2\x82\xDD\x94\xA0" + std::string(store_messages::kMovingTo));
  // The source's removal is on disk as well.
  EXPECT_EQ(Subjects(*Reopen("box.lp")), std::vector<std::string>{"a"});
}

TEST_F(MailboxOperationsTest, DeleteCancelledChangesNothing) {
  auto box = MakeBox("box.lp", ThreeMails());
  EXPECT_FALSE(DeleteMails(*box, std::vector<int>{0}, registry_));
  EXPECT_EQ(box->Count(), 3);
}

TEST_F(MailboxOperationsTest, DeleteForGoodDisposesOfAttachmentsAsRemoveAttachSays) {
  struct Case {
    int remove_attach;
    Answer answer;
    bool files_remain;
  };
  const std::vector<Case> cases = {
      {1, Answer::No, true}, {1, Answer::Yes, false}, {2, Answer::Ok, false}, {3, Answer::Ok, true}};
  profile_.WriteInt("System", "Trash", 0);
  ASSERT_TRUE(MakeDirectory("Attach"));
  for (const Case& c : cases) {
    profile_.WriteInt("System", "RemoveAttach", c.remove_attach);
    WriteFileBytes(Native("Attach/one.bin"), "1");
    WriteFileBytes(Native("Attach/two.bin"), "2");
    std::vector<TestMail> mails = ThreeMails();
    mails[0].attachments = AbsolutePath("Attach/one.bin") + "\n" + AbsolutePath("Attach/two.bin");
    auto box = MakeBox("box.lp", mails);
    ui_.QueueAnswer(Answer::Ok);
    if (c.remove_attach == 1) ui_.QueueAnswer(c.answer);
    EXPECT_TRUE(DeleteMails(*box, std::vector<int>{0, 1}, registry_));
    EXPECT_EQ(Subjects(*box), std::vector<std::string>{"c"}) << c.remove_attach;
    EXPECT_EQ(PathExists("Attach/one.bin"), c.files_remain) << c.remove_attach;
    EXPECT_EQ(PathExists("Attach/two.bin"), c.files_remain) << c.remove_attach;
    EXPECT_TRUE(box->CompactionWanted());
  }
  EXPECT_EQ(ui_.questions[1].text, store_messages::kAskDeleteAttachments);
}

// Only files that received mail saved into the attachment directory may go:
// a sent mail lists the user's own files, an imported record any path.
TEST_F(MailboxOperationsTest, DeleteForGoodNeverTouchesFilesOutsideTheAttachmentDirectory) {
  profile_.WriteInt("System", "Trash", 0);
  profile_.WriteInt("System", "RemoveAttach", 2);
  ASSERT_TRUE(MakeDirectories("Attach/sub"));
  ASSERT_TRUE(MakeDirectory("Attachments"));
  struct Case {
    std::string attachment;  // as the record lists it
    int status;
    std::string file;  // the file it names, relative to the data directory
    bool removed;
  };
  const std::vector<Case> cases = {
      {AbsolutePath("Attach/own.bin"), kStatusRead, "Attach/own.bin", true},
      {"Attach/own.bin", kStatusUnread, "Attach/own.bin", true},  // relative to the data directory
      {AbsolutePath("user.doc"), kStatusRead, "user.doc", false},
      {AbsolutePath("Attach/../user.doc"), kStatusRead, "user.doc", false},
      {AbsolutePath("Attach/link.doc"), kStatusRead, "user.doc", false},  // a link leading out
      {AbsolutePath("Attachments/x.doc"), kStatusRead, "Attachments/x.doc", false},  // a prefix is no parent
      {AbsolutePath("Attach/sub/x.doc"), kStatusRead, "Attach/sub/x.doc", false},
      {AbsolutePath("Attach/sub"), kStatusRead, "Attach/sub", false},
      {AbsolutePath("Attach/own.bin"), kStatusSent, "Attach/own.bin", false},  // forwarded by the user
      {AbsolutePath("Attach/own.bin"), kStatusUnsent, "Attach/own.bin", false},
  };
  for (const Case& c : cases) {
    for (const char* name : {"Attach/own.bin", "user.doc", "Attachments/x.doc", "Attach/sub/x.doc"}) {
      WriteFileBytes(Native(name), name);
    }
    RemoveFile("Attach/link.doc");
    ASSERT_EQ(::symlink("../user.doc", Native("Attach/link.doc").c_str()), 0);
    std::vector<TestMail> mails = {{"a", "text", c.status}};
    mails[0].attachments = c.attachment;
    auto box = MakeBox("box.lp", mails);
    ui_.QueueAnswer(Answer::Ok);
    EXPECT_TRUE(DeleteMails(*box, std::vector<int>{0}, registry_));
    EXPECT_EQ(box->Count(), 0);
    EXPECT_EQ(!PathExists(c.file), c.removed) << c.attachment;
    EXPECT_TRUE(PathExists("user.doc")) << c.attachment;
  }
  EXPECT_TRUE(IsDirectory("Attach/sub"));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{});
}

TEST_F(MailboxOperationsTest, NoAttachmentQuestionWhenNoFileIsTheProgramsOwn) {
  profile_.WriteInt("System", "Trash", 0);
  profile_.WriteInt("System", "RemoveAttach", 1);
  WriteFileBytes(Native("user.doc"), "mine");
  std::vector<TestMail> mails = {{"a", "text"}};
  mails[0].attachments = AbsolutePath("user.doc") + "\n" + AbsolutePath("Attach/missing.bin");
  auto box = MakeBox("box.lp", mails);
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(DeleteMails(*box, std::vector<int>{0}, registry_));
  ASSERT_EQ(ui_.questions.size(), 1u);  // only "メールを削除しますか？"
  EXPECT_EQ(ReadFileBytes(Native("user.doc")), "mine");
}

TEST_F(MailboxOperationsTest, MoveIntoABoxOpenElsewhereShowsTheMailsThereAtOnce) {
  BoxHandle source = MakeOpenBox("source.lp", ThreeMails());
  BoxHandle destination = MakeOpenBox("dest.lp", {{"z", "already here"}});
  source->set_current_index(1);
  NoticeCounter source_notices;
  NoticeCounter destination_notices;
  source->AddObserver(source_notices);
  destination->AddObserver(destination_notices);

  EXPECT_EQ(MoveTo(*source, std::vector<int>{0, 1}, "dest.lp", registry_), 2u);
  EXPECT_EQ(Subjects(*destination), (std::vector<std::string>{"z", "a", "b"}));
  EXPECT_EQ(Texts(*destination)[2], ThreeMails()[1].text);
  EXPECT_EQ(Subjects(*source), std::vector<std::string>{"c"});
  EXPECT_EQ(source->current_index(), 0);
  EXPECT_EQ(ReadUnreadMark(profile_, destination->PathName()), 1);
  // Views of both boxes hear of rows, never of a reload.
  EXPECT_EQ(destination_notices.inserted, 2);
  EXPECT_EQ(destination_notices.reloads, 0);
  EXPECT_EQ(source_notices.removed, 2);
  EXPECT_EQ(source_notices.removals, 1);
  EXPECT_EQ(source_notices.reloads, 0);
  source->RemoveObserver(source_notices);
  destination->RemoveObserver(destination_notices);
  // An open box saved afterwards keeps the moved mails.
  ASSERT_TRUE(destination->Save().ok);
  EXPECT_EQ(Subjects(*Reopen("dest.lp")), (std::vector<std::string>{"z", "a", "b"}));
}

TEST_F(MailboxOperationsTest, BatchedMoveLeavesTheSameFilesAsCopyingOneByOne) {
  std::vector<TestMail> mails;
  for (int i = 0; i < 20; ++i) {
    mails.push_back({"m" + std::to_string(i), "line one\r\nbare lf\nline " + std::to_string(i), i % 3 == 0});
  }
  auto source = MakeBox("source.lp", mails);
  MakeBox("batch.lp", {{"z", "z"}});
  MakeBox("single.lp", {{"z", "z"}});
  const std::vector<int> selection = {1, 4, 5, 9, 19};
  for (int index : selection) ASSERT_TRUE(CopyRecordTo(*source, *source->RecordAt(index), "single.lp"));
  EXPECT_EQ(MoveTo(*source, selection, "batch.lp", registry_), selection.size());
  EXPECT_EQ(ReadFileBytes(Native("batch.lp")), ReadFileBytes(Native("single.lp")));
  EXPECT_EQ(ReadFileBytes(Native("batch.mb")), ReadFileBytes(Native("single.mb")));
  EXPECT_EQ(source->Count(), 15);
}

TEST_F(MailboxOperationsTest, CopiedLinesEndInCrLfAndLongLinesStayWhole) {
  const std::string long_line(5000, 'x');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a\r\nb", "a\r\nb"},
      {"a\nb\n\nc", "a\r\nb\r\n\r\nc"},
      {long_line + "\r\nend", long_line + "\r\nend"},
      {"cr\ralone", "cr\ralone"},
  };
  for (const auto& [stored, copied] : cases) {
    auto source = MakeBox("source.lp", {{"s", stored}});
    MakeBox("dest.lp", {});
    RemoveFile("dest.mb");
    ASSERT_TRUE(CopyRecordTo(*source, *source->RecordAt(0), "dest.lp"));
    auto destination = Reopen("dest.lp");
    EXPECT_EQ(Texts(*destination), std::vector<std::string>{copied});
  }
}

TEST_F(MailboxOperationsTest, MoveToAnUnloadableIndexKeepsTheMails) {
  auto source = MakeBox("source.lp", ThreeMails());
  WriteFileBytes(Native("bad.lp"), "not an index");
  EXPECT_EQ(MoveTo(*source, std::vector<int>{0}, "bad.lp", registry_), 0u);
  EXPECT_EQ(source->Count(), 3);
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kCannotOpenFile) + "bad.lp");
  EXPECT_EQ(ReadFileBytes(Native("bad.lp")), "not an index");
  // Into the box itself nothing happens.
  EXPECT_EQ(MoveTo(*source, std::vector<int>{0}, "source.lp", registry_), 0u);
  EXPECT_EQ(source->Count(), 3);
}

TEST_F(MailboxOperationsTest, MoveIntoAnOpenBoxThatCannotBeSavedKeepsEveryMailWhereItWas) {
  BoxHandle source = MakeOpenBox("source.lp", ThreeMails());
  BoxHandle destination = MakeOpenBox("dir.lp", {{"z", "z"}});
  RemoveFile("dir.lp");
  ASSERT_TRUE(MakeDirectory("dir.lp"));  // its index can no longer be written
  EXPECT_EQ(MoveTo(*source, std::vector<int>{0, 2}, "dir.lp", registry_), 0u);
  EXPECT_EQ(source->Count(), 3);
  // The open destination does not keep copies that are not on the disk.
  EXPECT_EQ(Subjects(*destination), std::vector<std::string>{"z"});
  EXPECT_FALSE(destination->IsModified());
  ASSERT_EQ(::rmdir(Native("dir.lp").c_str()), 0);
}

TEST_F(MailboxOperationsTest, MoveLeavesOtherOpenBoxesAloneAndRefusesABusyDestination) {
  BoxHandle source = MakeOpenBox("source.lp", ThreeMails());
  MakeBox("dest.lp", {});
  // Another open box that could not even be written is no reason to stop.
  BoxHandle other = MakeOpenBox("other.lp", {});
  RemoveFile("other.lp");
  ASSERT_TRUE(MakeDirectory("other.lp"));
  EXPECT_EQ(MoveTo(*source, std::vector<int>{0, 2}, "dest.lp", registry_), 2u);
  EXPECT_EQ(Subjects(*Reopen("dest.lp")), (std::vector<std::string>{"a", "c"}));
  ASSERT_EQ(::rmdir(Native("other.lp").c_str()), 0);

  // A job on another thread holds the destination: nothing is written.
  BoxHandle busy = MakeOpenBox("busy.lp", {{"z", "z"}});
  const std::string text_before = ReadFileBytes(Native("busy.mb"));
  ASSERT_TRUE(busy->MarkBusy());
  EXPECT_EQ(MoveTo(*source, std::vector<int>{0}, "busy.lp", registry_), 0u);
  busy->ClearBusy();
  EXPECT_EQ(source->Count(), 1);
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kBoxBusy) + AbsolutePath("busy.lp"));
  EXPECT_EQ(ReadFileBytes(Native("busy.mb")), text_before);
}

// A job that writes a box through files of its own (a mail import) holds
// it in the registry, busy, even while no window has it open.
TEST_F(MailboxOperationsTest, AJobHoldsItsBoxBusyUntilItGivesItBackLoaded) {
  BoxHandle source = MakeOpenBox("source.lp", ThreeMails());
  std::string refused;
  std::optional<JobBoxHold> hold = registry_.TakeForJob("job.lp", &refused);
  ASSERT_TRUE(hold) << refused;
  // A window opening it now gets the busy box, and nothing goes into it.
  AcquiredBox window = registry_.Acquire("job.lp");
  ASSERT_TRUE(window.box);
  EXPECT_TRUE(window.box->IsBusy());
  EXPECT_EQ(window.box->Count(), 0);
  NoticeCounter notices;
  window.box->AddObserver(notices);
  EXPECT_EQ(MoveTo(*source, std::vector<int>{0}, "job.lp", registry_), 0u);
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kBoxBusy) + AbsolutePath("job.lp"));
  EXPECT_FALSE(registry_.TakeForJob("job.lp", &refused));

  (void)MakeBox("job.lp", ThreeMails());  // the job's own writing
  hold->GiveBack();
  EXPECT_FALSE(window.box->IsBusy());
  EXPECT_EQ(Subjects(*window.box), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(notices.reloads, 1);
  window.box->RemoveObserver(notices);

  // An open box with changes is saved before a job takes it.
  (void)source->RemoveAt(0);
  ASSERT_TRUE(registry_.TakeForJob("source.lp", &refused));
  EXPECT_EQ(Subjects(*Reopen("source.lp")), (std::vector<std::string>{"b", "c"}));
}

TEST_F(MailboxOperationsTest, AppendFromCopiesTextsAndSavesTheIndex) {
  auto giver = MakeBox("giver.lp", ThreeMails());
  auto box = MakeBox("box.lp", {{"z", "z"}});
  const CMail* records[] = {giver->RecordAt(2), giver->RecordAt(0)};
  EXPECT_TRUE(AppendFrom(*box, records, giver->TextFilePath()));
  auto saved = Reopen("box.lp");
  EXPECT_EQ(Subjects(*saved), (std::vector<std::string>{"z", "c", "a"}));
  EXPECT_EQ(Texts(*saved)[1], ThreeMails()[2].text);
  EXPECT_FALSE(AppendFrom(*box, records, "missing.mb"));
  EXPECT_EQ(box->Count(), 3);
}

TEST_F(MailboxOperationsTest, ImportingTheSameBoxTwiceAddsItsMailsOnce) {
  MakeBox("other.lp", ThreeMails());
  auto box = MakeBox("box.lp", {ThreeMails()[1]});
  box->RecordAt(0)->date = 1001;  // the same mail as "b" of the other box
  EXPECT_TRUE(ImportBoxFile(*box, "other.lp"));
  EXPECT_EQ(Subjects(*box), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_TRUE(ImportBoxFile(*box, "other.lp"));
  EXPECT_EQ(box->Count(), 3);
  EXPECT_EQ(Texts(*box)[1], ThreeMails()[0].text);
  EXPECT_EQ(Texts(*box)[2], ThreeMails()[2].text);
  EXPECT_TRUE(box->IsModified());
}

TEST_F(MailboxOperationsTest, ImportReportsWhichFileCannotBeOpened) {
  MakeBox("other.lp", ThreeMails());
  RemoveFile("other.mb");
  auto box = MakeBox("box.lp", {});
  EXPECT_FALSE(ImportBoxFile(*box, "other.lp"));
  EXPECT_EQ(ui_.messages.back(), store_messages::kImportSourceOpenFailed);
  EXPECT_EQ(box->Count(), 0);
}

TEST_F(MailboxOperationsTest, FolderImportSearchesBoxFoldersRecursively) {
  ASSERT_TRUE(MakeDirectories("import/sub.lp"));
  ASSERT_TRUE(MakeDirectory("import/plain"));
  MakeBox("import/one.lp", {ThreeMails()[0]});
  MakeBox("import/sub.lp/two.lp", {ThreeMails()[1]});
  MakeBox("import/plain/three.lp", {ThreeMails()[2]});
  auto inbox = MakeBox(kInbox, {});
  EXPECT_EQ(ImportBoxFolder(*inbox, "import"), 2);
  EXPECT_EQ(Subjects(*inbox), (std::vector<std::string>{"a", "b"}));
}

TEST_F(MailboxOperationsTest, ImportCommandAsksForTheBoxFile) {
  MakeBox("other.lp", ThreeMails());
  auto box = MakeBox("box.lp", {});
  EXPECT_FALSE(ImportBoxFileCommand(*box));
  ui_.QueueFile("other.lp");
  EXPECT_TRUE(ImportBoxFileCommand(*box));
  EXPECT_EQ(box->Count(), 3);
}

TEST_F(MailboxOperationsTest, EmptyTrashLeavesTheZeroCountAndAnEmptyTextFile) {
  ASSERT_TRUE(MakeDirectory("Attach"));
  WriteFileBytes(Native("Attach/att.bin"), "x");
  WriteFileBytes(Native("user.doc"), "mine");
  std::vector<TestMail> mails = ThreeMails();
  mails[0].attachments = AbsolutePath("Attach/att.bin");
  mails[1].attachments = AbsolutePath("user.doc");
  profile_.WriteInt("System", "RemoveAttach", 2);
  BoxHandle trash = MakeOpenBox(kTrash, mails);

  EXPECT_FALSE(EmptyTrash(profile_, ui_, registry_));
  EXPECT_EQ(trash->Count(), 3);
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(EmptyTrash(profile_, ui_, registry_));
  EXPECT_EQ(ReadFileBytes(Native(kTrash)), std::string("\x00\x00", 2));
  EXPECT_EQ(ReadFileBytes(Native("\x82\xB2\x82\xDD\x94\xA0.mb")), "");
  EXPECT_FALSE(PathExists("Attach/att.bin"));
  EXPECT_EQ(ReadFileBytes(Native("user.doc")), "mine");
  EXPECT_EQ(trash->Count(), 0);  // emptied in place
  EXPECT_EQ(ui_.messages.back(), store_messages::kDeleteCompleted);
  EXPECT_EQ(ui_.questions.back().text, store_messages::kAskEmptyTrash);
}

TEST_F(MailboxOperationsTest, EnsureFixedBoxesCreatesTheBoxesTheSettingsAskFor) {
  struct Case {
    int smail_done, trash, draft;
    bool sent_exists, trash_exists, draft_exists;
  };
  const std::vector<Case> cases = {{0, 1, 1, false, true, true}, {1, 0, 0, true, false, false}};
  const std::string sent = "\x91\x97\x90\x4D\x8D\xCF\x82\xDD.lp";   // 送信済み.lp
  const std::string draft = "\x89\xBA\x8F\x91\x82\xAB.lp";            // 下書き.lp
  for (const Case& c : cases) {
    for (const std::string& name : {sent, kTrash, draft}) RemoveFile(name);
    profile_.WriteInt("System", "SmailDone", c.smail_done);
    profile_.WriteInt("System", "Trash", c.trash);
    profile_.WriteInt("System", "Draft", c.draft);
    EnsureFixedBoxes(profile_);
    EXPECT_EQ(PathExists(sent), c.sent_exists);
    EXPECT_EQ(PathExists(kTrash), c.trash_exists);
    EXPECT_EQ(PathExists(draft), c.draft_exists);
  }
  // An existing box is left as it is.
  WriteFileBytes(Native(kTrash), std::string("\x00\x00", 2));
  profile_.WriteInt("System", "Trash", 1);
  EnsureFixedBoxes(profile_);
  EXPECT_EQ(ReadFileBytes(Native(kTrash)).size(), 2u);
  EXPECT_EQ(TrashBoxPath(profile_), JoinPath(CurrentDirectory(), kTrash));
}

}  // namespace
}  // namespace lp
