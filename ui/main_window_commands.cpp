// The main window's actions, menus, toolbars and status bar, and the
// handlers of the commands it runs itself.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

#include "app/command_ids.h"
#include "app/startup_request.h"
#include "config/key_names.h"
#include "store/mail_record.h"
#include "store/mail_status.h"
#include "ui/box_menu.h"
#include "ui/connection_settings_dialog.h"
#include "ui/desktop_session.h"
#include "ui/function_key_bar.h"
#include "ui/key_customization_dialog.h"
#include "ui/label_dialog.h"
#include "ui/lan_directory_dialog.h"
#include "ui/mail_import_dialog.h"
#include "ui/progress_window.h"
#include "ui/mail_list_delegate.h"
#include "ui/mail_manager_view.h"
#include "ui/mail_selection.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/patrol_targets_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"
#include "ui/version_check_window.h"
#include "ui/virtual_keys.h"

namespace lp {
namespace {

struct ToolButton {
  int command;
  const char* theme;     // freedesktop icon name
  const char* resource;  // our own picture
};

// Toolbar order; 0 is a separator. The first button patrols instead of
// sending and receiving when [System] RsmailRound is 1.
constexpr ToolButton kToolButtons[] = {
    {cmd::kSendAndReceive, "mail-send-receive", "sendrecv"},
    {cmd::kReceive, "mail-receive", "receive"},
    {cmd::kSend, "mail-send", "send"},
    {0, nullptr, nullptr},
    {cmd::kNewMail, "mail-message-new", "new"},
    {cmd::kReply, "mail-reply-sender", "reply"},
    {cmd::kForward, "mail-forward", "forward"},
    {cmd::kDeleteMail, "edit-delete", "delete"},
    {0, nullptr, nullptr},
    {cmd::kFindInBox, "edit-find", "find"},
    {cmd::kMailManager, "folder", "manager"},
    {cmd::kSettings, "preferences-system", "settings"},
};

// A menu text as a tooltip: without its mnemonic ("受信(&T)" is "受信")
// and without the dots that promise a dialog.
QString ToolTipText(QString text) {
  static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
  text.remove(mnemonic);
  text.remove(QLatin1Char('&'));
  while (text.endsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char(' '))) text.chop(1);
  return text;
}

QIcon IconOf(int command) {
  for (const ToolButton& button : kToolButtons) {
    if (button.command == command) return ThemedIcon(button.theme, button.resource);
  }
  if (command == cmd::kPatrol) return ThemedIcon("mail-send-receive", "patrol");
  return {};
}

}  // namespace

void MainWindow::BuildActions() {
  for (const CommandInfo& info : AllCommands()) {
    auto* action = new QAction(this);
    action->setData(info.id);
    action->setIcon(IconOf(info.id));
    if (CheckedState(info.id, CommandState{})) action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, id = info.id] { (void)router_.Run(id); });
    actions_[info.id] = action;
  }
  // No dial-up on this platform: the connect and disconnect items would do
  // nothing (the commands stay for keys and the command line).
  for (const int command : {cmd::kConnect, cmd::kDisconnect}) actions_.at(command)->setVisible(false);
  RefreshActionKeys();
}

void MainWindow::RefreshActionKeys() {
  for (const auto& [id, action] : actions_) {
    QString text = FromSjis(MenuText(id));
    QString tip = ToolTipText(text);
    // The key is shown in the menu; the key table dispatches it, so one
    // key can run several commands in order.
    const int binding = session_.keys().FindCommand(static_cast<std::uint32_t>(id));
    if (binding >= 0) {
      const QString key =
          QString::fromLatin1(BindingText(session_.keys().At(static_cast<std::size_t>(binding)).combination));
      text += QLatin1Char('\t') + key;
      tip += QStringLiteral(" (") + key + QLatin1Char(')');
    }
    action->setText(text);
    action->setToolTip(tip);
  }
  ApplyDesktopKeys();
}

