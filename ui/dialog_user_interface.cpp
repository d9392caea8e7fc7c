#include "ui/dialog_user_interface.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/code_page.h"
#include "ui/progress_window.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {
namespace {

const QString kTitle = QStringLiteral("Lanternpost");
// Results of the confirmation dialog above those of QDialog (0 rejected, 1 accepted).
constexpr int kConfirmResultBase = 10;

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
  QMessageBox box(QMessageBox::Critical, kTitle, FromSjis(text), QMessageBox::Ok, parent_);
  box.exec();
}

void DialogUserInterface::Inform(std::string_view text) {
  QMessageBox box(QMessageBox::Information, kTitle, FromSjis(text), QMessageBox::Ok, parent_);
  box.exec();
}

void DialogUserInterface::Report(std::string_view text) {
  const QString shown = FromSjis(text);
  if (report_sink_ && report_sink_(shown)) return;
  QMessageBox box(QMessageBox::Information, kTitle, shown, QMessageBox::Ok, parent_);
  // Arrival messages come in front of other windows.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

Answer DialogUserInterface::Ask(std::string_view text, MessageButtons buttons) {
  QMessageBox box(QMessageBox::Question, kTitle, FromSjis(text), ButtonsOf(buttons), parent_);
  return AnswerOf(box.exec());
}

void DialogUserInterface::AskLater(std::string_view text, MessageButtons buttons, AnswerHandler answered) {
  auto* box = new QMessageBox(QMessageBox::Question, kTitle, FromSjis(text), ButtonsOf(buttons), parent_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::finished, box,
                   [answered = std::move(answered)](int result) { answered(AnswerOf(result)); });
  box->open();
}

void DialogUserInterface::ConfirmMail(const MailSummary& mail, ConfirmHandler answered) {
  auto* dialog = new QDialog(parent_);
  dialog->setObjectName(QStringLiteral("mailConfirmDialog"));
  dialog->setWindowTitle(QString::fromUtf8(ui_text::kConfirmTitle));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("To:"), new QLabel(FromSjis(mail.to), dialog));
  form->addRow(QStringLiteral("From:"), new QLabel(FromSjis(mail.from), dialog));
  form->addRow(QStringLiteral("Subject:"), new QLabel(FromSjis(mail.subject), dialog));
  auto* body = new QPlainTextEdit(FromSjis(mail.body), dialog);
  body->setReadOnly(true);
  auto* buttons = new QDialogButtonBox(dialog);
  // Each button ends the dialog with its answer's number.
  const std::pair<const char*, ConfirmAnswer> choices[] = {{ui_text::kConfirmReceive, ConfirmAnswer::Receive},
                                                           {ui_text::kConfirmDelete, ConfirmAnswer::Delete},
                                                           {ui_text::kConfirmSkip, ConfirmAnswer::Skip},
                                                           {ui_text::kConfirmStop, ConfirmAnswer::Stop}};
  for (const auto& [text, answer] : choices) {
    QPushButton* button = buttons->addButton(QString::fromUtf8(text), QDialogButtonBox::ActionRole);
    button->setObjectName(QStringLiteral("confirm%1").arg(static_cast<int>(answer)));
    QObject::connect(button, &QPushButton::clicked, dialog,
                     [dialog, answer = answer] { dialog->done(kConfirmResultBase + static_cast<int>(answer)); });
  }
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(form);
  layout->addWidget(body, 1);
  layout->addWidget(buttons);
  dialog->resize(520, 400);
  // Modeless like the progress window: the rest of the program stays usable.
  QObject::connect(dialog, &QDialog::finished, dialog, [answered = std::move(answered)](int result) {
    const int answer = result - kConfirmResultBase;
    answered(answer >= 0 && answer <= static_cast<int>(ConfirmAnswer::Skip) ? static_cast<ConfirmAnswer>(answer)
                                                                             : ConfirmAnswer::Stop);
  });
  dialog->show();
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
