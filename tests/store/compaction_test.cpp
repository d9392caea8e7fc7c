#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "store/compaction.h"
#include "store/compaction_journal.h"
#include "store/mail_transfer.h"
#include "store/offset_check.h"
#include "store/open_box_registry.h"
#include "store/store_messages.h"
#include "store/trash_box.h"
#include "tests/store/mailbox_test_boxes.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TestMail;
using testing::WriteFileBytes;

std::vector<TestMail> SomeMails(int count) {
  std::vector<TestMail> mails;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    mails.push_back({"s" + n, "+OK\r\nSubject: s" + n + "\r\n\r\n" + std::string(100 + i * 37, 'a' + i % 26),
                     i % 2});
  }
  return mails;
}

class CompactionTest : public testing::BoxTest {};

TEST_F(CompactionTest, CompactedTextHoldsTheBlocksInRecordOrder) {
  auto box = MakeBox("box.lp", SomeMails(6));
  // Dead space: a replaced text, a removed record, and a reordering.
  ASSERT_TRUE(box->StoreText(1, "replaced text"));
  box->RemoveAt(3);
  std::swap(*box->RecordAt(0), *box->RecordAt(4));
  const std::vector<std::string> texts = Texts(*box);
  std::string expected;
  for (int i = 0; i < box->Count(); ++i) {
    const CMail& record = *box->RecordAt(i);
    expected += ReadFileBytes(Native("box.mb")).substr(record.text_start, record.text_end - record.text_start);
  }
  box->NoteCompactionWanted();
  box->SetModified(false);

  ASSERT_TRUE(Compact(*box));
  EXPECT_EQ(ReadFileBytes(Native("box.mb")), expected);
  EXPECT_EQ(Texts(*box), texts);
  EXPECT_EQ(box->RecordAt(0)->text_start, 0u);
  EXPECT_EQ(box->RecordAt(box->Count() - 1)->text_end, expected.size());
  EXPECT_TRUE(box->IsModified());
  EXPECT_FALSE(box->CompactionWanted());
  EXPECT_EQ(Texts(*Reopen("box.lp")), texts);  // the index on disk matches
  EXPECT_FALSE(PathExists("mbwork.$$$"));
  EXPECT_FALSE(PathExists(CompactionJournalPath()));
  EXPECT_EQ(ui_.progress_captions.back(), "box");
}

TEST_F(CompactionTest, FileErrorShowsTheTextAndLeavesTheBoxAlone) {
  auto box = MakeBox("box.lp", SomeMails(3));
  const std::uint32_t end = box->RecordAt(2)->text_end;
  RemoveFile("box.mb");
  box->NoteCompactionWanted();
  EXPECT_FALSE(Compact(*box));
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kFileOpenFailed) + ":" + box->TextFilePath());
  EXPECT_EQ(box->RecordAt(2)->text_end, end);
  EXPECT_TRUE(box->CompactionWanted());
  EXPECT_FALSE(PathExists("mbwork.$$$"));
}

TEST_F(CompactionTest, CancelLeavesTheBoxAlone) {
  auto box = MakeBox("box.lp", SomeMails(3));
  ASSERT_TRUE(box->StoreText(0, "new"));
  const std::string text = ReadFileBytes(Native("box.mb"));
  const std::uint32_t start = box->RecordAt(1)->text_start;
  ui_.CancelProgressAfter(0);
  EXPECT_FALSE(Compact(*box));
  EXPECT_EQ(ReadFileBytes(Native("box.mb")), text);
  EXPECT_EQ(box->RecordAt(1)->text_start, start);
  EXPECT_FALSE(PathExists("mbwork.$$$"));
}

TEST_F(CompactionTest, ClosingCompactsOnlyWhenAutoCompactIsOn) {
  for (int auto_compact : {1, 0}) {
    RemoveFile("box.mb");
    auto box = MakeBox("box.lp", SomeMails(3));
    profile_.WriteInt("AutoCompact", box->PathName(), auto_compact);
    InstallAutoCompact(*box);
    ASSERT_TRUE(box->StoreText(0, "new text"));
    EXPECT_EQ(box->CompactionWanted(), auto_compact == 1);
    const std::uint64_t before = ReadFileBytes(Native("box.mb")).size();
    ASSERT_TRUE(box->CloseRequest().ok);
    const std::uint64_t after = ReadFileBytes(Native("box.mb")).size();
    EXPECT_EQ(after < before, auto_compact == 1);
    EXPECT_EQ(Texts(*Reopen("box.lp"))[0], "new text");
  }
}

