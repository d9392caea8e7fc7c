#include <algorithm>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <filesystem>

#include "app/command_ids.h"
#include "store/mail_record.h"
#include "codec/spool_analyser.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/three_mail_inbox.h"
#include "ui/box_menu.h"
#include "ui/box_properties_dialog.h"
#include "ui/mail_list_model.h"
#include "ui/mail_manager_view.h"
#include "ui/mailbox_tree_model.h"
#include "ui/mailbox_view.h"

// The mail manager over a real data directory: unread counts, new folders
// and boxes, renaming in place, deleting to an injected trash, and mails
// dragged from the receive box's list onto a box.

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class MailManagerTest : public testing::ThreeMailInboxTest {
 protected:
  void SetUp() override {
    ThreeMailInboxTest::SetUp();
    if (HasFatalFailure()) return;
    inbox_->box().UpdateUnreadMark();
    ASSERT_TRUE(program_.window->router().Run(cmd::kMailManager));
    manager_ = program_.window->mdi().findChild<MailManagerView*>();
    ASSERT_NE(manager_, nullptr);
    manager_->SetTrash([this](std::string_view path) {
      trashed_.push_back(Cp932ToUtf8(path));
      return RemovePath(path) ? TrashOutcome::Moved : TrashOutcome::Failed;
    });
    manager_->SetNameAsker([this](const QString& title, const QString&, const QString&) -> std::optional<QString> {
      asked_.append(title);
      return next_name_;
    });
    tester_ = std::make_unique<QAbstractItemModelTester>(&manager_->model(),
                                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    manager_->RefreshUnreadMarks();
  }

  [[nodiscard]] QModelIndex Find(const QString& text) const {
    const QModelIndexList found = manager_->model().match(manager_->model().index(0, 0), Qt::EditRole, text, 1,
                                                          Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.front();
  }
  void Select(const QString& text) { manager_->tree().setCurrentIndex(Find(text)); }
  static bool RemovePath(std::string_view sjis_path) {
    std::error_code error;
    return std::filesystem::remove_all(ToNativePath(sjis_path), error) > 0;
  }

  MailManagerView* manager_ = nullptr;
  std::unique_ptr<QAbstractItemModelTester> tester_;
  std::vector<std::string> trashed_;
  QStringList asked_;
  std::optional<QString> next_name_;
};

TEST_F(MailManagerTest, ReceiveBoxShowsItsUnreadCount) {
  const QModelIndex inbox = Find(U("受信"));
  ASSERT_TRUE(inbox.isValid());
  EXPECT_EQ(inbox.data(MailboxTreeModel::UnreadCountRole).toInt(), 3);
  EXPECT_EQ(inbox.data(Qt::DisplayRole).toString(), U("受信 (3)"));
  EXPECT_TRUE(inbox.data(Qt::FontRole).value<QFont>().bold());
  // Reading one lowers the count.
  inbox_->box().RecordAt(0)->status = kStatusRead;
  inbox_->box().NoteRecordChanged(0);
  inbox_->box().UpdateUnreadMark();
  manager_->RefreshUnreadMarks();
  EXPECT_EQ(Find(U("受信")).data(Qt::DisplayRole).toString(), U("受信 (2)"));
}

TEST_F(MailManagerTest, NewFolderAndBoxRenameInPlaceAndDeleteToTheTrash) {
  Select(U("文書BOX"));
  next_name_ = U("仕事");
  manager_->NewFolder();
  ASSERT_TRUE(Find(U("仕事")).isValid());
  EXPECT_TRUE(PathExists(FromNativePath(data_.File("仕事.lp"))));
  next_name_ = U("顧客");
  manager_->NewBox();  // inside the selected new folder
  ASSERT_TRUE(Find(U("顧客")).isValid());
  EXPECT_EQ(Find(U("顧客")).parent(), Find(U("仕事")));
  EXPECT_TRUE(PathExists(FromNativePath(data_.File("仕事.lp/顧客.lp"))));
  EXPECT_EQ(asked_, QStringList({U("新規フォルダ"), U("新規メールBOX")}));

  // Renamed in place, as the tree's editor does it.
  EXPECT_TRUE(manager_->model().setData(Find(U("顧客")), U("取引先"), Qt::EditRole));
  EXPECT_TRUE(Find(U("取引先")).isValid());
  EXPECT_TRUE(PathExists(FromNativePath(data_.File("仕事.lp/取引先.lp"))));
  EXPECT_FALSE(PathExists(FromNativePath(data_.File("仕事.lp/顧客.lp"))));
  // The fixed boxes keep their names.
  EXPECT_FALSE(manager_->model().flags(Find(U("受信"))).testFlag(Qt::ItemIsEditable));

  Select(U("仕事"));
  ui_.QueueAnswer(Answer::Ok);
  manager_->DeleteSelected();
  EXPECT_FALSE(Find(U("仕事")).isValid());
  ASSERT_EQ(trashed_.size(), 1u);
  EXPECT_NE(trashed_[0].find("仕事.lp"), std::string::npos);
  EXPECT_FALSE(PathExists(FromNativePath(data_.File("仕事.lp"))));
}

TEST_F(MailManagerTest, MailsDraggedOntoABoxMoveOrWithCtrlAreCopied) {
  Select(U("文書BOX"));
  next_name_ = U("保存");
  manager_->NewBox();
  const QModelIndex saved = Find(U("保存"));
  ASSERT_TRUE(saved.isValid());
  MailListModel& list = inbox_->model();

  std::unique_ptr<QMimeData> first(list.mimeData({list.index(0, 0), list.index(0, 3)}));
  ASSERT_TRUE(manager_->model().canDropMimeData(first.get(), Qt::CopyAction, -1, -1, saved));
  EXPECT_FALSE(manager_->model().canDropMimeData(first.get(), Qt::CopyAction, -1, -1, Find(U("文書BOX"))));
  ASSERT_TRUE(manager_->model().dropMimeData(first.get(), Qt::CopyAction, -1, -1, saved));
  EXPECT_EQ(list.rowCount(), 3);

  std::unique_ptr<QMimeData> rest(list.mimeData({list.index(1, 0), list.index(2, 0)}));
  ASSERT_TRUE(manager_->model().dropMimeData(rest.get(), Qt::MoveAction, -1, -1, saved));
  ASSERT_EQ(list.rowCount(), 1);
  EXPECT_EQ(list.index(0, MailListModel::SubjectColumn).data().toString(), U("会議案内"));

  MailboxView* box = program_.window->OpenMailbox(FromNativePath(data_.File("保存.lp")));
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->model().rowCount(), 3);
  EXPECT_EQ(box->model().index(0, MailListModel::SubjectColumn).data().toString(), U("会議案内"));
  EXPECT_EQ(box->model().index(2, MailListModel::SubjectColumn).data().toString(), U("forwarded"));
  EXPECT_EQ(Find(U("保存")).data(MailboxTreeModel::UnreadCountRole).toInt(), 3);
}

TEST_F(MailManagerTest, ABoxDraggedOntoAFolderMovesWithItsOpenWindow) {
  Select(U("文書BOX"));
  next_name_ = U("仕事");
  manager_->NewFolder();
  Select(U("文書BOX"));
  next_name_ = U("保存");
  manager_->NewBox();
  MailboxView* view = program_.window->OpenMailbox(FromNativePath(data_.File("保存.lp")));
  ASSERT_NE(view, nullptr);
  auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget());
  ASSERT_NE(window, nullptr);
  // Mails moved in while its window is open.
  MailListModel& list = inbox_->model();
  std::unique_ptr<QMimeData> mails(list.mimeData({list.index(0, 0)}));
  ASSERT_TRUE(manager_->model().dropMimeData(mails.get(), Qt::MoveAction, -1, -1, Find(U("保存"))));

  MailboxTreeModel& tree = manager_->model();
  EXPECT_TRUE(tree.flags(Find(U("保存"))).testFlag(Qt::ItemIsDragEnabled));
  EXPECT_FALSE(tree.flags(Find(U("受信"))).testFlag(Qt::ItemIsDragEnabled));
  std::unique_ptr<QMimeData> box(tree.mimeData({Find(U("保存"))}));
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(tree.canDropMimeData(box.get(), Qt::MoveAction, -1, -1, Find(U("保存"))));
  ASSERT_TRUE(tree.canDropMimeData(box.get(), Qt::MoveAction, -1, -1, Find(U("仕事"))));
  ASSERT_TRUE(tree.dropMimeData(box.get(), Qt::MoveAction, -1, -1, Find(U("仕事"))));
  QCoreApplication::processEvents();

  EXPECT_TRUE(PathExists(FromNativePath(data_.File("仕事.lp/保存.lp"))));
  EXPECT_FALSE(PathExists(FromNativePath(data_.File("保存.lp"))));
  EXPECT_EQ(Find(U("保存")).parent(), Find(U("仕事")));
  // The open window works on the moved files: a save lands there.
  EXPECT_EQ(view->box().PathName(), FromNativePath(data_.File("仕事.lp/保存.lp")));
  EXPECT_EQ(window->windowTitle(), U("保存"));
  ASSERT_TRUE(view->box().Save().ok);
  EXPECT_FALSE(PathExists(FromNativePath(data_.File("保存.lp"))));
  EXPECT_EQ(view->model().rowCount(), 1);
}

