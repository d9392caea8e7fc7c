#include "ui/main_window.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QTreeView>
#include <ctime>

#include "app/command_ids.h"
#include "net/receive_messages.h"
#include "app/startup_request.h"
#include "app/window_placement.h"
#include "store/box_list.h"
#include "store/mail_sort.h"
#include "ui/desktop_notifier.h"
#include "ui/desktop_session.h"
#include "ui/dialog_user_interface.h"
#include "ui/function_key_bar.h"
#include "ui/mail_list_model.h"
#include "ui/mail_manager_view.h"
#include "ui/mail_list_menu.h"
#include "ui/mailbox_view.h"
#include "ui/mail_editor.h"
#include "ui/mail_filter_bar.h"
#include "ui/read_view.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"
#include "ui/virtual_keys.h"
#include "ui/window_fit.h"

namespace lp {
namespace {

constexpr int kTimerTickMs = 10'000;
constexpr int kLeastBoxWidth = 300;

bool IsModifierKey(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
}

}  // namespace

MainWindow::MainWindow(DesktopSession& session, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      router_([this] { return CurrentState(); }),
      mdi_(new QMdiArea(this)),
      timed_receive_(static_cast<std::int64_t>(std::time(nullptr))) {
  setObjectName(QStringLiteral("mainWindow"));
  setCentralWidget(mdi_);
  mdi_->setObjectName(QStringLiteral("mdiArea"));
  toolbar_choice_ = session_.profile().GetInt("View", "Toolbar", 0);

  RegisterHandlers();
  BuildActions();
  BuildMenus();
  BuildToolbars();
  BuildStatusBar();
  RefreshTitle();
  RefreshTimes();

  session_.SetHooks(DesktopSession::Hooks{
      [this](int command) { PostCommand(command); },
      [this](std::string_view text) { ShowStatusText(text); },
      [this](CLPOSTDoc& box, int caret) { OnListSet(box, caret); },
      [this] {
        RefreshTimes();  // a run that ended wrote its time
        NoteRunState();
        RefreshCommandStates();
      },
  });

  notifier_ = new DesktopNotifier(session_.profile().GetInt("View", "DesktopNotice", 1) != 0,
                                  session_.profile().GetInt("View", "TrayIcon", 1) != 0, this);
  if (notifier_->tray() != nullptr) {
    connect(notifier_->tray(), &QSystemTrayIcon::activated, this, [this] {
      showNormal();
      raise();
      activateWindow();
    });
  }
  UpdateUnreadCount();
  if (auto* dialogs = dynamic_cast<DialogUserInterface*>(&session_.ui())) {
    dialogs->SetReportSink([this](const QString& text) { return ShowReport(text); });
  }

  receive_timer_.setInterval(kTimerTickMs);
  connect(&receive_timer_, &QTimer::timeout, this, &MainWindow::TimerTick);
  receive_timer_.start();
  // Enabled states follow the state of the moment whenever the event loop
  // runs out of work, so menus and toolbars never offer a stale command.
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &MainWindow::RefreshCommandStates);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { RefreshCommandStates(); });
  qApp->installEventFilter(this);
  RefreshCommandStates();
}

void MainWindow::NoteRunState() {
  MailController& controller = session_.controller();
  if (!controller.Idle()) receiving_ = true;
  if (session_.Busy() || !receiving_) return;
  // A receive (or a run with one) ended.
  receiving_ = false;
  (void)notifier_->NewMail(controller.NewCount());
  UpdateUnreadCount();
}

void MainWindow::UpdateUnreadCount() {
  const CLPOSTDoc* inbox = session_.registry().Find(session_.AbsoluteBoxPath(session_.app().settings().default_file));
  int unread = 0;
  for (int i = 0; inbox != nullptr && i < inbox->Count(); ++i) unread += inbox->RecordAt(i)->IsUnread() ? 1 : 0;
  notifier_->SetUnreadCount(unread);
}

void MainWindow::ShowStatusText(std::string_view text) {
  const bool idle = text == std::string_view(receive_text::kReady);
  if (idle && report_in_pane_) return;
  report_in_pane_ = false;
  message_pane_->setText(FromSjis(text));
}