TEST_F(CompactionTest, CheckOffsetsMovesStartsToTheFirstPlusOrX) {
  struct Case {
    std::string block_prefix;
    std::uint32_t shift;
  };
  const std::vector<Case> cases = {
      {"\r\n.", 3}, {"", 0}, {"abcdefghijklmnopqrstu", 0}, {"\r\n", 2}, {"  ", 2}};
  for (const Case& c : cases) {
    RemoveFile("box.mb");
    auto box = MakeBox("box.lp", {});
    WriteFileBytes(Native("box.mb"), c.block_prefix + "+OK\r\nX-Mailer: x\r\n.\r\n");
    auto record = std::make_unique<CMail>();
    record->text_end = static_cast<std::uint32_t>(ReadFileBytes(Native("box.mb")).size());
    box->Add(std::move(record));
    box->SetModified(false);
    EXPECT_TRUE(CheckOffsets(*box));
    const std::uint32_t expected =
        c.block_prefix.size() > 19 ? 0 : static_cast<std::uint32_t>(c.block_prefix.size());
    EXPECT_EQ(box->RecordAt(0)->text_start, expected) << c.block_prefix;
    EXPECT_EQ(expected, c.shift);
    EXPECT_FALSE(box->IsModified());
  }
  RemoveFile("box.mb");
  auto box = MakeBox("box.lp", {});
  EXPECT_FALSE(CheckOffsets(*box));
  EXPECT_EQ(ui_.messages.back(), store_messages::kTargetBoxOpenFailed);
}

TEST_F(CompactionTest, OpeningFinishesOrUndoesAnInterruptedCompaction) {
  auto box = MakeBox("box.lp", SomeMails(4));
  box->RemoveAt(1);
  ASSERT_TRUE(box->Save().ok);
  const std::vector<std::string> texts = Texts(*box);
  const std::string old_text = ReadFileBytes(Native("box.mb"));
  const std::string old_index = ReadFileBytes(Native("box.lp"));

  // Complete work files named by the journal: rolled forward.
  std::string compacted;
  CompactionJournal journal;
  {
    auto work = MakeBox("work.lp", {});
    for (int i = 0; i < box->Count(); ++i) {
      const CMail& record = *box->RecordAt(i);
      auto copy = std::make_unique<CMail>(record);
      copy->text_start = static_cast<std::uint32_t>(compacted.size());
      compacted += old_text.substr(record.text_start, record.text_end - record.text_start);
      copy->text_end = static_cast<std::uint32_t>(compacted.size());
      work->Add(std::move(copy));
    }
    ASSERT_TRUE(work->Save(CompactionWorkIndexPath()).ok);
  }
  WriteFileBytes(Native("mbwork.$$$"), compacted);
  journal.index_path = box->PathName();
  journal.text_path = box->TextFilePath();
  journal.work_text_path = CompactionWorkTextPath();
  journal.work_text_size = compacted.size();
  journal.work_index_path = CompactionWorkIndexPath();
  journal.work_index_size = ReadFileBytes(Native("mbindex.$$$")).size();
  const std::string new_index = ReadFileBytes(Native("mbindex.$$$"));
  ASSERT_TRUE(WriteCompactionJournal(journal));

  // A journal for another box is left alone.
  EXPECT_EQ(RecoverInterruptedCompaction("other.lp"), CompactionRecovery::NothingPending);
  auto reopened = Reopen("box.lp");
  EXPECT_EQ(Texts(*reopened), texts);
  EXPECT_EQ(ReadFileBytes(Native("box.mb")), compacted);
  EXPECT_EQ(ReadFileBytes(Native("box.lp")), new_index);
  EXPECT_FALSE(PathExists(CompactionJournalPath()));

  // Incomplete work files: rolled back, the box stays as it was.
  WriteFileBytes(Native("box.mb"), old_text);
  WriteFileBytes(Native("box.lp"), old_index);
  WriteFileBytes(Native("mbwork.$$$"), compacted.substr(0, 10));
  WriteFileBytes(Native("mbindex.$$$"), new_index);
  ASSERT_TRUE(WriteCompactionJournal(journal));
  EXPECT_EQ(RecoverInterruptedCompaction("box.lp"), CompactionRecovery::RolledBack);
  EXPECT_EQ(ReadFileBytes(Native("box.mb")), old_text);
  EXPECT_EQ(ReadFileBytes(Native("box.lp")), old_index);
  EXPECT_FALSE(PathExists("mbwork.$$$"));
  EXPECT_FALSE(PathExists("mbindex.$$$"));
  EXPECT_FALSE(PathExists(CompactionJournalPath()));
}

