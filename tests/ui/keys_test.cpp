#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/application_core.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "config/key_names.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "ui/compose_view.h"
#include "ui/desktop_session.h"
#include "ui/key_binding_dialog.h"
#include "ui/key_customization_dialog.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/virtual_keys.h"

// Qt keys onto the virtual-key values of the key file, key presses through
// the key table to the router, and the key customization dialog.

namespace lp {
namespace {

using ::testing::ElementsAre;
using testing::ReadFileBytes;
using testing::TempDirectory;

constexpr std::uint32_t kF5 = 116;

struct KeyCase {
  int qt_key;
  bool keypad;
  std::uint32_t virtual_key;  // 0: cannot be bound
};

TEST(VirtualKeys, QtKeysMapOntoTheKeyFileValues) {
  const KeyCase cases[] = {
      {Qt::Key_F1, false, 112},       {Qt::Key_F12, false, 123},     {Qt::Key_F15, false, 126},
      {Qt::Key_F16, false, 0},        {Qt::Key_A, false, 65},        {Qt::Key_Z, false, 90},
      {Qt::Key_At, false, 192},       {Qt::Key_Insert, false, 45},   {Qt::Key_Delete, false, 46},
      {Qt::Key_Backspace, false, 8},  {Qt::Key_Return, false, 13},   {Qt::Key_Enter, true, 13},
      {Qt::Key_Space, false, 32},     {Qt::Key_PageUp, false, 33},   {Qt::Key_PageDown, false, 34},
      {Qt::Key_End, false, 35},       {Qt::Key_Home, false, 36},     {Qt::Key_Left, false, 37},
      {Qt::Key_Up, false, 38},        {Qt::Key_Right, false, 39},    {Qt::Key_Down, false, 40},
      {Qt::Key_Escape, false, 27},    {Qt::Key_Tab, false, 9},       {Qt::Key_0, true, 96},
      {Qt::Key_9, true, 105},         {Qt::Key_Asterisk, true, 106}, {Qt::Key_Plus, true, 107},
      {Qt::Key_Minus, true, 109},     {Qt::Key_Slash, true, 111},
      // The main keyboard's digits and operators are no bindable keys.
      {Qt::Key_5, false, 0},          {Qt::Key_Asterisk, false, 0},  {Qt::Key_Minus, false, 0},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(VirtualKeyOf(c.qt_key, c.keypad), c.virtual_key) << std::hex << c.qt_key << " keypad " << c.keypad;
  }
}

TEST(VirtualKeys, ShiftTabArrivesAsBacktab) {
  const std::optional<KeyCombination> combination = CombinationOf(Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_TRUE(combination);
  EXPECT_EQ(combination->key, 9u);
  EXPECT_TRUE(combination->shift);
  EXPECT_FALSE(combination->ctrl);
}

// Every bindable key with every modifier survives the way to the menu's
// shortcut and back, so what a menu shows is what the key table holds.
TEST(VirtualKeys, EveryBindingRoundTripsThroughItsShortcut) {
  for (const KeyName& key : BindableKeys()) {
    for (int modifiers = 0; modifiers < 8; ++modifiers) {
      const KeyCombination combination{key.key, (modifiers & 1) != 0, (modifiers & 2) != 0, (modifiers & 4) != 0};
      const QKeySequence shortcut = ShortcutOf(combination);
      ASSERT_EQ(shortcut.count(), 1) << key.name;
      const QKeyCombination pressed = shortcut[0];
      EXPECT_EQ(CombinationOf(pressed.key(), pressed.keyboardModifiers()), combination) << key.name << " " << modifiers;
    }
  }
}

// The main window over a fresh data directory, with the standard bindings.
class KeyDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.Start(data_.path(), ui_);
    ASSERT_NE(program_.window, nullptr);
    for (const int command : {cmd::kSendAndReceive, cmd::kPatrol, cmd::kReceive}) {
      window_->router().Register(command, [this, command] { ran_.push_back(command); });
    }
  }
  void Press(int qt_key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    MailboxView* view = window_->ActiveMailbox();
    ASSERT_NE(view, nullptr);
    QTest::keyClick(&view->list(), static_cast<Qt::Key>(qt_key), modifiers);
  }