bool MainWindow::ShowReport(const QString& text) {
  if (session_.profile().GetInt("View", "ReportBox", 0) == 1) return false;
  message_pane_->setText(text);
  report_in_pane_ = true;
  // Out of sight of the status bar the desktop's notice tells it.
  if (!isActiveWindow()) (void)notifier_->Notice(text);
  return true;
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  if (auto* dialogs = dynamic_cast<DialogUserInterface*>(&session_.ui())) dialogs->SetReportSink({});
  // Closing the child windows below must not ask this half-destroyed
  // window for its state.
  disconnect(mdi_, nullptr, this, nullptr);
  disconnect(QAbstractEventDispatcher::instance(), nullptr, this, nullptr);
  session_.SetHooks({});
}

QAction* MainWindow::ActionFor(int command) const {
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::PostCommand(int command) {
  QTimer::singleShot(0, this, [this, command] { (void)router_.Run(command); });
}

CommandState MainWindow::CurrentState() const {
  CommandState state;
  state.busy = session_.Busy();
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  state.child_window_count = static_cast<int>(windows.size());
  if (QMdiSubWindow* active = mdi_->activeSubWindow()) {
    if (auto* view = qobject_cast<MailboxView*>(active->widget())) {
      state.active = WindowKind::Mailbox;
      state.selection_count = view->SelectionCount();
    } else if (qobject_cast<MailManagerView*>(active->widget()) != nullptr) {
      state.active = WindowKind::Manager;
    } else if (qobject_cast<ReadView*>(active->widget()) != nullptr) {
      state.active = WindowKind::Read;
    } else if (qobject_cast<ComposeView*>(active->widget()) != nullptr) {
      state.active = WindowKind::Compose;
    }
  }
  state.toolbar_choice = toolbar_choice_;
  state.status_bar = !statusBar()->isHidden();
  state.function_bar = function_dock_ != nullptr && !function_dock_->isHidden();
  state.split_position = session_.profile().GetInt("View", "SplPos", 1);
  state.auto_forward = auto_forward_;
  return state;
}

void MainWindow::UpdateCountPane() {
  // The active box's caret among its mails; rows that moved or went away
  // and another window coming to the front change it without a caret move.
  QString text;
  if (MailboxView* view = ActiveMailbox(); view != nullptr && view->CaretRow() >= 0) {
    char count[32];
    std::snprintf(count, sizeof count, ui_text::kMailCountFormat, view->CaretRow() + 1, view->box().Count());
    text = QString::fromLatin1(count);
  }
  if (count_pane_->text() != text) count_pane_->setText(text);
}

void MainWindow::RefreshCommandStates() {
  UpdateCountPane();
  const CommandState state = CurrentState();
  if (last_state_ && *last_state_ == state) return;
  last_state_ = state;
  for (const auto& [id, action] : actions_) {
    action->setEnabled(router_.IsEnabled(id));
    if (const std::optional<bool> checked = CheckedState(id, state)) action->setChecked(*checked);
  }
}

MailboxView* MainWindow::ActiveMailbox() const {
  QMdiSubWindow* active = mdi_->activeSubWindow();
  return active == nullptr ? nullptr : qobject_cast<MailboxView*>(active->widget());
}

MailboxView* MainWindow::FindMailbox(const CLPOSTDoc& box) const {
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (auto* view = qobject_cast<MailboxView*>(window->widget()); view != nullptr && &view->box() == &box) {
      return view;
    }
  }
  return nullptr;
}

QMdiSubWindow* MainWindow::AddChildWindow(QWidget* view) {
  QMdiSubWindow* window = mdi_->addSubWindow(view);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // The system menu's Close carries Ctrl+W and Ctrl+F4 as well; two actions
  // on one key cancel each other, so the main window's close command keeps
  // them alone.
  if (QMenu* menu = window->systemMenu()) {
    for (QAction* action : menu->actions()) action->setShortcuts({});
  }
  return window;
}