TEST_F(CompactionTest, WaitsWhileAnEarlierCompactionCannotBePutInPlace) {
  auto box = MakeBox("box.lp", SomeMails(2));
  // Complete work files of another box whose text path cannot be replaced.
  ASSERT_TRUE(MakeDirectory("stuck.mb"));
  WriteFileBytes(Native("mbwork.$$$"), "text");
  WriteFileBytes(Native("mbindex.$$$"), std::string("\x00\x00", 2));
  CompactionJournal journal;
  journal.index_path = AbsolutePath("stuck.lp");
  journal.text_path = AbsolutePath("stuck.mb");
  journal.work_text_path = CompactionWorkTextPath();
  journal.work_text_size = 4;
  journal.work_index_path = CompactionWorkIndexPath();
  journal.work_index_size = 2;
  ASSERT_TRUE(WriteCompactionJournal(journal));

  const std::string text_before = ReadFileBytes(Native("box.mb"));
  EXPECT_FALSE(Compact(*box));
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kCompactRenameFailed1) + AbsolutePath("stuck.mb") +
                                     store_messages::kCompactRenameFailed2);
  EXPECT_EQ(ReadFileBytes(Native("mbwork.$$$")), "text");  // still there for the user
  EXPECT_EQ(ReadFileBytes(Native("box.mb")), text_before);
}

// Crash safety: the operation runs in a child process that ends itself
// (as a crash would) just before its n-th file step, for every n until the
// operation completes; each time, the boxes as a fresh start opens them
// must hold every mail at least once with its text intact, and no record
// may point at bytes that are not its mail's text.
class CrashSafetyTest : public testing::BoxTest {
 protected:
  static constexpr int kCrashed = 17;
  static constexpr int kCompleted = 23;