TEST_F(MailManagerTest, PropertiesOfTheSelectedBoxAreShownAndWrittenBack) {
  Select(U("文書BOX"));
  next_name_ = U("保存");
  manager_->NewBox();
  const std::string path = FromNativePath(data_.File("保存.lp"));
  std::vector<BoxProperties> shown;
  manager_->SetPropertiesEditor([&](BoxProperties& properties) {
    shown.push_back(properties);
    properties.find_box = false;
    return true;
  });
  Select(U("保存"));
  ASSERT_TRUE(program_.window->router().Run(cmd::kBoxProperties));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].find_box);
  EXPECT_TRUE(shown[0].auto_compact);
  EXPECT_EQ(shown[0].name, Utf8ToCp932("保存"));
  EXPECT_EQ(program_.core.profile().GetInt("FindBox", path, -1), 0);
  EXPECT_EQ(program_.core.profile().GetInt("AutoCompact", path, -1), 1);

  // The dialog itself: its check boxes carry the values both ways.
  BoxPropertiesDialog dialog(BoxProperties{false, true, Utf8ToCp932("取引先")});
  // The title names the box, and the dialog leaves room for all of it.
  EXPECT_EQ(dialog.windowTitle(), U("文書BOXのプロパティ - 取引先"));
  EXPECT_GT(dialog.minimumWidth(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()));
  EXPECT_FALSE(dialog.find_box().isChecked());
  dialog.auto_compact().setChecked(false);
  dialog.find_box().setChecked(true);
  EXPECT_TRUE(dialog.properties().find_box);
  EXPECT_FALSE(dialog.properties().auto_compact);
}

