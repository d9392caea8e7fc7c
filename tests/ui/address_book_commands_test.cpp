#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QTreeView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "app/command_ids.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/shown_dialog_handler.h"
#include "tests/ui/three_mail_inbox.h"
#include "ui/add_sender_dialog.h"
#include "ui/address_book_dialog.h"
#include "ui/mail_list_model.h"
#include "ui/rule_edit_dialog.h"
#include "ui/sjis_qt.h"

// The address book commands of the main window on a data directory with
// three received mails: adding senders, the address book dialog, the
// names the mail list then shows, and the file the book is saved in.

namespace lp {
namespace {

using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::ShownDialogHandler;
using testing::TempDirectory;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class AddressBookCommandsTest : public testing::ThreeMailInboxTest {
 protected:
  [[nodiscard]] QString NameShownAt(int row) {
    MailListModel& model = inbox_->model();
    return model.data(model.index(row, MailListModel::NameColumn), Qt::DisplayRole).toString();
  }
  [[nodiscard]] std::string BookFile() const { return ReadFileBytes(data_.File("lpostadr.csv")); }

  MessageBoxAnswerer answers_;
};

TEST_F(AddressBookCommandsTest, AddingSendersAsksForEachAndTheListShowsTheBooksName) {
  const QString sato_before = NameShownAt(1);
  QStringList offered;
  ShownDialogHandler<AddSenderDialog> adder([&offered](AddSenderDialog& dialog) {
    offered << dialog.name().text() + QStringLiteral(" / ") + dialog.address().text();
    if (dialog.address().text() == QStringLiteral("sato@example.jp")) {
      dialog.reject();
      return;
    }
    dialog.name().setText(U("山田さん"));
    dialog.accept();
  });
  Select({0, 1});
  ASSERT_TRUE(Run(cmd::kAddToAddressBook));
  ASSERT_EQ(offered.size(), 2);
  EXPECT_TRUE(offered[0].endsWith(QStringLiteral(" / yamada@example.jp"))) << offered[0].toStdString();
  EXPECT_EQ(offered[1], QStringLiteral("sato@example.jp / sato@example.jp"));  // no display name

  EXPECT_EQ(BookFile(), Utf8ToCp932("\"氏名\",\"メールアドレス\",\"郵便番号\",\"住所\",\"電話番号\",\"メモ\",\"カテゴリ\"\r\n"
                                    "\"山田さん\",\"yamada@example.jp\",\"\",\"\",\"\",\"\",\"\"\r\n"));
  EXPECT_EQ(NameShownAt(0), U("山田さん"));
  EXPECT_EQ(NameShownAt(1), sato_before);
}

TEST_F(AddressBookCommandsTest, TheAddressBookDialogSavesTheBookAndTheListFollowsIt) {
  {
    ShownDialogHandler<AddressBookDialog> editor([this](AddressBookDialog& dialog) {
      dialog.filter().setCurrentIndex(0);
      EXPECT_EQ(dialog.names().count(), 0);
      dialog.name().setText(U("佐藤部長"));
      dialog.address().setPlainText(QStringLiteral("SATO@example.jp"));
      answers_.Queue(QMessageBox::Ok);
      dialog.accept();
    });
    ASSERT_TRUE(Run(cmd::kAddressBook));
    EXPECT_EQ(editor.shown, 1);
  }
  EXPECT_NE(BookFile().find(Utf8ToCp932("\"佐藤部長\",\"SATO@example.jp\"")), std::string::npos);
  EXPECT_EQ(NameShownAt(1), U("佐藤部長"));  // addresses match without case

  // Without [View] NameFromAdr the list shows the field again.
  ASSERT_TRUE(program_.session->profile().WriteInt("View", "NameFromAdr", 0));
  {
    ShownDialogHandler<AddressBookDialog> renamer([](AddressBookDialog& dialog) {
      dialog.name().setText(U("佐藤課長"));
      dialog.accept();
    });
    ASSERT_TRUE(Run(cmd::kAddressBook));
  }
  EXPECT_EQ(NameShownAt(1), QStringLiteral("sato@example.jp"));
  EXPECT_NE(BookFile().find(Utf8ToCp932("\"佐藤課長\"")), std::string::npos);

  // Cancel leaves the file as it is.
  const std::string saved = BookFile();
  ShownDialogHandler<AddressBookDialog> canceller([](AddressBookDialog& dialog) {
    dialog.name().setText(U("取り消し"));
    dialog.reject();
  });
  ASSERT_TRUE(Run(cmd::kAddressBook));
  EXPECT_EQ(BookFile(), saved);
}

// A right click on the list opens the mail menu; its "add to the address
// book" works on the mail under the mouse.
TEST_F(AddressBookCommandsTest, TheListsRightClickMenuOffersTheMailCommands) {
  program_.window->mdi().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(inbox_->parentWidget()));
  Select({1});
  std::vector<int> offered;
  QTimer::singleShot(0, [&offered] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* add = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      offered.push_back(action->data().toInt());
      if (action->data().toInt() == cmd::kAddToAddressBook) add = action;
    }
    menu->close();
    ASSERT_NE(add, nullptr);
    add->trigger();
  });
  QStringList asked;
  ShownDialogHandler<AddSenderDialog> adder([&asked](AddSenderDialog& dialog) {
    asked << dialog.address().text();
    dialog.accept();
  });
  emit inbox_->list().customContextMenuRequested(QPoint(4, 4));
  QTRY_COMPARE(asked, QStringList({QStringLiteral("sato@example.jp")}));
  EXPECT_NE(std::find(offered.begin(), offered.end(), cmd::kReply), offered.end());
  EXPECT_NE(std::find(offered.begin(), offered.end(), cmd::kDeleteMail), offered.end());
}

TEST(RuleEditAddressBookTest, TheButtonPutsTheChosenEntriesInTheForwardAddress) {
  CDivMenu rule;
  RuleEditDialog without(rule, ".");
  EXPECT_EQ(without.findChild<QPushButton*>(QStringLiteral("addressBook")), nullptr);

  QString answer = U("山田 <yamada@example.jp>");
  RuleEditDialog dialog(rule, ".", [&answer] { return answer; });
  auto* button = dialog.findChild<QPushButton*>(QStringLiteral("addressBook"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), U("アドレスブック"));
  button->click();
  EXPECT_EQ(dialog.forward().text(), answer);
  answer.clear();  // cancelled: the field stays
  button->click();
  EXPECT_EQ(dialog.forward().text(), U("山田 <yamada@example.jp>"));
}

}  // namespace
}  // namespace lp
