// The main window's reading side: read windows, the reading editors' keys
// and links, and the commands that act on the mail a read window shows.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/command_ids.h"
#include "app/read_view_text.h"
#include "store/mail_status.h"
#include "ui/desktop_file_opener.h"
#include "ui/desktop_session.h"
#include "ui/mail_editor.h"
#include "ui/mail_printer.h"
#include "ui/mail_selection.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/read_view.h"
#include "ui/sjis_qt.h"
#include "ui/stored_font.h"
#include "ui/window_fit.h"

namespace lp {

void MainWindow::SetFileOpener(std::unique_ptr<FileOpener> opener) { file_opener_ = std::move(opener); }

void MainWindow::OpenAddress(const QString& address) { (void)file_opener_->OpenWithDefaultProgram(ToSjis(address)); }

void MainWindow::ConnectReadingEditor(MailEditor& editor, bool forward_commands) {
  editor.SetKeyLookup([this](const KeyCombination& combination) -> std::uint32_t {
    const std::vector<std::uint32_t> commands = session_.keys().CommandsFor(combination);
    return commands.empty() ? 0 : commands.front();
  });
  connect(&editor, &MailEditor::openRequested, this, [this](const QString& address) {
    OpenMailLink(
        address, session_.profile(), [this](int command) { PostCommand(command); },
        [this](const QString& web) { OpenAddress(web); });
  });
  if (!forward_commands) return;
  connect(&editor, &MailEditor::commandRequested, this, [this](int command) {
    // Enter and Escape in the preview close nothing.
    if (command != cmd::kCloseMail) PostCommand(command);
  });
}

ReadView* MainWindow::ActiveReadView() const {
  QMdiSubWindow* active = mdi_->activeSubWindow();
  return active != nullptr ? qobject_cast<ReadView*>(active->widget()) : nullptr;
}

ReadView* MainWindow::OpenReadWindow(MailboxView& view, int row) {
  if (view.box().RecordAt(row) == nullptr) return nullptr;
  BoxHandle handle = session_.AcquireBox(view.box().PathName());
  if (!handle) return nullptr;
  ReadViewServices services;
  services.opener = file_opener_.get();
  services.ui = &session_.ui();
  services.open_address = [this](const QString& address) { OpenAddress(address); };
  auto* read = new ReadView(std::move(handle), row, session_.profile(), std::move(services));
  // Reading a mail makes it read; the list, the marks and the box file follow.
  (void)MarkReadOnReading(view.box(), row);
  QMdiSubWindow* window = AddChildWindow(read);
  window->setWindowTitle(read->title());
  window->setWindowIcon(QIcon(QStringLiteral(":/icons/status-read.svg")));
  ConnectReadingEditor(read->editor(), false);
  // The editor's Enter/Escape closes this window, whichever is active.
  connect(read, &ReadView::commandRequested, this, [this, window = QPointer<QMdiSubWindow>(window)](int command) {
    if (command == cmd::kCloseMail) {
      if (window != nullptr) window->close();
    } else {
      PostCommand(command);
    }
  });
  window->resize(mdi_->size() * 3 / 4);
  window->show();
  FitInsideArea(*window, *mdi_);
  read->setFocus();
  return read;
}

namespace {

// The read window's font ("EFont"), in points: a size kept in pixels
// would shrink to nothing at a printer's resolution.
QFont PrintFont(const Profile& profile) {
  QFont font = FontFromSettings(profile, "EFont", {"ＭＳ ゴシック", -16});
  font.setStyleHint(QFont::TypeWriter);
  if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
  return font;
}

}  // namespace

bool MainWindow::PrintChosenMails(QPrinter& printer) {
  std::vector<PrintedMail> mails;
  if (ReadView* read = ActiveReadView()) {
    read->LoadWholeText();
    const CMail* mail = read->mail().Record();
    mails.push_back({mail != nullptr ? FromSjis(mail->subject) : read->title(), read->editor().toPlainText()});
  } else if (MailboxView* view = ActiveMailbox()) {
    for (const int row : SelectedRows(*view)) {
      const CMail* mail = view->box().RecordAt(row);
      if (mail == nullptr) continue;
      const QString subject = FromSjis(mail->subject);
      const MailText read = ReadViewText(view->box(), row);
      QString text = FromSjis(read.ok() ? read.text : read.error);
      text.remove(QLatin1Char('\r'));
      mails.push_back({subject, text});
    }
  }
  if (mails.empty()) return false;
  return PrintMails(printer, mails, PrintFont(session_.profile()));
}

void MainWindow::RegisterReadHandlers() {
  router_.Register(cmd::kPrint, [this] {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) (void)PrintChosenMails(printer);
  });
  router_.Register(cmd::kPrintPreview, [this] {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* shown) { (void)PrintChosenMails(*shown); });
    (void)dialog.exec();
  });
  file_opener_ = std::make_unique<DesktopFileOpener>(session_.ui());
  router_.Register(cmd::kOpenMail, [this] {
    if (MailboxView* view = ActiveMailbox(); view != nullptr && view->CaretRow() >= 0) OpenMail(*view, view->CaretRow());
  });
  router_.Register(cmd::kCloseMail, [this] {
    if (ActiveReadView() != nullptr) mdi_->activeSubWindow()->close();
  });
  router_.Register(cmd::kOpenAttachment, [this] {
    if (ReadView* read = ActiveReadView()) {
      read->OpenAttachment();
    } else if (MailboxView* view = ActiveMailbox()) {
      // The mailbox's caret mail, through a read view's rules without a window.
      const CMail* mail = view->box().RecordAt(view->CaretRow());
      if (mail == nullptr) return;
      const std::vector<std::string> paths = AttachmentPaths(mail->attachments);
      if (paths.size() == 1) {
        (void)file_opener_->OpenWithDefaultProgram(paths.front());
      } else if (paths.size() > 1) {
        if (ReadView* opened = OpenReadWindow(*view, view->CaretRow())) opened->OpenAttachment();
      }
    }
  });
  router_.Register(cmd::kCopyQuoted, [this] {
    if (ReadView* read = ActiveReadView()) read->CopyQuoted();
  });
}

}  // namespace lp
