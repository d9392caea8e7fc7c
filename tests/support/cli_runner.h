#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_directory.h"

// Runs the command-line program as a child process for end-to-end tests.

namespace lp::testing {

struct CliResult {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// `arg` quoted for the POSIX shell.
[[nodiscard]] std::string ShellQuote(const std::string& arg);

// Runs lanternpost-cli on `data_dir` in Japan time, capturing both streams
// through files in `scratch`.
[[nodiscard]] CliResult RunCli(const TempDirectory& scratch, const std::string& data_dir,
                               const std::vector<std::string>& args);

// Starts lanternpost-cli as RunCli does, without waiting for it; its output
// goes to the files "out" and "err" in `scratch`. The process id, or -1.
[[nodiscard]] int StartCli(const TempDirectory& scratch, const std::string& data_dir,
                           const std::vector<std::string>& args);

}  // namespace lp::testing
