#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <memory>
#include <string>

#include "app/application_core.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "ui/desktop_session.h"
#include "ui/mail_list_model.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"

// The desktop application as its main() puts it together, on a benchmark's
// data directory, with the receive box's window open.

namespace lp::bench {

// Notes a paint event of one widget; once the event loop returned from
// dispatching it, the widget has been painted.
class PaintWatch final : public QObject {
 public:
  explicit PaintWatch(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
  ~PaintWatch() override { widget_.removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &widget_ && event->type() == QEvent::Paint) painted = true;
    return false;
  }
  bool painted = false;

 private:
  QWidget& widget_;
};

class DesktopBenchProgram {
 public:
  // False when the core does not start or the receive box does not open.
  [[nodiscard]] bool Start(const std::string& data_directory) {
    std::string error;
    if (!core_.Start(data_directory, &error)) return false;
    session_ = std::make_unique<DesktopSession>(core_, ui_, [] {
      return std::make_unique<QtTransport>(QtTransportOptions{});
    });
    (void)session_->Start();
    window_ = std::make_unique<MainWindow>(*session_);
    window_->resize(1280, 800);
    window_->show();
    OpenFirstWindows(*window_, *session_);
    view_ = window_->OpenMailbox(core_.settings().default_file);
    return view_ != nullptr;
  }

  // Runs the event loop until the list's viewport was painted with rows in
  // the model (the model converts a row's texts on its first data() call)
  // or `timeout_ms` passed; false on the timeout.
  [[nodiscard]] bool WaitForFirstRows(int timeout_ms) {
    QElapsedTimer waited;
    waited.start();
    PaintWatch watch(*view_->list().viewport());
    while (!watch.painted || view_->model().CachedRowCount() == 0) {
      if (waited.elapsed() > timeout_ms) return false;
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }

  ~DesktopBenchProgram() {
    if (window_) window_->close();
    window_.reset();
    session_.reset();
    core_.Exit();
  }

  [[nodiscard]] MainWindow& window() { return *window_; }
  [[nodiscard]] MailboxView& view() { return *view_; }
  [[nodiscard]] DesktopSession& session() { return *session_; }

 private:
  ApplicationCore core_;
  RecordingUserInterface ui_;
  std::unique_ptr<DesktopSession> session_;
  std::unique_ptr<MainWindow> window_;
  MailboxView* view_ = nullptr;
};

}  // namespace lp::bench