MailboxView* MainWindow::OpenMailbox(std::string_view sjis_path) {
  const std::string path = session_.AbsoluteBoxPath(sjis_path);
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    auto* view = qobject_cast<MailboxView*>(window->widget());
    if (view != nullptr && view->box().PathName() == path) {
      mdi_->setActiveSubWindow(window);
      return view;
    }
  }
  BoxHandle handle = session_.AcquireBox(path);
  if (!handle) return nullptr;
  CLPOSTDoc* box = handle.get();
  Profile& profile = session_.profile();
  auto* view = new MailboxView(std::move(handle), profile);
  view->SetLabels(LabelStylesOf(session_.app().settings()));
  view->model().SetNameLookup(AddressNames());

  QMdiSubWindow* window = AddChildWindow(view);
  window->setWindowTitle(FromSjis(BoxNameOf(box->PathName())));
  connect(&view->model(), &MailListModel::boxRelocated, window,
          [window, box] { window->setWindowTitle(FromSjis(BoxNameOf(box->PathName()))); });
  window->setWindowIcon(QIcon(QStringLiteral(":/icons/box.svg")));
  connect(view, &MailboxView::caretMoved, this, &MainWindow::UpdateCountPane);
  view->list().installEventFilter(this);
  view->list().setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&view->list(), &QWidget::customContextMenuRequested, this,
          [this, view](const QPoint& at) { ShowMailListMenu(view->list(), at, actions_); });
  // Double-click or Enter on a mail opens it in a read window.
  connect(&view->list(), &QAbstractItemView::activated, this,
          [this, view](const QModelIndex& index) { OpenMail(*view, view->BoxRowOf(index)); });
  if (auto* preview = qobject_cast<MailEditor*>(view->preview())) ConnectReadingEditor(*preview, true);
  PlaceMailboxWindow(*window);  // its close reaches eventFilter through the application's filter
  connect(window, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
    // Mailbox windows open maximised next time when one was left so.
    if (now.testFlag(Qt::WindowMaximized)) {
      session_.app().settings().show_cmd2 = kShowMaximised;
    } else if (!now.testFlag(Qt::WindowMinimized)) {
      session_.app().settings().show_cmd2 = kShowNormal;
    }
  });
  const int first = profile.GetInt("View", view->split() == 2 ? "Col" : "Row", -1);
  view->SetFirstPaneSize(first > 0 ? first : (view->split() == 2 ? view->width() : view->height()) / 2);
  // The caret starts on the first unread mail, else the last.
  view->SetCaret(box->FirstUnread());
  return view;
}

void MainWindow::PlaceMailboxWindow(QMdiSubWindow& window) {
  if (layout() != nullptr) layout()->activate();  // the area's size as it shows
  const std::optional<WindowPlacement> placement =
      ParsePlacement(session_.profile().GetString("Settings2", "", ""));
  if (placement) {
    // A placement stored on a larger screen (or at a smaller scale) comes
    // inside the area; beside the mail manager when that always shows, so
    // that the box does not hide it.
    const QRect stored(placement->left, placement->top, placement->right - placement->left,
                       placement->bottom - placement->top);
    const bool beside_manager = manager_window_ != nullptr && manager_window_->isVisible() &&
                                !manager_window_->isMinimized() &&
                                session_.profile().GetInt("View", "MailManager", 1) != 0;
    window.setGeometry(BesideOrInside(stored, beside_manager ? manager_window_->frameGeometry() : QRect(),
                                      QRect(QPoint(0, 0), mdi_->viewport()->size()), kLeastBoxWidth));
  } else {
    // Beside the mail manager when it shows, else over the whole area.
    const int left = manager_window_ != nullptr ? manager_window_->frameGeometry().right() + 1 : 0;
    window.setGeometry(left, 0, qMax(mdi_->viewport()->width() - left, kLeastBoxWidth), mdi_->viewport()->height());
  }
  if (session_.app().settings().show_cmd2 == kShowMaximised) {
    window.showMaximized();
  } else {
    window.show();
  }
}

void MainWindow::SaveMailboxPlacement(const QMdiSubWindow& window) {
  const bool maximised = window.isMaximized();
  const QRect normal = maximised || window.isMinimized() ? window.normalGeometry() : window.geometry();
  const QRect rect = normal.isValid() ? normal : window.geometry();
  const WindowPlacement placement = PlacementOnClose(maximised, window.isMinimized(), rect.left(), rect.top(),
                                                     rect.right() + 1, rect.bottom() + 1);
  (void)session_.profile().WriteString("Settings2", "", FormatPlacement(placement));
}

