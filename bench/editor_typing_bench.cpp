#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextCursor>
#include <algorithm>
#include <memory>

#include "ui/mail_editor.h"

// Typing into a compose body of 20,000 lines (a long quote): one key press,
// the event loop's turn and the repaint of the visible text make one frame;
// the longest frame is the stall a typist would feel.

namespace {

constexpr int kBodyLines = 20000;

QString LongBody() {
  QString body;
  const QString line = QString::fromUtf8("> 本日の会議では次の議題について話し合いました。項目 ");
  body.reserve(kBodyLines * (line.size() + 8));
  for (int i = 0; i < kBodyLines; ++i) body += line + QString::number(i) + QLatin1Char('\n');
  return body;
}

void TypeOneKey(lp::MailEditor& editor, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, text);
  QApplication::sendEvent(&editor, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, text);
  QApplication::sendEvent(&editor, &release);
  QApplication::processEvents();
  (void)editor.viewport()->grab();
}

void BM_TypeIntoLongBody(benchmark::State& state) {
  lp::MailEditor editor(lp::EditorMode::Compose);
  editor.resize(800, 600);
  editor.setPlainText(LongBody());
  editor.show();
  QApplication::processEvents();
  // At the top, above the quote, where a reply is written; or in the middle.
  QTextCursor cursor = editor.textCursor();
  cursor.setPosition(state.range(0) == 0 ? 0 : editor.document()->characterCount() / 2);
  editor.setTextCursor(cursor);
  editor.ensureCursorVisible();
  QApplication::processEvents();

  double longest_ms = 0;
  QElapsedTimer frame;
  const QString letter = QStringLiteral("a");
  for (auto _ : state) {
    frame.start();
    TypeOneKey(editor, letter);
    longest_ms = std::max(longest_ms, frame.nsecsElapsed() / 1e6);
  }
  state.counters["longest_frame_ms"] = longest_ms;
}
BENCHMARK(BM_TypeIntoLongBody)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
