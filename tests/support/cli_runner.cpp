#include "tests/support/cli_runner.h"

#include <sys/wait.h>

#include <cstdlib>

namespace lp::testing {

std::string ShellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

CliResult RunCli(const TempDirectory& scratch, const std::string& data_dir, const std::vector<std::string>& args) {
  std::string command = "TZ=Asia/Tokyo " + ShellQuote(LP_CLI_PATH) + " --data-dir " + ShellQuote(data_dir);
  for (const auto& arg : args) command += " " + ShellQuote(arg);
  command += " >" + ShellQuote(scratch.File("out")) + " 2>" + ShellQuote(scratch.File("err"));
  int raw = std::system(command.c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFileBytes(scratch.File("out"));
  result.err = ReadFileBytes(scratch.File("err"));
  return result;
}

}  // namespace lp::testing