void MainWindow::OnListSet(CLPOSTDoc& box, int caret) {
  if (MailboxView* view = FindMailbox(box); view != nullptr && caret != -1) view->SetCaret(caret);
  RefreshTimes();
}

void MainWindow::ShowMailManager() {
  if (manager_window_ != nullptr) {
    mdi_->setActiveSubWindow(manager_window_);
    return;
  }
  auto* view = new MailManagerView(session_, [this](const std::string& path) { (void)OpenMailbox(path); });
  manager_window_ = AddChildWindow(view);
  manager_window_->setWindowTitle(QString::fromUtf8(ui_text::kMailManagerTitle));
  manager_window_->resize(qMax(220, mdi_->width() / 4), mdi_->height());
  manager_window_->move(0, 0);
  manager_window_->show();
  FitInsideArea(*manager_window_, *mdi_);
}

void MainWindow::SortActive(int key) {
  if (MailboxView* view = ActiveMailbox()) {
    const int row = view->CaretRow();
    const CMail* mail = view->box().RecordAt(row);
    const std::uint64_t serial = mail != nullptr ? mail->serial : 0;
    (void)Sort(view->box(), key);
    if (serial != 0) view->SetCaret(view->box().IndexOfSerial(serial));
  }
}

void MainWindow::RefreshTitle() {
  QString title = QString::fromUtf8(ui_text::kTitlePrefix);
  if (session_.accounts().Count() > 0) title += FromSjis(session_.accounts().Current().name);
  setWindowTitle(title);
}

void MainWindow::RefreshTimes() {
  const auto pane_text = [this](const char* key, const char* format) {
    const int seconds = session_.profile().GetInt("Time", key, 0);
    if (seconds == 0) return QString();
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds);
    char text[32];
    std::snprintf(text, sizeof text, format, when.date().month(), when.date().day(), when.time().hour(),
                  when.time().minute());
    return QString::fromLatin1(text);
  };
  receive_pane_->setText(pane_text("Rec", ui_text::kReceiveTimeFormat));
  send_pane_->setText(pane_text("Send", ui_text::kSendTimeFormat));
}

QString MainWindow::StatusPaneText(int pane) const {
  const QLabel* panes[] = {message_pane_, count_pane_, receive_pane_, send_pane_,
                           lock_panes_[0], lock_panes_[1], lock_panes_[2]};
  return pane >= 0 && pane < 7 ? panes[pane]->text() : QString();
}

void MainWindow::RefreshLockPanes(const QKeyEvent& event) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  // The X11 state mask: Lock is caps lock, Mod2 is num lock on every
  // common keyboard map.
  constexpr quint32 kLockMask = 0x02;
  constexpr quint32 kMod2Mask = 0x10;
  const quint32 state = event.nativeModifiers();
  lock_panes_[1]->setText((state & kLockMask) != 0 ? QStringLiteral("CAP") : QString());
  lock_panes_[2]->setText((state & kMod2Mask) != 0 ? QStringLiteral("NUM") : QString());
}

void MainWindow::TimerTick() {
  TimerSettings settings;
  Profile& profile = session_.profile();
  settings.enabled = profile.GetInt("System", "Timer", 0) == 1;
  settings.patrol_all = profile.GetInt("System", "TimerAll", 0) == 1;
  settings.interval_minutes = profile.GetInt("System", "TimerValue", 10);
  if (const std::optional<int> command = timed_receive_.Tick(std::time(nullptr), settings)) {
    (void)router_.Run(*command);
  }
}

void MainWindow::HandleRequest(const std::string& sjis_command_line) {
  if (sjis_command_line.empty()) return;
  if (const std::optional<int> command = SwitchCommand(sjis_command_line);
      command && sjis_command_line.find("mailto:") == std::string::npos) {
    PostCommand(*command);
    return;
  }
  (void)session_.profile().WriteString("System", "mailto", sjis_command_line);
  PostCommand(cmd::kProcessMailto);
}

