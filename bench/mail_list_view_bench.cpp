#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>
#include <memory>

#include "app/command_ids.h"
#include "bench/running_desktop_program.h"
#include "store/mail_sort.h"
#include "ui/main_window.h"

// The mail list of a receive box of 100,000 mails in the running main
// window: scrolling from top to bottom a page at a time, and re-sorting by
// each key with the list attached.

namespace {

using lp::bench::RunningProgram;

RunningProgram& Program() {
  static RunningProgram running;
  return running;
}

// One frame: the event loop's turn, then the list's visible rows painted.
void RepaintList(QTreeView& list) {
  QApplication::processEvents();
  (void)list.viewport()->grab();
}

// Every page from the top to the bottom; the longest frame is the stall a
// user would feel.
void BM_ScrollPageByPage(benchmark::State& state) {
  RunningProgram& running = Program();
  if (!running.started) {
    state.SkipWithError("the program did not start");
    return;
  }
  QTreeView& list = running.program.view().list();
  QScrollBar& bar = *list.verticalScrollBar();
  double longest_ms = 0;
  double total_ms = 0;
  int frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bar.setValue(bar.minimum());
    RepaintList(list);
    state.ResumeTiming();
    while (bar.value() < bar.maximum()) {
      QElapsedTimer frame;
      frame.start();
      bar.setValue(std::min(bar.value() + bar.pageStep(), bar.maximum()));
      RepaintList(list);
      const double ms = static_cast<double>(frame.nsecsElapsed()) / 1e6;
      longest_ms = std::max(longest_ms, ms);
      total_ms += ms;
      ++frames;
    }
  }
  state.counters["pages"] = frames / static_cast<double>(state.iterations());
  state.counters["longest_frame_ms"] = longest_ms;
  state.counters["mean_frame_ms"] = frames > 0 ? total_ms / frames : 0;
  state.counters["page_rows"] = bar.pageStep();
  state.counters["rows_converted"] = running.program.view().model().CachedRowCount();
}
// One pass: about 6,000 pages of 16 rows in the default layout.
BENCHMARK(BM_ScrollPageByPage)->Unit(benchmark::kMillisecond)->Iterations(1);

// The window's sort command where the menu has one, else the core's sort;
// both reach the list through the model's layout change.
void SortLikeTheUser(lp::bench::DesktopBenchProgram& program, int key) {
  constexpr int kCommands[lp::kSortKeyCount] = {lp::cmd::kSortByDate, lp::cmd::kSortByFrom, lp::cmd::kSortBySubject, 0,
                                                lp::cmd::kSortByLabel, lp::cmd::kSortByStatus, 0};
  if (kCommands[key] != 0) {
    (void)program.window().router().Run(kCommands[key]);
  } else {
    (void)lp::Sort(program.view().box(), key);
  }
}

// One sort by the key with the caret on a mail in the middle, until the
// list painted the new order.
void BM_SortWithListAttached(benchmark::State& state) {
  RunningProgram& running = Program();
  if (!running.started) {
    state.SkipWithError("the program did not start");
    return;
  }
  lp::bench::DesktopBenchProgram& program = running.program;
  const int key = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    // Another order first, so each sort has work to do.
    (void)lp::Sort(program.view().box(), (key + 1) % lp::kSortKeyCount);
    program.view().SetCaret(program.view().box().Count() / 2);
    RepaintList(program.view().list());
    state.ResumeTiming();
    SortLikeTheUser(program, key);
    RepaintList(program.view().list());
  }
  state.counters["mails"] = program.view().box().Count();
}
BENCHMARK(BM_SortWithListAttached)->DenseRange(0, lp::kSortKeyCount - 1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
