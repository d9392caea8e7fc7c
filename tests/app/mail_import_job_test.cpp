#include "app/mail_import_job.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/code_page.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

class MailImportJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string mbox;
    for (int i = 0; i < 3; ++i) {
      mbox += "From a@b Mon Jun  2 10:00:00 2025\nMessage-ID: <" + std::to_string(i) +
              "@x>\nDate: Mon, 2 Jun 2025 10:00:00 +0900\nSubject: n\n\nbody\n\n";
    }
    testing::WriteFileBytes(source_.File("Archive"), mbox);
    request_.native_source = source_.path();
    request_.destination = "Old.lp";
  }

  JobResult Run(JobProgress& progress) {
    const JobWork work = MailImportWork(request_, ScanMailSource(source_.path()), profile_, ui_, report_);
    return RunJobWork(work, progress);
  }

  testing::TempDirectory data_{true};
  testing::TempDirectory source_;
  Profile profile_{data_.File("lpost.conf")};
  RecordingUserInterface ui_;
  MailImportRequest request_;
  MailImportReport report_;
};

TEST_F(MailImportJobTest, RunsOnTheWorkerAndCarriesTheReportHome) {
  JobProgress progress;
  const JobResult result = Run(progress);
  EXPECT_EQ(result.outcome, JobOutcome::Done);
  EXPECT_EQ(result.count, 3);
  EXPECT_EQ(report_.boxes.size(), 1u);
  // The last line is the summary.
  EXPECT_TRUE(result.message.ends_with(Utf8ToCp932("取り込み: 3通"))) << result.message;
  const JobProgress::Snapshot shown = progress.Read();
  EXPECT_EQ(shown.upper, 1000);
  EXPECT_FALSE(shown.status_text.empty());
}

TEST_F(MailImportJobTest, CancelledBeforeTheFirstMessageImportsNothing) {
  JobProgress progress;
  progress.RequestCancel();
  const JobResult result = Run(progress);
  EXPECT_EQ(result.outcome, JobOutcome::Cancelled);
  EXPECT_EQ(result.count, 0);
  EXPECT_TRUE(report_.cancelled);
}

}  // namespace
}  // namespace lp
