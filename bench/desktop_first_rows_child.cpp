#include "bench/desktop_first_rows_child.h"

#include <unistd.h>

#include <QApplication>
#include <QTreeView>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/desktop_bench_program.h"
#include "bench/peak_memory.h"

namespace {

// The high-water mark of this process image's resident memory (VmHWM):
// unlike getrusage's, it starts afresh at exec, so the parent's peak does
// not show through.
std::int64_t ImagePeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:")) return std::atoll(line.c_str() + 6);
  }
  return lp::bench::PeakResidentKiB();
}

}  // namespace

namespace lp::bench {

void RunFirstRowsChild(int argc, char** argv) {
  if (argc < 4) std::_Exit(2);
  const std::string data_directory = argv[2];
  const int pipe_fd = std::atoi(argv[3]);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  DesktopBenchProgram program;
  constexpr int kTimeoutMs = 30000;
  if (!program.Start(data_directory)) std::_Exit(3);
  if (!program.WaitForFirstRows(kTimeoutMs)) std::_Exit(4);
  const std::int64_t peak_kib = ImagePeakResidentKiB();
  const bool reported = ::write(pipe_fd, &peak_kib, sizeof peak_kib) == static_cast<ssize_t>(sizeof peak_kib);
  // Only the start is measured: the parent does not wait for a tidy exit.
  std::_Exit(reported ? 0 : 5);
}

}  // namespace lp::bench
