#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/lock_holder_process.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::CliResult;
using testing::LockHolderProcess;
using testing::RunCli;
using testing::TempDirectory;

class CliLockTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0); }

  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");
};

TEST_F(CliLockTest, AWriterWaitsThenGivesUpWhileReadersGoOn) {
  LockHolderProcess holder(data_);
  ASSERT_EQ(holder.report(), "locked");

  CliResult writer = RunCli(scratch_, data_, {"sort", "受信.lp", "date"});
  EXPECT_EQ(writer.status, 4);
  EXPECT_EQ(writer.out, "");
  EXPECT_EQ(writer.err, "lanternpost-cli: the data directory " + data_ + " is in use by process " +
                            std::to_string(holder.pid()) + " (lock-holder); gave up after 3 seconds\n");

  for (const char* reader : {"list", "boxes", "accounts"}) {
    CliResult result = RunCli(scratch_, data_, {reader});
    EXPECT_EQ(result.status, 0) << reader << ": " << result.err;
  }
}

TEST_F(CliLockTest, SearchAndExportWaitForTheLockLikeEveryWriter) {
  LockHolderProcess holder(data_);
  ASSERT_EQ(holder.report(), "locked");
  const std::vector<std::vector<std::string>> walks = {{"search", "--all", "x"},
                                                       {"export", "x", "--to", scratch_.File("out.txt")}};
  for (const std::vector<std::string>& walk : walks) {
    EXPECT_EQ(RunCli(scratch_, data_, walk).status, 4) << walk[0];
  }
  EXPECT_FALSE(std::filesystem::exists(scratch_.File("out.txt")));
}

TEST_F(CliLockTest, AKilledWriterNeverLeavesTheDirectoryLocked) {
  LockHolderProcess holder(data_);
  ASSERT_EQ(holder.report(), "locked");
  holder.Kill();
  CliResult writer = RunCli(scratch_, data_, {"sort", "受信.lp", "date"});
  EXPECT_EQ(writer.status, 0) << writer.err;
  EXPECT_EQ(writer.err, "");
}

}  // namespace
}  // namespace lp
