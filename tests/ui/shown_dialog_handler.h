#pragma once

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <functional>

// Handles each dialog of type `Dialog` as a user would once it shows:
// `handle` runs from the event loop with the dialog on screen and closes
// it (accept or reject). The dialogs shown are counted.

namespace lp::testing {

template <class Dialog>
class ShownDialogHandler final : public QObject {
 public:
  explicit ShownDialogHandler(std::function<void(Dialog&)> handle) : handle_(std::move(handle)) {
    qApp->installEventFilter(this);
  }
  ~ShownDialogHandler() override { qApp->removeEventFilter(this); }

  int shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<Dialog*>(watched);
    if (dialog == nullptr || event->type() != QEvent::Show) return false;
    ++shown;
    QTimer::singleShot(0, dialog, [this, dialog = QPointer<Dialog>(dialog)] {
      if (dialog) handle_(*dialog);
    });
    return false;
  }

 private:
  std::function<void(Dialog&)> handle_;
};

}  // namespace lp::testing
