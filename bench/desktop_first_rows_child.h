#pragma once

#include <string_view>

// The start-up benchmark's child process: a fresh process that starts the
// desktop program on a data directory, waits until the receive box's list
// painted its first rows and reports its peak resident memory at that
// moment through a pipe.

namespace lp::bench {

inline constexpr std::string_view kFirstRowsChildSwitch = "--first-rows-child";

// argv: program, the switch, the data directory, the pipe's write end.
// Ends the process (exit status 0 when the rows were painted).
[[noreturn]] void RunFirstRowsChild(int argc, char** argv);

}  // namespace lp::bench