  TempDirectory data_{true};  // the program enters it: left again at the end
  RecordingUserInterface ui_;
  testing::DesktopProgram program_;
  std::unique_ptr<DesktopSession>& session_ = program_.session;
  std::unique_ptr<MainWindow>& window_ = program_.window;
  std::vector<int> ran_;
};

TEST_F(KeyDispatchTest, AKeyRunsEveryCommandBoundToItInTableOrder) {
  Press(Qt::Key_F5);
  EXPECT_THAT(ran_, ElementsAre(cmd::kSendAndReceive));
  session_->keys().Add(CKeycust{KeyCombination{kF5}, static_cast<std::uint32_t>(cmd::kPatrol)});
  ran_.clear();
  Press(Qt::Key_F5);
  EXPECT_THAT(ran_, ElementsAre(cmd::kSendAndReceive, cmd::kPatrol));
  // Modifiers are part of the binding: Shift+F5 is another key.
  ran_.clear();
  Press(Qt::Key_F4);
  Press(Qt::Key_F4, Qt::ControlModifier);
  EXPECT_THAT(ran_, ElementsAre(cmd::kReceive));
}

TEST_F(KeyDispatchTest, ToolTipsNameTheKeyWithoutTheMnemonicAndNoDialUpItemShows) {
  EXPECT_EQ(window_->ActionFor(cmd::kReceive)->toolTip(), QString::fromUtf8("受信 (F4)"));
  EXPECT_EQ(window_->ActionFor(cmd::kSettings)->toolTip(), QString::fromUtf8("設定 (F12)"));
  EXPECT_FALSE(window_->ActionFor(cmd::kConnect)->isVisible());
  EXPECT_FALSE(window_->ActionFor(cmd::kDisconnect)->isVisible());
  // The usual keys of the desktop beside the key table.
  EXPECT_EQ(window_->ActionFor(cmd::kDeleteMail)->shortcut(), QKeySequence(Qt::Key_Delete));
  EXPECT_EQ(window_->ActionFor(cmd::kDeleteMailForGood)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
}

TEST_F(KeyDispatchTest, CtrlWAndCtrlF4CloseTheActiveChildWindow) {
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  ASSERT_TRUE(window_->router().Run(cmd::kMailManager));
  MailboxView* inbox = window_->OpenMailbox(program_.core.settings().default_file);
  ASSERT_NE(inbox, nullptr);
  ASSERT_EQ(window_->mdi().subWindowList().size(), 2);
  inbox->list().setFocus();
  QTest::keyClick(&inbox->list(), Qt::Key_W, Qt::ControlModifier);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(window_->mdi().subWindowList().size(), 1);
  EXPECT_EQ(window_->ActiveMailbox(), nullptr);

  QWidget* manager = window_->mdi().subWindowList().front()->widget();
  window_->mdi().setActiveSubWindow(window_->mdi().subWindowList().front());
  window_->RefreshCommandStates();
  manager->setFocus();
  QTest::keyClick(manager, Qt::Key_F4, Qt::ControlModifier);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window_->mdi().subWindowList().isEmpty());
}

TEST_F(KeyDispatchTest, TheComposeWindowsMnemonicsWinOverTheMenuBar) {
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  int picked = 0;
  window_->SetComposeDialogs([](const QString&) { return ComposeCloseAnswer::Cancel; },
                             [&picked] {
                               ++picked;
                               return QString();
                             });
  ASSERT_TRUE(window_->router().Run(cmd::kNewMail));
  ComposeView* compose = window_->ActiveComposeView();
  ASSERT_NE(compose, nullptr);
  auto* discard = compose->findChild<QPushButton*>(QStringLiteral("discardButton"));
  ASSERT_NE(discard, nullptr);
  QSignalSpy discarded(discard, &QPushButton::clicked);
  compose->body().setFocus();

  QTest::keyClick(&compose->body(), Qt::Key_C, Qt::AltModifier);  // "&Cc:"
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // no menu opened
  QTest::keyClick(&compose->body(), Qt::Key_D, Qt::AltModifier);  // "破棄(&D)"
  EXPECT_EQ(discarded.count(), 1);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(KeyDispatchTest, BindingAKeyTakenAlreadyAsksAndCancelKeepsTheDialogOpen) {
  KeyBindingDialog dialog(session_->keys(), ui_, std::nullopt);
  dialog.SetBinding(CKeycust{KeyCombination{kF5}, static_cast<std::uint32_t>(cmd::kPatrol)});
  dialog.show();
  ui_.QueueAnswer(Answer::Cancel);
  dialog.accept();
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(ui_.questions[0].text),
            "このキーは [ﾌｧｲﾙ]送受信に設定済みです。さらにこの機能を追加しますか？");
  EXPECT_TRUE(dialog.isVisible());
  ui_.QueueAnswer(Answer::Ok);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Binding().command, static_cast<std::uint32_t>(cmd::kPatrol));