  // Runs `operation` in a child that ends before step `n`; true when the
  // child got through every step.
  static bool RunUntilStep(int n, const std::function<void(const WriteStepHook&)>& operation) {
    const pid_t child = fork();
    if (child == 0) {
      int step = 0;
      operation([&](std::string_view) {
        if (++step == n) _exit(kCrashed);
      });
      _exit(kCompleted);
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(WEXITSTATUS(status) == kCrashed || WEXITSTATUS(status) == kCompleted);
    return WEXITSTATUS(status) == kCompleted;
  }

  // Every text of `boxes` is one of the mails, and every mail is there.
  void ExpectEveryMailIntact(const std::vector<std::string>& boxes, const std::vector<TestMail>& mails, int n) {
    std::map<std::string, int> seen;
    for (const TestMail& mail : mails) seen[mail.text] = 0;
    for (const std::string& name : boxes) {
      auto doc = NewDoc();
      ASSERT_TRUE(doc->Open(name).ok) << name << " at step " << n;
      for (const std::string& text : Texts(*doc)) {
        auto it = seen.find(text);
        ASSERT_NE(it, seen.end()) << name << " at step " << n << " has wrong bytes";
        ++it->second;
      }
    }
    for (const auto& [text, count] : seen) EXPECT_GE(count, 1) << "lost at step " << n;
    EXPECT_FALSE(PathExists(CompactionJournalPath())) << n;
  }

  void Reset() {
    for (const std::string& name : {std::string("a.lp"), std::string("a.mb"), std::string("b.lp"),
                                    std::string("b.mb"), std::string("mbwork.$$$"), std::string("mbindex.$$$"),
                                    std::string("mbjournal.$$$"), kTrash, kTrashText}) {
      RemoveFile(name);
    }
  }

  // Writes the boxes for one run and returns the operation on them.
  using Operation = std::function<void(const WriteStepHook&)>;
  using Scenario = std::function<Operation()>;

  // Runs the operation with a crash before step 1, 2, ... until it gets
  // through, checking the boxes after each run; returns the number of runs.
  int CrashAtEveryStep(const Scenario& prepare, const std::function<void(int)>& check) {
    int n = 1;
    for (bool done = false; !done; ++n) {
      Reset();
      done = RunUntilStep(n, prepare());
      check(n);
      if (n >= 100) ADD_FAILURE() << "the operation never completes";
      if (n >= 100 || ::testing::Test::HasFatalFailure()) break;
    }
    return n;
  }

  const std::string kTrash = "\x82\xB2\x82\xDD\x94\xA0.lp";  // ごみ箱.lp
  const std::string kTrashText = "\x82\xB2\x82\xDD\x94\xA0.mb";
};

TEST_F(CrashSafetyTest, CompactionLosesNothingAtAnyStep) {
  const std::vector<TestMail> mails = SomeMails(5);
  const int runs = CrashAtEveryStep(
      [&] {
        std::shared_ptr<CLPOSTDoc> box = MakeBox("a.lp", mails);
        EXPECT_TRUE(box->StoreText(2, mails[2].text));  // dead space
        EXPECT_TRUE(box->Save().ok);
        return [box](const WriteStepHook& hook) { Compact(*box, hook); };
      },
      [&](int n) { ExpectEveryMailIntact({"a.lp"}, mails, n); });
  EXPECT_GT(runs, 8);
  std::uint64_t live_bytes = 0;
  for (const TestMail& mail : mails) live_bytes += mail.text.size() + 5;
  EXPECT_EQ(FileSize("a.mb"), live_bytes);  // compacted in the end
}

TEST_F(CrashSafetyTest, MoveLosesNothingAtAnyStep) {
  const std::vector<TestMail> mails = SomeMails(6);
  CrashAtEveryStep(
      [&] {
        (void)MakeBox("a.lp", {mails.begin(), mails.begin() + 4});
        (void)MakeBox("b.lp", {mails.begin() + 4, mails.end()});
        return [this](const WriteStepHook& hook) {
          OpenBoxRegistry registry(profile_, ui_, commands_);
          BoxHandle source = registry.Acquire("a.lp").box;
          BoxHandle destination = registry.Acquire("b.lp").box;  // open elsewhere as well
          TransferOptions options;
          options.steps = hook;
          MoveTo(*source, std::vector<int>{0, 2, 3}, "b.lp", registry, options);
        };
      },
      [&](int n) { ExpectEveryMailIntact({"a.lp", "b.lp"}, mails, n); });
  // After the last step each mail is in exactly one box.
  EXPECT_EQ(Reopen("a.lp")->Count() + Reopen("b.lp")->Count(), 6);
}

TEST_F(CrashSafetyTest, AppendFromLosesNothingAtAnyStep) {
  const std::vector<TestMail> mails = SomeMails(5);
  CrashAtEveryStep(
      [&] {
        std::shared_ptr<CLPOSTDoc> giver = MakeBox("a.lp", mails);
        std::shared_ptr<CLPOSTDoc> box = MakeBox("b.lp", {});
        return [giver, box](const WriteStepHook& hook) {
          std::vector<const CMail*> records;
          for (int i = 0; i < giver->Count(); ++i) records.push_back(giver->RecordAt(i));
          AppendFrom(*box, records, giver->TextFilePath(), hook);
          // The giver drops them only after the append returned.
          while (giver->Count() > 0) giver->RemoveAt(0);
          hook("save giver");
          (void)giver->Save();
        };
      },
      [&](int n) { ExpectEveryMailIntact({"a.lp", "b.lp"}, mails, n); });
}

TEST_F(CrashSafetyTest, EmptyTrashLeavesAConsistentBoxAtAnyStep) {
  const std::vector<TestMail> mails = SomeMails(3);
  CrashAtEveryStep(
      [&] {
        MakeBox(kTrash, mails);
        return [this](const WriteStepHook& hook) {
          RecordingUserInterface ui;
          OpenBoxRegistry registry(profile_, ui, commands_);
          ui.QueueAnswer(Answer::Ok);
          EmptyTrash(profile_, ui, registry, hook);
        };
      },
      [&](int n) {
        // All of the trash or none of it, never wrong bytes.
        const std::vector<std::string> texts = Texts(*Reopen(kTrash));
        if (texts.empty()) return;
        ASSERT_EQ(texts.size(), mails.size()) << n;
        for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i], mails[i].text) << n;
      });
  EXPECT_EQ(Reopen(kTrash)->Count(), 0);
}

}  // namespace
}  // namespace lp
