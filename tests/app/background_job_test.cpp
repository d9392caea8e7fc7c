#include <filesystem>
#include <functional>
#include <memory>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/background_job.h"
#include "app/box_jobs.h"
#include "codec/spool_analyser.h"
#include "store/compaction.h"
#include "store/compaction_journal.h"
#include "tests/store/mailbox_test_boxes.h"
#include "tests/support/case_name.h"
#include "tests/support/sample_spool.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TestMail;

constexpr char kSpool[] = "inbox.log";

std::vector<TestMail> NumberedMails(int count) {
  std::vector<TestMail> mails;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    mails.push_back({"mail " + n, "Subject: mail " + n + "\r\nFrom: a" + n + "@example.jp\r\n\r\n" +
                                      std::string(200 + i * 13 % 500, static_cast<char>('a' + i % 26))});
  }
  return mails;
}

// The fields a mail list shows and the stored text of every record.
struct BoxContent {
  std::vector<std::string> subjects;
  std::vector<std::string> froms;
  std::vector<std::string> attachment_names;
  std::vector<std::string> texts;
  bool operator==(const BoxContent&) const = default;
};

BoxContent ContentOf(CLPOSTDoc& box) {
  const std::string text_file = ReadFileBytes(ToNativePath(box.TextFilePath()));
  BoxContent content;
  for (int i = 0; i < box.Count(); ++i) {
    const CMail& mail = *box.RecordAt(i);
    content.subjects.push_back(mail.subject);
    content.froms.push_back(mail.from);
    std::string names;
    for (std::size_t at = 0; at < mail.attachments.size();) {
      std::size_t end = mail.attachments.find('\n', at);
      if (end == std::string::npos) end = mail.attachments.size();
      names += std::filesystem::path(mail.attachments.substr(at, end - at)).filename().string() + ";";
      at = end + 1;
    }
    content.attachment_names.push_back(names);
    content.texts.push_back(text_file.substr(mail.text_start, mail.text_end - mail.text_start));
  }
  return content;
}

// Shows every mail as the read view does and gives the stored text each
// showing read.
std::vector<std::string> ShownTexts(CLPOSTDoc& box) {
  std::vector<std::string> texts;
  for (int i = 0; i < box.Count(); ++i) {
    (void)box.DisplayText(i, HeaderMode::FromSetting, 0);
    texts.push_back(box.text_buffer());
  }
  return texts;
}

// Holds a job's work back until the owning thread lets it go, so that the
// test decides what the owner does while the job is surely running.
class Gate {
 public:
  JobWork Hold(JobWork work) {
    return [this, work = std::move(work)](JobProgress& progress) {
      started_.release();
      proceed_.acquire();
      return work(progress);
    };
  }
  void WaitUntilStarted() { started_.acquire(); }
  void Open() { proceed_.release(); }

 private:
  std::binary_semaphore started_{0};
  std::binary_semaphore proceed_{0};
};

class BackgroundJobTest : public testing::BoxTest {
 protected:
  void WriteSpool(int messages) { ASSERT_GT(testing::WriteSampleSpool(Native(kSpool), messages), 0u); }
  std::size_t AttachmentFiles(const std::string& directory) {
    const std::filesystem::path path = Native(directory);
    if (!std::filesystem::exists(path)) return 0;
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path), {}));
  }
};

TEST_F(BackgroundJobTest, AnalysisOnAWorkerWhileTheOwnerReadsAnotherBox) {
  WriteSpool(300);
  // What the same analysis gives on the owning thread.
  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "AttachReference"));
  auto reference = MakeBox("reference.lp", {});
  ASSERT_EQ(AnalyseSpool(*reference, kSpool), 300);
  const BoxContent expected = ContentOf(*reference);

  auto other = MakeBox("other.lp", NumberedMails(200));
  const std::vector<std::string> other_texts = ShownTexts(*other);
  ASSERT_EQ(other_texts.back(), Texts(*other).back());

  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "AttachJob"));
  auto inbox = MakeBox("inbox.lp", {});
  std::unique_ptr<BackgroundJob> job = BackgroundJob::Start(*inbox, AnalyseSpoolWork(*inbox, kSpool));
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(inbox->IsBusy());
  int rounds = 0;
  do {
    auto reader = NewDoc();
    ASSERT_TRUE(reader->Open("other.lp").ok);
    ASSERT_TRUE(ShownTexts(*reader) == other_texts) << "round " << rounds;
    ++rounds;
  } while (!job->IsFinished());
  const JobResult result = job->Finish();

  EXPECT_EQ(result.outcome, JobOutcome::Done);
  EXPECT_EQ(result.count, 300);
  EXPECT_TRUE(result.message.empty());
  EXPECT_FALSE(inbox->IsBusy());
  EXPECT_TRUE(ContentOf(*inbox) == expected) << "the analysis on the worker differs";
  EXPECT_EQ(AttachmentFiles("AttachJob"), AttachmentFiles("AttachReference"));
  const JobProgress::Snapshot progress = job->progress().Read();
  EXPECT_EQ(progress.upper, static_cast<int>(std::filesystem::file_size(Native(kSpool)) / 1024));
  EXPECT_GT(progress.position, progress.upper / 2);
  EXPECT_LE(progress.position, progress.upper);
  EXPECT_GE(rounds, 1);
}

// Each long operation, cancelled by the owner while it runs, leaves the box
// and its files exactly as they were.
struct CancelCase {
  const char* name;
  std::function<JobWork(CLPOSTDoc&)> work;
};

