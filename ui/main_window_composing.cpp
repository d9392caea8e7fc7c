// The main window's compose side: compose windows for each way of opening
// one, and the commands that act on the active one.

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/command_ids.h"
#include "app/compose_form.h"
#include "ui/address_completer.h"
#include "ui/address_pick_dialog.h"
#include "ui/compose_view.h"
#include "ui/desktop_session.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/read_view.h"
#include "ui/window_fit.h"

namespace lp {

ComposeView* MainWindow::ActiveComposeView() const {
  QMdiSubWindow* active = mdi_->activeSubWindow();
  return active != nullptr ? qobject_cast<ComposeView*>(active->widget()) : nullptr;
}

ComposeView* MainWindow::OpenComposeWindow(std::string_view sjis_box, std::uint64_t edited_serial, ComposeMode mode,
                                           const ComposeForm& form) {
  BoxHandle box = session_.AcquireBox(session_.AbsoluteBoxPath(sjis_box));
  if (!box) return nullptr;
  ComposeServices services;
  services.ui = &session_.ui();
  services.registry = &session_.registry();
  services.accounts = &session_.accounts();
  services.ask_close = compose_close_answer_;
  services.pick_address = address_picker_;
  services.address_entries = AddressBookEntries(session_.book());
  if (!services.pick_address) {
    services.pick_address = [this] { return PickFromAddressBook(session_.book(), session_.profile(), this); };
  }
  auto* compose =
      new ComposeView(HeldMail(std::move(box), edited_serial), mode, form, session_.profile(), std::move(services));
  QMdiSubWindow* window = AddChildWindow(compose);
  window->setWindowIcon(QIcon(QStringLiteral(":/icons/new.svg")));
  window->setWindowTitle(compose->windowTitle());
  connect(compose, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
  ConnectReadingEditor(compose->body(), false);
  connect(compose, &ComposeView::commandRequested, this, [this](int command) { PostCommand(command); });
  connect(compose, &ComposeView::caretPositionChanged, message_pane_, &QLabel::setText);
  const int width = session_.profile().GetInt("SMail", "Width", 0);
  const int height = session_.profile().GetInt("SMail", "Height", 0);
  window->resize(width > 0 && height > 0 ? QSize(width, height) : mdi_->size() * 3 / 4);
  window->show();
  FitInsideArea(*window, *mdi_);
  compose->setFocus();
  return compose;
}

std::string MainWindow::ComposeBox() const {
  const AppSettings& settings = session_.app().settings();
  return settings.draft ? settings.draft_file : settings.send_file;
}

std::optional<MainWindow::MailAt> MainWindow::ChosenMail() {
  if (ReadView* read = ActiveReadView()) {
    const int index = read->mail().Row();
    if (index < 0) return std::nullopt;
    return MailAt{read->box(), index};
  }
  if (MailboxView* view = ActiveMailbox(); view != nullptr && view->box().RecordAt(view->CaretRow()) != nullptr) {
    return MailAt{view->box(), view->CaretRow()};
  }
  return std::nullopt;
}

ComposeView* MainWindow::OpenReply(ReplyRecipients recipients) {
  const std::optional<MailAt> mail = ChosenMail();
  if (!mail) return nullptr;
  const CSetMenuArray& accounts = session_.accounts();
  const std::size_t account = ReplyAccountIndex(accounts, mail->box.RecordAt(mail->index)->to);
  const std::optional<ComposeForm> form = ReplyForm(mail->box, mail->index, accounts.At(account),
                                                    LoadComposeWindowSettings(session_.profile()), recipients);
  if (!form) return nullptr;
  ComposeView* compose = OpenComposeWindow(ComposeBox(), 0, ComposeMode::Reply, *form);
  if (compose != nullptr) {
    compose->SetRepliedMail(session_.AcquireBox(mail->box.PathName()), mail->box.RecordAt(mail->index)->serial);
  }
  return compose;
}

ComposeView* MainWindow::OpenEditCompose(MailboxView& view, int row) {
  const std::optional<ComposeForm> form = EditForm(view.box(), row);
  if (!form) return nullptr;
  return OpenComposeWindow(view.box().PathName(), view.box().RecordAt(row)->serial, ComposeMode::Edit, *form);
}

void MainWindow::OpenMail(MailboxView& view, int row) {
  const CMail* mail = view.box().RecordAt(row);
  if (mail == nullptr) return;
  // Unsent and sent mail opens for editing ([System] SmailEdit).
  if (mail->IsOutgoing() && session_.profile().GetInt("System", "SmailEdit", 1) != 0) {
    (void)OpenEditCompose(view, row);
  } else {
    (void)OpenReadWindow(view, row);
  }
}

void MainWindow::OpenMailtoCompose(const MailtoPreset& preset) {
  (void)OpenComposeWindow(ComposeBox(), 0, ComposeMode::Mailto, MailtoForm(preset, session_.accounts().Current()));
}

void MainWindow::RegisterComposeHandlers() {
  router_.Register(cmd::kNewMail, [this] {
    (void)OpenComposeWindow(ComposeBox(), 0, ComposeMode::New, NewMailForm(session_.accounts().Current()));
  });
  router_.Register(cmd::kNewMailInThisBox, [this] {
    if (MailboxView* view = ActiveMailbox()) {
      (void)OpenComposeWindow(view->box().PathName(), 0, ComposeMode::New, NewMailForm(session_.accounts().Current()));
    }
  });
  router_.Register(cmd::kReply, [this] { (void)OpenReply(ReplyRecipients::Sender); });
  router_.Register(cmd::kForward, [this] {
    const std::optional<MailAt> mail = ChosenMail();
    if (!mail) return;
    const std::optional<ComposeForm> form = ForwardForm(mail->box, mail->index, session_.accounts().Current(),
                                                        LoadComposeWindowSettings(session_.profile()));
    if (form) (void)OpenComposeWindow(ComposeBox(), 0, ComposeMode::Forward, *form);
  });
  router_.Register(cmd::kEditMail, [this] {
    if (MailboxView* view = ActiveMailbox(); view != nullptr && view->CaretRow() >= 0) {
      (void)OpenEditCompose(*view, view->CaretRow());
    }
  });
  const std::pair<int, ComposeSave> saves[] = {{cmd::kQueueAndClose, ComposeSave::Send},
                                               {cmd::kSaveAndClose, ComposeSave::Save}};
  for (const auto& [command, save] : saves) {
    router_.Register(command, [this, save = save] {
      if (ComposeView* compose = ActiveComposeView()) (void)compose->Save(save);
    });
  }
  router_.Register(cmd::kDiscardAndClose, [this] {
    if (ComposeView* compose = ActiveComposeView()) compose->Discard();
  });
  router_.Register(cmd::kCloseCompose, [this] {
    if (ActiveComposeView() != nullptr) mdi_->activeSubWindow()->close();
  });
  const std::pair<int, void (ComposeView::*)()> edits[] = {{cmd::kInsertDate, &ComposeView::InsertDate},
                                                           {cmd::kInsertTextFile, &ComposeView::InsertTextFile},
                                                           {cmd::kSaveAsTemplate, &ComposeView::SaveAsTemplate}};
  for (const auto& [command, edit] : edits) {
    router_.Register(command, [this, edit = edit] {
      if (ComposeView* compose = ActiveComposeView()) (compose->*edit)();
    });
  }
}

}  // namespace lp
