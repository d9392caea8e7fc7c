#include "ui/dialog_user_interface.h"

#include <QFileDialog>
#include <QMessageBox>

#include "platform/code_page.h"
#include "ui/progress_window.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

const QString kTitle = QStringLiteral("Lanternpost");

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

Answer AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

}  // namespace

void DialogUserInterface::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::Information, kTitle, FromSjis(text), QMessageBox::Ok, parent_);
  // Arrival messages come in front of other windows.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

Answer DialogUserInterface::Ask(std::string_view text, MessageButtons buttons) {
  QMessageBox box(QMessageBox::Question, kTitle, FromSjis(text), ButtonsOf(buttons), parent_);
  return AnswerOf(box.exec());
}

std::unique_ptr<Progress> DialogUserInterface::BeginProgress(std::string_view caption) {
  auto window = std::make_unique<ProgressWindow>(parent_, FromSjis(caption), cancel_action_);
  window->show();
  return window;
}

std::optional<std::string> DialogUserInterface::ChooseFile(const FileChoice& choice) {
  const QString title = FromSjis(choice.title);
  const QString directory = QString::fromStdString(Cp932ToUtf8(choice.initial_directory));
  const QString path = choice.for_saving ? QFileDialog::getSaveFileName(parent_, title, directory)
                                         : QFileDialog::getOpenFileName(parent_, title, directory);
  if (path.isEmpty()) return std::nullopt;
  return Utf8ToCp932(path.toStdString());
}

}  // namespace lp