void MainWindow::ApplyDesktopKeys() {
  // Closing the active child window comes before the key table, as the
  // window system's own keys do (Ctrl+F4 stays with the window).
  actions_.at(cmd::kCloseWindow)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
  // Deleting keeps its usual keys unless the key table gives them another
  // command. Text fields take them first, as they take every editing key.
  const std::pair<int, QKeySequence> deleting[] = {{cmd::kDeleteMail, QKeySequence(Qt::Key_Delete)},
                                                   {cmd::kDeleteMailForGood, QKeySequence(Qt::SHIFT | Qt::Key_Delete)}};
  for (const auto& [command, sequence] : deleting) {
    const QKeyCombination pressed = sequence[0];
    const std::optional<KeyCombination> combination = CombinationOf(pressed.key(), pressed.keyboardModifiers());
    const bool taken = combination && !session_.keys().CommandsFor(*combination).empty();
    actions_.at(command)->setShortcut(taken ? QKeySequence() : sequence);
  }
}

void MainWindow::CustomizeKeys() {
  KeyCustomizationDialog dialog(session_.keys(), session_.key_file_path(), session_.ui(), this);
  (void)dialog.exec();
  Profile& profile = session_.profile();
  function_bar_->Rebuild(profile.GetInt("System", "FuncKeyCount", 12), profile.GetInt("System", "FuncBlockCount", 4));
  function_bar_->Refresh(ModifierStateOf(QApplication::queryKeyboardModifiers()));
  RefreshActionKeys();
}

void MainWindow::EditConnectionSettings() {
  CSigneMenuArray signatures;
  signatures.Load(session_.profile());
  ConnectionSettingsDialog dialog(session_.accounts(), session_.profile(), signatures, session_.transports(), this);
  if (dialog.exec() == QDialog::Accepted) RefreshTitle();
}

void MainWindow::EditSettings() {
  SettingsDialog dialog(session_.profile(), session_.accounts(), session_.app().settings(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  // The first button follows RsmailRound; the tree shows the boxes just made.
  FillToolbar(*small_toolbar_);
  FillToolbar(*large_toolbar_);
  RefreshAddressNames();
  (void)router_.Run(cmd::kRefreshFolders);
}

void MainWindow::BuildMenus() {
  const CommandMenu order[] = {CommandMenu::File, CommandMenu::Edit, CommandMenu::Compose, CommandMenu::Box,
                               CommandMenu::Mail, CommandMenu::View, CommandMenu::Window, CommandMenu::Help};
  for (const CommandMenu menu_kind : order) {
    QMenu* menu = menuBar()->addMenu(FromSjis(MenuTitle(menu_kind)));
    for (const CommandInfo& info : AllCommands()) {
      if (info.menu == menu_kind) menu->addAction(actions_.at(info.id));
    }
    if (menu_kind == CommandMenu::Box) {
      box_menu_ = new BoxMenu(*menu, session_, actions_, [this](int command) { (void)router_.Run(command); });
    }
  }
}

void MainWindow::FillToolbar(QToolBar& bar) {
  const bool patrol_first = session_.profile().GetInt("System", "RsmailRound", 0) == 1;
  bar.clear();
  for (const ToolButton& button : kToolButtons) {
    if (button.command == 0) {
      bar.addSeparator();
      continue;
    }
    int command = button.command;
    if (command == cmd::kSendAndReceive && patrol_first) command = cmd::kPatrol;
    bar.addAction(actions_.at(command));
  }
}

void MainWindow::BuildToolbars() {
  small_toolbar_ = addToolBar(QStringLiteral("small"));
  small_toolbar_->setObjectName(QStringLiteral("smallToolbar"));
  small_toolbar_->setIconSize(QSize(16, 16));
  FillToolbar(*small_toolbar_);
  large_toolbar_ = addToolBar(QStringLiteral("large"));
  large_toolbar_->setObjectName(QStringLiteral("largeToolbar"));
  large_toolbar_->setIconSize(QSize(32, 32));
  large_toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  FillToolbar(*large_toolbar_);
  ApplyToolbarChoice(toolbar_choice_);

  Profile& profile = session_.profile();
  function_bar_ = new FunctionKeyBar(session_.keys(), [this](const KeyCombination& key) { RunKey(key); });
  function_bar_->Rebuild(profile.GetInt("System", "FuncKeyCount", 12), profile.GetInt("System", "FuncBlockCount", 4));
  function_dock_ = new QToolBar(QStringLiteral("function keys"), this);
  function_dock_->setObjectName(QStringLiteral("functionKeyDock"));
  function_dock_->setMovable(false);
  function_dock_->addWidget(function_bar_);
  addToolBar(Qt::BottomToolBarArea, function_dock_);
  function_dock_->setVisible(profile.GetInt("View", "Func", 1) != 0);
}

void MainWindow::BuildStatusBar() {
  message_pane_ = new QLabel(this);
  count_pane_ = new QLabel(this);
  receive_pane_ = new QLabel(this);
  send_pane_ = new QLabel(this);
  const QFontMetrics metrics = statusBar()->fontMetrics();
  // Panes sized by their sample texts.
  count_pane_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("5555/5555")) + 8);
  receive_pane_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("R 55/55 55:55")) + 8);
  send_pane_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("S 55/55 55:55")) + 8);
  statusBar()->addWidget(message_pane_, 1);
  statusBar()->addPermanentWidget(count_pane_);
  statusBar()->addPermanentWidget(receive_pane_);
  statusBar()->addPermanentWidget(send_pane_);
  // Kana, caps and num lock: Qt tells the lock states only on X11 (in the
  // key events' native modifiers); elsewhere the panes stay empty. No
  // platform tells the kana lock, so that pane only keeps its place.
  for (QLabel*& pane : lock_panes_) {
    pane = new QLabel(this);
    pane->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("KANA")) + 8);
    statusBar()->addPermanentWidget(pane);
  }
  statusBar()->setVisible(session_.profile().GetInt("View", "StatusBar", 1) != 0);
}