  // Changing an entry without changing its key asks nothing.
  KeyBindingDialog change(session_->keys(), ui_, CKeycust{KeyCombination{kF5}, static_cast<std::uint32_t>(cmd::kSendAndReceive)});
  change.show();
  change.accept();
  EXPECT_EQ(ui_.questions.size(), 2u);  // still the two questions above
  EXPECT_EQ(change.result(), QDialog::Accepted);
}

TEST_F(KeyDispatchTest, CustomizationDialogEditsTheTableAndSavesTheKeyFile) {
  CKeycustArray& keys = session_->keys();
  // A binding to a command without a name works but is not listed.
  keys.Add(CKeycust{KeyCombination{'Q'}, 40000});
  std::string key_file = session_->key_file_path();
  KeyCustomizationDialog dialog(keys, key_file, ui_);
  const std::size_t listed = dialog.listed().size();
  EXPECT_EQ(listed, keys.Count() - 1);
  EXPECT_EQ(dialog.list().topLevelItem(0)->text(0), QStringLiteral("F1"));

  dialog.AddEntry(CKeycust{KeyCombination{kF5}, static_cast<std::uint32_t>(cmd::kPatrol)});
  EXPECT_EQ(dialog.list().currentItem()->text(1), QString::fromUtf8("[ﾌｧｲﾙ]巡回"));
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(dialog.RemoveSelected());
  EXPECT_EQ(dialog.listed().size(), listed + 1);
  EXPECT_EQ(Cp932ToUtf8(ui_.questions.back().text), "削除しますか？");

  dialog.show();
  dialog.SaveAndClose();
  EXPECT_FALSE(dialog.isVisible());
  CKeycustArray saved;
  ASSERT_TRUE(saved.Load(key_file));
  EXPECT_EQ(saved.Entries(), keys.Entries());
  // 26 bytes for the first entry, 12 for each further one.
  EXPECT_EQ(ReadFileBytes(ToNativePath(key_file)).size(), 26u + 12u * (keys.Count() - 1));

  // The key now runs both commands.
  Press(Qt::Key_F5);
  EXPECT_THAT(ran_, ElementsAre(cmd::kSendAndReceive, cmd::kPatrol));
}

TEST_F(KeyDispatchTest, FailedLoadAndSaveKeepTheTableAndSaySo) {
  CKeycustArray& keys = session_->keys();
  const std::vector<CKeycust> before = keys.Entries();
  std::string key_file = session_->key_file_path();
  KeyCustomizationDialog dialog(keys, key_file, ui_);
  testing::WriteFileBytes(data_.File("broken.key"), "not a key file");
  EXPECT_FALSE(dialog.LoadFrom(FromNativePath(data_.File("broken.key"))));
  EXPECT_EQ(keys.Entries(), before);
  EXPECT_EQ(key_file, session_->key_file_path());
  dialog.show();
  key_file = FromNativePath(data_.File("missing/lpost.key"));
  dialog.SaveAndClose();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(Cp932ToUtf8(ui_.messages[0]), "読み込めません");
  EXPECT_EQ(Cp932ToUtf8(ui_.messages[1]), "保存できません");
}

}  // namespace
}  // namespace lp
