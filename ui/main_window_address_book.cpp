// The main window's address book commands: the address book dialog and
// adding the senders of the selected mails. After either the book is
// saved and the mail lists show its names again.

#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <vector>

#include "app/command_ids.h"
#include "ui/add_sender_dialog.h"
#include "ui/address_book_dialog.h"
#include "ui/address_names.h"
#include "ui/desktop_session.h"
#include "ui/mail_selection.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"

namespace lp {

void MainWindow::RegisterAddressBookHandlers() {
  router_.Register(cmd::kAddressBook, [this] { EditAddressBook(); });
  router_.Register(cmd::kAddToAddressBook, [this] { AddSendersOfSelection(); });
}

void MainWindow::EditAddressBook() {
  AddressBookDialog dialog(session_.book(), session_.profile(), this);
  dialog.exec();
  if (!dialog.changed()) return;
  (void)session_.book().Save(session_.ui());
  RefreshAddressNames();
}

void MainWindow::AddSendersOfSelection() {
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  std::vector<MailSender> senders;
  for (int row : SelectedRows(*view)) {
    if (const CMail* mail = view->box().RecordAt(row)) senders.push_back(SenderOf(*mail));
  }
  if (senders.empty() || !AddSendersToBook(senders, session_.book(), session_.profile(), this)) return;
  (void)session_.book().Save(session_.ui());
  RefreshAddressNames();
}

MailListModel::NameLookup MainWindow::AddressNames() {
  if (session_.profile().GetInt("View", "NameFromAdr", 1) != 1) return {};
  return AddressBookNames(session_.book());
}

void MainWindow::RefreshAddressNames() {
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (auto* view = qobject_cast<MailboxView*>(window->widget())) view->model().SetNameLookup(AddressNames());
  }
}

}  // namespace lp
