#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTreeView>
#include <algorithm>
#include <optional>

#include "bench/running_desktop_program.h"
#include "ui/mail_filter_bar.h"
#include "ui/mail_filter_proxy.h"
#include "ui/main_window.h"

// The filter bar over the receive box of 100,000 mails in the running main
// window: a word typed a character at a time, as fast as the event loop
// takes it, until the list shows the filtered rows. Counters: the time from
// the last character to the painted result, and the longest turn of the
// event loop meanwhile (what a user would feel as a stall).

namespace {

using lp::bench::RunningProgram;

std::optional<RunningProgram>& Holder() {
  static std::optional<RunningProgram> running;
  return running;
}

// The program goes while the application still exists.
RunningProgram& Program() {
  if (!Holder()) {
    Holder().emplace();
    qAddPostRoutine([] { Holder().reset(); });
  }
  return *Holder();
}

// One turn of the event loop, timed.
double Turn() {
  QElapsedTimer clock;
  clock.start();
  QApplication::processEvents();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// range(0): 0 subject and sender, 1 with the body.
void BM_TypeIntoFilterBar(benchmark::State& state) {
  RunningProgram& running = Program();
  if (!running.started) {
    state.SkipWithError("the program did not start");
    return;
  }
  lp::MailboxView& view = running.program.view();
  lp::MailFilterBar& bar = view.filter_bar();
  const bool body = state.range(0) != 0;
  // A word of the generated subjects ("システムメンテナンスのお知らせ") typed
  // in half-width kana, so every character is folded; and a word of the
  // bodies.
  const QString word = body ? QStringLiteral("添付") : QStringLiteral("ｼｽﾃﾑﾒﾝﾃ");
  double longest_ms = 0;
  double result_ms = 0;
  int shown = 0;
  for (auto _ : state) {
    state.PauseTiming();
    view.ClearFilter();
    view.ShowFilterBar();
    bar.findChild<QCheckBox*>(QStringLiteral("filterBody"))->setChecked(body);
    (void)Turn();
    state.ResumeTiming();
    for (const QChar ch : word) {
      QElapsedTimer keystroke;
      keystroke.start();
      bar.text_field().insert(QString(ch));
      longest_ms = std::max(longest_ms, static_cast<double>(keystroke.nsecsElapsed()) / 1e6 + Turn());
    }
    QElapsedTimer clock;
    clock.start();
    while (view.filter().IsWorking()) longest_ms = std::max(longest_ms, Turn());
    QElapsedTimer paint;
    paint.start();
    (void)view.list().viewport()->grab();
    longest_ms = std::max(longest_ms, static_cast<double>(paint.nsecsElapsed()) / 1e6);
    result_ms += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    shown = view.filter().rowCount();
  }
  state.counters["after_last_key_ms"] = result_ms / static_cast<double>(state.iterations());
  state.counters["longest_turn_ms"] = longest_ms;
  state.counters["shown"] = shown;
  state.counters["mails"] = view.box().Count();
}
BENCHMARK(BM_TypeIntoFilterBar)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
