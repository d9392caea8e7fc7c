#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "config/account_table.h"
#include "config/profile.h"
#include "platform/file_system.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

class CliAccountsTest : public ::testing::Test {
 protected:
  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");

  void SetUp() override { ASSERT_TRUE(MakeDirectory(FromNativePath(data_))); }
};

TEST_F(CliAccountsTest, OneLinePerAccountWithTheCurrentMarked) {
  WriteFileBytes(data_ + "/lpost.conf",
                 ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/accounts_saved_layout.conf"));
  auto result = RunCli(scratch_, data_, {"accounts"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            " \t0\t会社\tpop.example.co.jp\ttaro@example.co.jp\t1\n"
            "*\t1\t自宅\tmail.example.net\ttaro@example.net\t0\n");
}

TEST_F(CliAccountsTest, FreshDataDirectoryHasTheDefaultAccount) {
  auto result = RunCli(scratch_, data_, {"accounts"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "*\t0\t接続00\t\t\t1\n");
}

TEST_F(CliAccountsTest, TabsInAFieldDoNotShiftTheColumns) {
  WriteFileBytes(data_ + "/lpost.conf", "[Set]\r\nSet00=a\tb\r\n[Set00]\r\nPop=p\r\nRound=0\r\n");
  auto result = RunCli(scratch_, data_, {"accounts"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "*\t0\ta b\tp\t\t0\n");
}

TEST_F(CliAccountsTest, ExtraArgumentsAreRefused) {
  auto result = RunCli(scratch_, data_, {"accounts", "extra"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("usage: accounts"), std::string::npos);
}

TEST_F(CliAccountsTest, PasswordIsReadFromStandardInputAndStoredScrambled) {
  WriteFileBytes(data_ + "/lpost.conf",
                 ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/accounts_saved_layout.conf"));
  const std::string command = "printf '秘密pass\\n' | " + testing::ShellQuote(LP_CLI_PATH) + " --data-dir " +
                              testing::ShellQuote(data_) + " password --account 0";
  ASSERT_EQ(std::system(command.c_str()), 0);
  Profile profile(FromNativePath(data_ + "/lpost.conf"));
  CSetMenuArray table;
  table.Load(profile);
  EXPECT_EQ(table.At(0).pass, "\x94\xE9\x96\xA7pass");  // 秘密pass
  EXPECT_NE(profile.GetString("Set00", "Pass"), "\x94\xE9\x96\xA7pass");  // never in clear

  EXPECT_EQ(RunCli(scratch_, data_, {"password", "--account", "7"}).status, 2);
}

}  // namespace
}  // namespace lp
