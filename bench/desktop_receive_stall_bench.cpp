#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <algorithm>
#include <memory>

#include "bench/event_loop_gap_watch.h"
#include "bench/running_desktop_program.h"
#include "platform/sjis_path.h"
#include "tests/support/sample_spool.h"

// A receive of 1,000 new mails into the open receive box of 100,000 mails:
// the spool a POP3 session left (about 10 MB) goes through the receive
// pipeline as the window runs it, while a timer ticks every millisecond on
// the event loop. What counts is the longest gap between two ticks: the
// longest time the window could not paint or take a key. (The POP3 session
// itself runs on the event loop without blocking; its figures are those of
// the receive benchmarks.)

namespace {

constexpr int kNewMails = 1000;
constexpr int kTimeoutMs = 120000;

void BM_ReceiveIntoOpenBox(benchmark::State& state) {
  double longest_gap_ms = 0;
  double over_16ms = 0;
  int rows_after = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto running = std::make_unique<lp::bench::RunningProgram>();
    if (!running->started) {
      state.SkipWithError("the program did not start");
      break;
    }
    lp::bench::DesktopBenchProgram& program = running->program;
    if (lp::testing::WriteSampleSpool(lp::JoinPath(running->data.path(), "inbox.log"), kNewMails) == 0) {
      state.SkipWithError("the spool was not written");
      break;
    }
    const int rows_before = program.view().model().rowCount();
    lp::bench::EventLoopGapWatch watch;
    QApplication::processEvents();
    state.ResumeTiming();

    watch.Start();
    // The command that starts it returns at once: the analysis goes on
    // beside the event loop.
    const bool started = program.session().LanReceive();
    QElapsedTimer waited;
    waited.start();
    while (started && program.session().Busy() && waited.elapsed() < kTimeoutMs) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    watch.Stop();

    state.PauseTiming();
    rows_after = program.view().model().rowCount();
    if (!started || rows_after != rows_before + kNewMails) state.SkipWithError("the mails did not arrive");
    longest_gap_ms = std::max(longest_gap_ms, watch.longest_ms());
    over_16ms += watch.gaps_over_16ms();
    running.reset();
    state.ResumeTiming();
  }
  state.counters["new_mails"] = kNewMails;
  state.counters["rows_after"] = rows_after;
  state.counters["longest_gap_ms"] = longest_gap_ms;
  state.counters["gaps_over_16ms"] = over_16ms;
}
BENCHMARK(BM_ReceiveIntoOpenBox)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