void MainWindow::ApplyToolbarChoice(int choice) {
  toolbar_choice_ = choice;
  small_toolbar_->setVisible(choice == 0);
  large_toolbar_->setVisible(choice == 1);
}

void MainWindow::SetSplit(int split) {
  (void)session_.profile().WriteInt("View", "SplPos", split);
  session_.ui().Inform(ToSjis(QString::fromUtf8(ui_text::kSplitTakesEffectLater)));
}

void MainWindow::RegisterHandlers() {
  RegisterReadHandlers();
  RegisterComposeHandlers();
  RegisterRunHandlers();
  RegisterViewHandlers();
  RegisterWindowHandlers();
  RegisterMailHandlers();
  RegisterSearchHandlers();
  RegisterTextExportHandlers();
  RegisterEditHandlers();
  RegisterAddressBookHandlers();
}

void MainWindow::OpenBoxAndRun(BoxOfRun box, bool (DesktopSession::*run)()) {
  // The settings are read when the command runs: the settings dialog may
  // have named other boxes since the handlers were registered.
  const AppSettings& settings = session_.app().settings();
  (void)OpenMailbox(box == BoxOfRun::Send ? settings.send_file : settings.default_file);
  (void)(session_.*run)();
}

void MainWindow::RegisterRunHandlers() {
  router_.Register(cmd::kReceive, [this] { OpenBoxAndRun(BoxOfRun::Receive, &DesktopSession::Receive); });
  router_.Register(cmd::kReceiveForSendAndReceive,
                   [this] { OpenBoxAndRun(BoxOfRun::Receive, &DesktopSession::Receive); });
  router_.Register(cmd::kSend, [this] { OpenBoxAndRun(BoxOfRun::Send, &DesktopSession::Send); });
  router_.Register(cmd::kSendAndReceive,
                   [this] { OpenBoxAndRun(BoxOfRun::Receive, &DesktopSession::SendAndReceive); });
  router_.Register(cmd::kPatrol, [this] { OpenBoxAndRun(BoxOfRun::Receive, &DesktopSession::Patrol); });
  router_.Register(cmd::kLanReceiveOnly, [this] { OpenBoxAndRun(BoxOfRun::Receive, &DesktopSession::LanReceive); });
  router_.Register(cmd::kCancelRun, [this] { session_.Cancel(); });

  router_.RegisterRange(cmd::kFirstBoxFile, cmd::kLastBoxFile, [this](int command) {
    if (box_menu_ == nullptr) return;
    if (const std::string path = box_menu_->BoxFileOf(command); !path.empty() && path.back() != '/') {
      (void)OpenMailbox(path);
    }
  });
  router_.Register(cmd::kOpenReceiveBox, [this] { (void)OpenMailbox(session_.app().settings().default_file); });
  router_.Register(cmd::kOpenSendBox, [this] { (void)OpenMailbox(session_.app().settings().send_file); });
  router_.Register(cmd::kOpenSentBox, [this] { (void)OpenMailbox(session_.app().settings().send_done_file); });
  router_.Register(cmd::kOpenDraftBox, [this] { (void)OpenMailbox(session_.app().settings().draft_file); });
  router_.Register(cmd::kOpenTrashBox, [this] { (void)OpenMailbox(session_.app().settings().trash_file); });
  router_.Register(cmd::kProcessMailto, [this] {
    Profile& profile = session_.profile();
    const StartupRequest request = ParseStartupRequest(profile.GetString("System", "mailto", ""));
    (void)profile.WriteString("System", "mailto", "");
    if (request.command) PostCommand(*request.command);
    if (request.mailto) {
      // The box the mail is written in opens, and a compose window on it.
      (void)OpenMailbox(ComposeBox());
      OpenMailtoCompose(*request.mailto);
    }
  });

  const std::pair<int, int> sorts[] = {{cmd::kSortByDate, 0}, {cmd::kSortByFrom, 1}, {cmd::kSortBySubject, 2},
                                       {cmd::kSortByLabel, 4}, {cmd::kSortByStatus, 5}};
  for (const auto& [command, key] : sorts) router_.Register(command, [this, key = key] { SortActive(key); });
  const std::pair<int, int> marks[] = {{cmd::kMarkRead, kStatusRead}, {cmd::kMarkUnread, kStatusUnread},
                                       {cmd::kMarkSent, kStatusSent}, {cmd::kMarkUnsent, kStatusUnsent}};
  for (const auto& [command, status] : marks) {
    router_.Register(command, [this, status = status] {
      if (MailboxView* view = ActiveMailbox()) {
        const std::vector<int> rows = SelectedRows(*view);
        SetStatus(view->box(), rows, status);
      }
    });
  }
  router_.Register(cmd::kSelectAllMail, [this] {
    if (MailboxView* view = ActiveMailbox()) view->list().selectAll();
  });
  router_.Register(cmd::kFocusMailList, [this] {
    if (MailboxView* view = ActiveMailbox()) view->list().setFocus();
  });
  router_.Register(cmd::kFocusPreview, [this] {
    if (MailboxView* view = ActiveMailbox(); view != nullptr && view->preview() != nullptr) view->preview()->setFocus();
  });
  router_.Register(cmd::kCloseBox, [this] {
    if (QMdiSubWindow* window = mdi_->activeSubWindow()) window->close();
  });
}