class CancelledJobTest : public BackgroundJobTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelledJobTest, LeavesTheBoxAsItWas) {
  WriteSpool(200);
  auto box = MakeBox("box.lp", NumberedMails(300));
  ASSERT_TRUE(box->StoreText(0, "replaced: the old block is dead space"));
  box->NoteCompactionWanted();
  ASSERT_TRUE(box->Save().ok);
  const BoxContent before = ContentOf(*box);
  std::vector<std::uint32_t> offsets;
  for (int i = 0; i < box->Count(); ++i) offsets.push_back(box->RecordAt(i)->text_start);
  const std::string text_file = ReadFileBytes(Native("box.mb"));

  Gate gate;
  std::unique_ptr<BackgroundJob> job = BackgroundJob::Start(*box, gate.Hold(GetParam().work(*box)));
  ASSERT_NE(job, nullptr);
  gate.WaitUntilStarted();
  job->progress().RequestCancel();
  gate.Open();
  const JobResult result = job->Finish();

  EXPECT_EQ(result.outcome, JobOutcome::Cancelled);
  EXPECT_TRUE(result.message.empty());
  EXPECT_FALSE(box->IsModified());
  EXPECT_TRUE(ContentOf(*box) == before) << "the records changed";
  for (int i = 0; i < box->Count(); ++i) EXPECT_EQ(box->RecordAt(i)->text_start, offsets[static_cast<std::size_t>(i)]);
  EXPECT_TRUE(ReadFileBytes(Native("box.mb")) == text_file) << "the text file changed";
  EXPECT_EQ(AttachmentFiles("Attach"), 0u);
  EXPECT_FALSE(PathExists(CompactionWorkTextPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, CancelledJobTest,
    ::testing::Values(CancelCase{"Analysis", [](CLPOSTDoc& box) { return AnalyseSpoolWork(box, kSpool); }},
                      CancelCase{"Compaction", [](CLPOSTDoc& box) { return CompactWork(box); }},
                      CancelCase{"Sort", [](CLPOSTDoc& box) { return SortWork(box, 2); }}),
    testing::CaseName<CancelCase>);

// Records the notices of a box and the thread each came on.
class NoticeRecorder : public MailboxObserver {
 public:
  void RecordsInserted(const CLPOSTDoc&, int, int) override { Note("inserted"); }
  void AboutToReload(const CLPOSTDoc&) override { Note("about to reload"); }
  void Reloaded(const CLPOSTDoc&) override { Note("reloaded"); }
  void BusyChanged(const CLPOSTDoc&, bool busy) override { Note(busy ? "busy" : "free"); }

  std::vector<std::string> notices;
  std::vector<std::thread::id> threads;

 private:
  void Note(const char* notice) {
    notices.emplace_back(notice);
    threads.push_back(std::this_thread::get_id());
  }
};

TEST_F(BackgroundJobTest, BusyBoxRefusesASecondJobAndTellsItsObserversOnTheOwningThread) {
  WriteSpool(20);
  auto box = MakeBox("box.lp", {});
  NoticeRecorder recorder;
  box->AddObserver(recorder);

  Gate gate;
  std::binary_semaphore finished{0};
  std::unique_ptr<BackgroundJob> job =
      BackgroundJob::Start(*box, gate.Hold(AnalyseSpoolWork(*box, kSpool)), [&finished] { finished.release(); });
  ASSERT_NE(job, nullptr);
  gate.WaitUntilStarted();
  EXPECT_TRUE(box->IsBusy());
  EXPECT_EQ(BackgroundJob::Start(*box, SortWork(*box, 0)), nullptr);
  EXPECT_EQ(recorder.notices, std::vector<std::string>{"busy"});
  gate.Open();
  finished.acquire();
  EXPECT_TRUE(job->IsFinished());
  EXPECT_TRUE(box->IsBusy()) << "the box is given back by Finish on the owning thread";
  const JobResult result = job->Finish();
  box->RemoveObserver(recorder);

  EXPECT_EQ(result.count, 20);
  EXPECT_EQ(box->Count(), 20);
  EXPECT_FALSE(box->IsBusy());
  EXPECT_EQ(recorder.notices, (std::vector<std::string>{"busy", "about to reload", "reloaded", "free"}));
  for (const std::thread::id& thread : recorder.threads) EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST_F(BackgroundJobTest, CompactionGivesWayToOneHoldingTheWorkFilesAndRunsAfterwards) {
  auto box = MakeBox("box.lp", NumberedMails(50));
  ASSERT_TRUE(box->StoreText(0, "replaced"));
  box->NoteCompactionWanted();
  const BoxContent before = ContentOf(*box);
  const std::size_t size_before = ReadFileBytes(Native("box.mb")).size();

  {
    const std::unique_lock held = TryLockCompactionWorkFiles();
    ASSERT_TRUE(held.owns_lock());
    const JobResult refused = BackgroundJob::Start(*box, CompactWork(*box))->Finish();
    EXPECT_EQ(refused.outcome, JobOutcome::Failed);
    EXPECT_TRUE(box->CompactionWanted());
    EXPECT_EQ(ReadFileBytes(Native("box.mb")).size(), size_before);
  }
  const JobResult done = BackgroundJob::Start(*box, CompactWork(*box))->Finish();
  EXPECT_EQ(done.outcome, JobOutcome::Done);
  EXPECT_FALSE(box->CompactionWanted());
  EXPECT_LT(ReadFileBytes(Native("box.mb")).size(), size_before);
  EXPECT_TRUE(ContentOf(*box) == before) << "compaction changed the texts";
  EXPECT_TRUE(ContentOf(*Reopen("box.lp")) == before) << "the saved index does not match";
}

}  // namespace
}  // namespace lp
