#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "bench/desktop_bench_box.h"
#include "bench/desktop_bench_main.h"
#include "bench/desktop_bench_program.h"
#include "bench/desktop_first_rows_child.h"
#include "bench/peak_memory.h"

// Start to a usable main window with a receive box of 100,000 mails: from
// constructing the core until the mail list asked for its first rows to
// paint them. The process's peak resident memory is reported beside it;
// the box was written by a child process, so it starts from the bare
// QApplication.

namespace {

constexpr int kFirstRowsTimeoutMs = 30000;

void BM_StartToFirstRows(benchmark::State& state) {
  const double resident_before_mb = static_cast<double>(lp::bench::PeakResidentKiB()) / 1024.0;
  int painted_by_event_loop = 1;
  for (auto _ : state) {
    state.PauseTiming();
    auto data = std::make_unique<lp::bench::DesktopDataCopy>(lp::bench::DesktopTemplatePath());
    auto program = std::make_unique<lp::bench::DesktopBenchProgram>();
    state.ResumeTiming();
    if (!program->Start(data->path())) {
      state.SkipWithError("the program did not start");
      break;
    }
    if (!program->WaitForFirstRows(kFirstRowsTimeoutMs)) {
      // The platform painted nothing by itself: render the list as a paint would.
      painted_by_event_loop = 0;
      (void)program->view().list().viewport()->grab();
    }
    state.PauseTiming();
    if (program->view().model().CachedRowCount() == 0) state.SkipWithError("no row was asked for");
    state.counters["rows_converted"] = program->view().model().CachedRowCount();
    program.reset();
    data.reset();
    state.ResumeTiming();
  }
  state.counters["mails"] = lp::bench::kDesktopBoxMails;
  state.counters["painted_by_event_loop"] = painted_by_event_loop;
  state.counters["rss_before_MB"] = resident_before_mb;
  state.counters["peak_rss_MB"] = static_cast<double>(lp::bench::PeakResidentKiB()) / 1024.0;
}
BENCHMARK(BM_StartToFirstRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// Runs this benchmark program as the start-up child on `data_directory`;
// the child's peak resident memory (KiB) when its first rows were painted,
// or -1.
std::int64_t StartChildUntilFirstRows(const std::string& data_directory) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  std::string self = "/proc/self/exe";
  std::string child_switch(lp::bench::kFirstRowsChildSwitch);
  std::string directory = data_directory;
  std::string fd_argument = std::to_string(fds[1]);
  char* argv[] = {self.data(), child_switch.data(), directory.data(), fd_argument.data(), nullptr};
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ);
  ::close(fds[1]);
  std::int64_t peak_kib = -1;
  if (spawned == 0 && ::read(fds[0], &peak_kib, sizeof peak_kib) != static_cast<ssize_t>(sizeof peak_kib)) peak_kib = -1;
  ::close(fds[0]);
  if (spawned == 0) {
    int status = 0;
    (void)::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) peak_kib = -1;
  }
  return peak_kib;
}

// The same from process start: a fresh process (exec, libraries, the
// QApplication, fonts, the core, the main window) until the list painted
// its first rows, with that process's peak resident memory at that moment.
void BM_ProcessStartToFirstRows(benchmark::State& state) {
  std::int64_t largest_peak_kib = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto data = std::make_unique<lp::bench::DesktopDataCopy>(lp::bench::DesktopTemplatePath());
    state.ResumeTiming();
    const std::int64_t peak_kib = StartChildUntilFirstRows(data->path());
    state.PauseTiming();
    if (peak_kib < 0) {
      state.SkipWithError("the child did not paint its first rows");
      break;
    }
    largest_peak_kib = std::max(largest_peak_kib, peak_kib);
    data.reset();
    state.ResumeTiming();
  }
  state.counters["mails"] = lp::bench::kDesktopBoxMails;
  state.counters["child_peak_rss_MB"] = static_cast<double>(largest_peak_kib) / 1024.0;
}
BENCHMARK(BM_ProcessStartToFirstRows)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