void MainWindow::RegisterViewHandlers() {
  router_.Register(cmd::kSmallToolbar, [this] { ApplyToolbarChoice(0); });
  router_.Register(cmd::kLargeToolbar, [this] { ApplyToolbarChoice(1); });
  router_.Register(cmd::kNoToolbar, [this] { ApplyToolbarChoice(2); });
  router_.Register(cmd::kStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); });
  router_.Register(cmd::kFunctionBar, [this] {
    const bool show = function_dock_->isHidden();
    function_dock_->setVisible(show);
    (void)session_.profile().WriteInt("View", "Func", show ? 1 : 0);
  });
  router_.Register(cmd::kRefreshFunctionBar,
                   [this] { function_bar_->Refresh(ModifierStateOf(QApplication::queryKeyboardModifiers())); });
  router_.Register(cmd::kNoPreview, [this] { SetSplit(0); });
  router_.Register(cmd::kSplitRows, [this] { SetSplit(1); });
  router_.Register(cmd::kSplitColumns, [this] { SetSplit(2); });
  router_.Register(cmd::kAutoForwardMode, [this] { auto_forward_ = !auto_forward_; });
  router_.Register(cmd::kMailManager, [this] { ShowMailManager(); });
  router_.Register(cmd::kImportOtherMail, [this] { ImportOtherMail(); });
  router_.Register(cmd::kKeyCustomization, [this] { CustomizeKeys(); });
  router_.Register(cmd::kConnectionSettings, [this] { EditConnectionSettings(); });
  router_.Register(cmd::kSettings, [this] { EditSettings(); });
  router_.Register(cmd::kPatrolSettings, [this] {
    PatrolTargetsDialog dialog(session_.accounts(), session_.profile(), this);
    (void)dialog.exec();
  });
  router_.Register(cmd::kLanDirectorySettings, [this] {
    LanDirectoryDialog dialog(session_.profile(), this);
    (void)dialog.exec();
  });
  router_.Register(cmd::kLabelSettings, [this] {
    LabelDialog dialog(session_.app().settings(), session_.profile(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    // Every open list shows the new names and colours at once.
    const auto labels = LabelStylesOf(session_.app().settings());
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
      if (auto* view = qobject_cast<MailboxView*>(window->widget())) view->SetLabels(labels);
    }
  });
  const std::pair<int, void (MailManagerView::*)()> tree_commands[] = {
      {cmd::kNewFolder, &MailManagerView::NewFolder},
      {cmd::kNewBox, &MailManagerView::NewBox},
      {cmd::kDeleteBox, &MailManagerView::DeleteSelected},
      {cmd::kRenameBox, &MailManagerView::RenameSelected},
      {cmd::kBoxProperties, &MailManagerView::ShowProperties}};
  for (const auto& [command, operation] : tree_commands) {
    router_.Register(command, [this, operation = operation] {
      if (manager_window_ != nullptr) (static_cast<MailManagerView*>(manager_window_->widget())->*operation)();
    });
  }
  router_.Register(cmd::kRefreshFolders, [this] {
    if (manager_window_ != nullptr) static_cast<MailManagerView*>(manager_window_->widget())->Rebuild();
  });
  router_.Register(cmd::kRefreshUnreadMarks, [this] {
    if (manager_window_ != nullptr) static_cast<MailManagerView*>(manager_window_->widget())->RefreshUnreadMarks();
    UpdateUnreadCount();
  });
  router_.Register(cmd::kStatusUpdate, [] {});
  auto* version_check = new VersionCheckCommand(session_.profile(), session_.ui(), this);
  router_.Register(cmd::kVersionCheck, [version_check] { version_check->Run(); });
  router_.Register(cmd::kAbout, [this] {
    QMessageBox::about(this, QStringLiteral("Lanternpost"),
                       QStringLiteral("Orvex Lanternpost ") + QCoreApplication::applicationVersion());
  });
}

