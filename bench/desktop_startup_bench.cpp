#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <memory>

#include "bench/desktop_bench_box.h"
#include "bench/desktop_bench_main.h"
#include "bench/desktop_bench_program.h"
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

}  // namespace
