#pragma once

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontDialog>
#include <QInputDialog>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <optional>

namespace lp::testing {

// Answers each input dialog as a user would: the scripted text (an item of
// a list, or a typed name), or Cancel when nothing is scripted. The prompts
// are recorded.
class InputDialogAnswerer final : public QObject {
 public:
  InputDialogAnswerer() { qApp->installEventFilter(this); }
  ~InputDialogAnswerer() override { qApp->removeEventFilter(this); }
  void Queue(std::optional<QString> answer) { answers_.push_back(std::move(answer)); }
  QStringList prompts;
  QStringList items;
  QFont font_answer;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (auto* fonts = qobject_cast<QFontDialog*>(watched); fonts != nullptr && event->type() == QEvent::Show) {
      QTimer::singleShot(0, fonts, [this, fonts] {
        fonts->setCurrentFont(font_answer);
        fonts->accept();
      });
      return false;
    }
    auto* dialog = qobject_cast<QInputDialog*>(watched);
    if (dialog == nullptr || event->type() != QEvent::Show) return false;
    prompts.append(dialog->labelText());
    items = dialog->comboBoxItems();
    std::optional<QString> answer;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    QTimer::singleShot(0, dialog, [dialog, answer] {
      if (!answer) {
        dialog->reject();
        return;
      }
      dialog->setTextValue(*answer);
      dialog->accept();
    });
    return false;
  }

 private:
  std::deque<std::optional<QString>> answers_;
};

}  // namespace lp::testing