bool MainWindow::DispatchKey(int qt_key, Qt::KeyboardModifiers modifiers) {
  const std::optional<KeyCombination> combination = CombinationOf(qt_key, modifiers);
  if (!combination) return false;
  const std::vector<std::uint32_t> commands = session_.keys().CommandsFor(*combination);
  if (commands.empty()) return false;
  for (const std::uint32_t command : commands) (void)router_.Run(static_cast<int>(command));
  return true;
}

void MainWindow::RunKey(const KeyCombination& combination) {
  for (const std::uint32_t command : session_.keys().CommandsFor(combination)) {
    (void)router_.Run(static_cast<int>(command));
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Close) {
    if (auto* window = qobject_cast<QMdiSubWindow*>(watched); window != nullptr) {
      if (auto* view = qobject_cast<MailboxView*>(window->widget())) {
        SaveMailboxPlacement(*window);
        // The compaction the box wants once it closes runs now, on a worker
        // behind its progress window, rather than on this thread while the
        // window is taken down.
        if (view->box().CompactionWanted() && !view->box().IsBusy() && !session_.Busy() &&
            !session_.registry().WalkRunning()) {
          CompactOnWorker(*view);
        }
      }
    }
    return QMainWindow::eventFilter(watched, event);
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  // Only keys meant for this window: not those of its dialogs.
  if (widget == nullptr || widget->window() != this) return QMainWindow::eventFilter(watched, event);
  auto* key_event = static_cast<QKeyEvent*>(event);
  RefreshLockPanes(*key_event);
  if (function_bar_ != nullptr) function_bar_->Refresh(ModifierStateOf(key_event->modifiers()));
  // The mail editor routes its keys itself (what it takes, Enter and
  // Escape, then the key table).
  if (qobject_cast<MailEditor*>(widget) != nullptr) return QMainWindow::eventFilter(watched, event);
  // The filter bar's text takes every key it is typed.
  if (qobject_cast<MailFilterBar*>(widget->parentWidget()) != nullptr) return QMainWindow::eventFilter(watched, event);
  if (type == QEvent::KeyPress && !IsModifierKey(key_event->key()) && DispatchKey(key_event->key(), key_event->modifiers())) {
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::SavePlacement() {
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  const WindowPlacement placement = PlacementOnClose(isMaximized(), isMinimized(), normal.left(), normal.top(),
                                                     normal.right() + 1, normal.bottom() + 1);
  Profile& profile = session_.profile();
  (void)profile.WriteString("Settings", "WindowPos", FormatPlacement(placement));
  (void)profile.WriteInt("View", "Toolbar", toolbar_choice_);
  (void)profile.WriteInt("View", "StatusBar", statusBar()->isHidden() ? 0 : 1);
}

void MainWindow::ShowWithPlacement() {
  const std::optional<WindowPlacement> placement =
      ParsePlacement(session_.profile().GetString("Settings", "WindowPos", ""));
  if (placement) {
    setGeometry(placement->left, placement->top, placement->right - placement->left,
                placement->bottom - placement->top);
    // Stored on a larger screen or at a smaller scale: brought onto this one.
    FitOnScreen(*this);
  } else {
    resize(1024, 700);
  }
  if (placement && (placement->flags & kPlacementFlagMaximised) != 0) {
    showMaximized();
  } else {
    show();
  }
}

void MainWindow::SaveWindowState() {
  SavePlacement();
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (auto* view = qobject_cast<MailboxView*>(window->widget()); view != nullptr && view->split() != 0) {
      (void)session_.profile().WriteInt("View", view->split() == 2 ? "Col" : "Row", view->FirstPaneSize());
    }
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  SaveWindowState();
  mdi_->closeAllSubWindows();
  session_.Exit();
  event->accept();
}

void MainWindow::EndOnRequest() {
  SaveWindowState();
  session_.Exit();
  QCoreApplication::quit();
}

void OpenFirstWindows(MainWindow& window, DesktopSession& session) {
  Profile& profile = session.profile();
  const bool manager_last = profile.GetInt("System", "Manager", 0) == 1;
  const bool show_manager = profile.GetInt("View", "MailManager", 1) != 0;
  if (show_manager && !manager_last) (void)window.router().Run(cmd::kMailManager);
  (void)window.OpenMailbox(session.app().settings().default_file);
  if (show_manager && manager_last) (void)window.router().Run(cmd::kMailManager);
}

}  // namespace lp
