#include "platform/event_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace lp {

void EnsureEventLoopApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  // Qt keeps references to argc and argv for the application's lifetime.
  static int argc = 1;
  static char name[] = "lanternpost";
  static char* argv[] = {name, nullptr};
  // Deliberately never destroyed: sockets and timers may outlive any scope
  // that could own it, and Qt tears down cleanly at process exit without it.
  static QCoreApplication* application = new QCoreApplication(argc, argv);
  static_cast<void>(application);
}

bool RunEventLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  EnsureEventLoopApplication();
  if (done()) return true;
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  bool met = false;
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  // The dispatcher announces each time it is about to wait for new events,
  // that is after every batch it handled: the moment to look at `done`.
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop,
                   [&loop, &done, &met] {
                     if (!met && done()) {
                       met = true;
                       loop.quit();
                     }
                   });
  deadline.start(limit);
  loop.exec();
  return met || done();
}

}  // namespace lp
