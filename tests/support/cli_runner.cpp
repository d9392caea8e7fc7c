#include "tests/support/cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

int StartCli(const TempDirectory& scratch, const std::string& data_dir, const std::vector<std::string>& args) {
  std::vector<std::string> argv_text = {LP_CLI_PATH, "--data-dir", data_dir};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  const std::string out = scratch.File("out");
  const std::string err = scratch.File("err");
  const pid_t child = ::fork();
  if (child != 0) return child;
  ::setenv("TZ", "Asia/Tokyo", 1);
  const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (out_fd < 0 || err_fd < 0 || ::dup2(out_fd, 1) < 0 || ::dup2(err_fd, 2) < 0) ::_exit(127);
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

}  // namespace lp::testing
