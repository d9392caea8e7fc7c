#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <deque>

// Answers the message boxes the program shows while a test runs, as a user
// would: each box is recorded when it shows and closed from the event loop
// with the next scripted button (OK, or the box's default, when none is
// left).

namespace lp::testing {

class MessageBoxAnswerer final : public QObject {
 public:
  MessageBoxAnswerer() { qApp->installEventFilter(this); }
  ~MessageBoxAnswerer() override { qApp->removeEventFilter(this); }

  void Queue(QMessageBox::StandardButton button) { answers_.push_back(button); }

  QStringList texts;
  QList<QMessageBox::Icon> icons;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box == nullptr || event->type() != QEvent::Show) return false;
    texts.append(box->text());
    icons.append(box->icon());
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else if (box->defaultButton() != nullptr) {
      answer = box->standardButton(box->defaultButton());
    }
    QTimer::singleShot(0, box, [box, answer] {
      if (QAbstractButton* button = box->button(answer)) {
        button->click();
      } else {
        box->done(answer);
      }
    });
    return false;
  }

 private:
  std::deque<QMessageBox::StandardButton> answers_;
};

}  // namespace lp::testing