void MainWindow::RegisterWindowHandlers() {
  router_.Register(cmd::kCascade, [this] { mdi_->cascadeSubWindows(); });
  router_.Register(cmd::kTileRows, [this] { mdi_->tileSubWindows(); });
  router_.Register(cmd::kTileColumns, [this] { mdi_->tileSubWindows(); });
  router_.Register(cmd::kArrangeIcons, [this] { mdi_->tileSubWindows(); });
  router_.Register(cmd::kCloseAllWindows, [this] { mdi_->closeAllSubWindows(); });
  router_.Register(cmd::kRestoreAllWindows, [this] {
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
      if (window->isMinimized()) window->showNormal();
    }
  });
  router_.Register(cmd::kCloseWindow, [this] {
    if (QMdiSubWindow* window = mdi_->activeSubWindow()) window->close();
  });
  router_.Register(cmd::kExit, [this] { close(); });
  router_.Register(cmd::kExitAfterAsking, [this] {
    if (session_.ui().Ask(ToSjis(QString::fromUtf8(ui_text::kAskExit)), MessageButtons::OkCancel) == Answer::Ok) {
      close();
    }
  });
}

}  // namespace lp

namespace lp {

void MainWindow::ImportOtherMail() {
  if (import_run_) {
    import_run_->progress_window()->raise();
    return;
  }
  MailImportDialog dialog(session_.app().data_directory(), this);
  if (dialog.exec() != QDialog::Accepted || dialog.Found().folders.empty()) return;
  // The import writes the boxes' files through documents of its own: each
  // box it writes is busy in the registry until it ends, so that no window
  // shows or saves a stale copy of it meanwhile.
  std::vector<JobBoxHold> holds;
  for (const std::string& path : dialog.PlannedBoxPaths()) {
    std::string refused;
    std::optional<JobBoxHold> hold = session_.registry().TakeForJob(path, &refused);
    if (!hold) {
      session_.ui().ShowMessage(refused);
      return;
    }
    holds.push_back(std::move(*hold));
  }
  import_holds_ = std::move(holds);
  import_run_ = std::make_unique<MailImportRun>(this, session_.profile(), session_.ui(), dialog.Request(),
                                                dialog.Found());
  connect(import_run_.get(), &MailImportRun::Finished, this, [this](const JobResult& result) {
    // The boxes' windows show every imported mail now.
    import_holds_.clear();
    session_.ui().ShowMessage(result.message);
    PostCommand(cmd::kRefreshFolders);
    PostCommand(cmd::kRefreshUnreadMarks);
    // Not from inside its own signal.
    QMetaObject::invokeMethod(this, [this] { import_run_.reset(); }, Qt::QueuedConnection);
  });
  import_run_->Start();
}

}  // namespace lp
