#include <string>

#include <gtest/gtest.h>

#include "cli/command_table.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::RunCli;
using testing::TempDirectory;

class CliHelpTest : public ::testing::Test {
 protected:
  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");
};

// Every command of the table the manual pages are made from is one the
// program runs, and its help names each of its options.
TEST_F(CliHelpTest, EveryCommandAnswersHelpWithItsUsageAndOptions) {
  for (const CliCommand& command : CliCommands()) {
    const std::string name(command.name);
    SCOPED_TRACE(name);
    const auto result = RunCli(scratch_, data_, {name, "--help"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("usage: lanternpost-cli [--data-dir DIR] " + name, 0), 0u) << result.out;
    for (const CliOption& option : command.options) {
      EXPECT_NE(result.out.find("--" + std::string(option.name)), std::string::npos) << option.name;
    }
    EXPECT_EQ(RunCli(scratch_, data_, {"help", name}).out, result.out);
  }
}

TEST_F(CliHelpTest, UsageListsEveryCommandAndVersionIsTheProjects) {
  const auto help = RunCli(scratch_, data_, {"--help"});
  EXPECT_EQ(help.status, 0);
  for (const CliCommand& command : CliCommands()) {
    EXPECT_NE(help.out.find("\n  " + std::string(command.name)), std::string::npos) << command.name;
  }
  // Without a command the usage is an error, as before.
  const auto bare = RunCli(scratch_, data_, {});
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.err, help.out);

  const auto version = RunCli(scratch_, data_, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "lanternpost-cli " LP_VERSION "\n");
}

// Options that take a value keep taking it: "--to X" is not a flag followed
// by a positional argument.
TEST_F(CliHelpTest, OptionsWithValuesAreThoseOfTheTable) {
  const auto bad = RunCli(scratch_, data_, {"list", "--yes=1"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("option --yes takes no value"), std::string::npos) << bad.err;
  const auto missing = RunCli(scratch_, data_, {"export", "x", "--to"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("option --to needs a value"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace lp