// The box menu lists every box file, folders as submenus; an item opens
// its box, and the receive box is checked while it holds unread mail.
TEST_F(MailManagerTest, BoxMenuListsTheBoxFilesWithFoldersAsSubmenus) {
  Select(U("文書BOX"));
  next_name_ = U("仕事");
  manager_->NewFolder();
  next_name_ = U("顧客");
  manager_->NewBox();

  BoxMenu& box_menu = program_.window->box_menu();
  box_menu.Refill();
  QMenu* folder = nullptr;
  QAction* inbox_action = program_.window->ActionFor(cmd::kOpenReceiveBox);
  for (QMenu* menu : program_.window->findChildren<QMenu*>()) {
    if (menu->title() == U("仕事")) folder = menu;
  }
  ASSERT_NE(folder, nullptr);
  ASSERT_EQ(folder->actions().size(), 1);
  QAction* customer = folder->actions().front();
  EXPECT_EQ(customer->text(), U("顧客"));
  EXPECT_TRUE(inbox_action->isChecked());
  EXPECT_FALSE(program_.window->ActionFor(cmd::kOpenSentBox)->isVisible());  // SmailDone is off

  customer->trigger();
  MailboxView* opened = program_.window->ActiveMailbox();
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(Cp932ToUtf8(opened->box().PathName()), data_.File("仕事.lp/顧客.lp"));

  // A second fill replaces the items instead of adding them again.
  box_menu.Refill();
  int folders = 0;
  for (QMenu* menu : program_.window->findChildren<QMenu*>()) folders += menu->title() == U("仕事") ? 1 : 0;
  EXPECT_EQ(folders, 1);
}

// A mailbox window's placement is kept in [Settings2] when it closes and
// used by the next one; a maximised one makes the next open maximised.
TEST_F(MailManagerTest, MailboxWindowPlacementIsKeptForTheNextWindow) {
  QMdiSubWindow* window = nullptr;
  for (QMdiSubWindow* child : program_.window->mdi().subWindowList()) {
    if (child->widget() == inbox_) window = child;
  }
  ASSERT_NE(window, nullptr);
  // Beside the mail manager, where a restored window stays put.
  int left = 0;
  for (QMdiSubWindow* child : program_.window->mdi().subWindowList()) {
    if (child != window) left = std::max(left, child->geometry().right() + 1);
  }
  program_.window->resize(left + 600, 600);
  const QRect placed(left + 20, 30, 300, 250);
  window->setGeometry(placed);
  window->close();
  EXPECT_EQ(program_.session->profile().GetString("Settings2", "", ""),
            QStringLiteral("0,1,-1,-1,-1,-1,%1,30,%2,280").arg(left + 20).arg(left + 320).toStdString());

  MailboxView* reopened = program_.window->OpenMailbox(program_.core.settings().default_file);
  ASSERT_NE(reopened, nullptr);
  QMdiSubWindow* again = program_.window->mdi().activeSubWindow();
  EXPECT_EQ(again->geometry(), placed);
  again->showMaximized();
  EXPECT_EQ(program_.core.settings().show_cmd2, 3);
  again->close();
  ASSERT_NE(program_.window->OpenMailbox(program_.core.settings().default_file), nullptr);
  EXPECT_TRUE(program_.window->mdi().activeSubWindow()->isMaximized());
  program_.window->mdi().activeSubWindow()->showNormal();
  EXPECT_EQ(program_.core.settings().show_cmd2, 1);
}

}  // namespace
}  // namespace lp
