#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/timed_receive.h"
#include "config/key_table.h"
#include "platform/file_opener.h"
#include "platform/question_guard.h"
#include "app/compose_form.h"
#include "ui/compose_view.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "rules/mail_search.h"
#include "util/text_out_set.h"
#include "ui/mail_import_run.h"
#include "ui/mail_list_model.h"

class QAction;
class QPrinter;
class QKeyEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

// The main window: the child windows in an MDI area, the menus, the two
// toolbars, the status bar and the function-key bar, every command through
// one router, timed receiving and the exit sequence. It shows the core's
// state and holds no mail logic.

namespace lp {

class SkippableWorkerRun;
class ExportOutput;
class BoxMenu;
class ComposeView;
class DesktopFileOpener;
class DesktopNotifier;
class DesktopSession;
class FunctionKeyBar;
class MailboxView;
class MailEditor;
class MailManagerView;
class ReadView;

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(DesktopSession& session, QWidget* parent = nullptr);
  ~MainWindow() override;

  [[nodiscard]] CommandRouter& router() { return router_; }
  [[nodiscard]] QAction* ActionFor(int command) const;
  // The mailbox window of a box (Shift_JIS path), opened or brought forward.
  MailboxView* OpenMailbox(std::string_view sjis_path);
  [[nodiscard]] MailboxView* ActiveMailbox() const;
  [[nodiscard]] MailboxView* FindMailbox(const CLPOSTDoc& box) const;
  // A read window on row `row` of a mailbox window's box ("文書を開く").
  ReadView* OpenReadWindow(MailboxView& view, int row);
  [[nodiscard]] ReadView* ActiveReadView() const;
  // Prints the active read window's mail as it shows it, or the selected
  // mails of the active mailbox window (the caret mail when none is
  // selected) as read windows would show them; "印刷" and "印刷プレビュー"
  // ask for the printer first. False when there was nothing to print or
  // the printer did not start.
  bool PrintChosenMails(QPrinter& printer);
  // Opens a mail from the list: unsent and sent mail in a compose window
  // when [System] SmailEdit is on, any other in a read window.
  void OpenMail(MailboxView& view, int row);
  // A compose window on a box (Shift_JIS path) with a filled form, editing
  // the mail of that serial there (0: a new mail).
  ComposeView* OpenComposeWindow(std::string_view sjis_box, std::uint64_t edited_serial, ComposeMode mode,
                                 const ComposeForm& form);
  [[nodiscard]] ComposeView* ActiveComposeView() const;
  // The close dialog's answer and the address-book pick of compose
  // windows opened from now on; tests give their own.
  void SetComposeDialogs(std::function<ComposeCloseAnswer(const QString&)> close_answer,
                         std::function<QString()> address_picker) {
    compose_close_answer_ = std::move(close_answer);
    address_picker_ = std::move(address_picker);
  }
  // Opens attachments and web addresses; tests give their own.
  void SetFileOpener(std::unique_ptr<FileOpener> opener);
  [[nodiscard]] FileOpener& file_opener() { return *file_opener_; }
  [[nodiscard]] QMdiArea& mdi() { return *mdi_; }
  [[nodiscard]] FunctionKeyBar& function_bar() { return *function_bar_; }
  [[nodiscard]] BoxMenu& box_menu() { return *box_menu_; }
  [[nodiscard]] DesktopNotifier& notifier() { return *notifier_; }
  [[nodiscard]] CommandState CurrentState() const;
  // Posts a command to run once the event loop is free (commands from the
  // core may arrive inside one of its callbacks).
  void PostCommand(int command);
  // Runs a start-up or hand-over request (switch or "mailto:", Shift_JIS).
  void HandleRequest(const std::string& sjis_command_line);
  // Applies the settings' window placement and shows the window.
  void ShowWithPlacement();
  // Enabled and checked states; also run whenever the event loop goes idle.
  void RefreshCommandStates();
  // The program is asked to end from outside (SIGTERM at a session's end):
  // the window placement and every open box are saved and the event loop
  // ends, without a question (an unsaved compose window is not kept).
  void EndOnRequest();
  // One tick of timed receiving (normally every 10 seconds).
  void TimerTick();
  // The status bar's panes, for tests: message, count, receive, send, kana,
  // caps, num.
  [[nodiscard]] QString StatusPaneText(int pane) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Adds `view` to the MDI area as a child window that is deleted when it
  // closes and leaves its close keys to the window's own command.
  QMdiSubWindow* AddChildWindow(QWidget* view);
  void BuildActions();
  // Menu texts with the first key bound to each command.
  void RefreshActionKeys();
  // The keys this desktop gives every program: Ctrl+W and Ctrl+F4 close
  // the active child window, Delete and Shift+Delete delete mail.
  void ApplyDesktopKeys();
  void CustomizeKeys();
  void EditConnectionSettings();
  void EditSettings();
  void FillToolbar(QToolBar& bar);
  void BuildMenus();
  void BuildToolbars();
  void BuildStatusBar();
  void RegisterHandlers();
  void RegisterRunHandlers();
  // Opens the receive or the send box and starts a run of the session in it.
  enum class BoxOfRun { Receive, Send };
  void OpenBoxAndRun(BoxOfRun box, bool (DesktopSession::*run)());
  void RegisterViewHandlers();
  void RegisterWindowHandlers();
  void RegisterReadHandlers();
  void RegisterComposeHandlers();
  // The commands on the active mailbox's mails and on whole boxes.
  void RegisterMailHandlers();
  // The search commands; the all-box search remembers where it stopped.
  void RegisterSearchHandlers();
  [[nodiscard]] bool AskSearchCondition(bool all_boxes);
  // With `step`: the next or previous match from the caret; else the
  // stored condition's start and direction.
  void SearchActiveBox(std::optional<SearchDirection> step);
  void SearchEveryBoxFrom(std::size_t box, int mail);
  // Opens the box of an all-box search's match and puts the caret on the
  // mail, found by its identity.
  void ShowFoundMail(const BoxSearchResult& found);
  // The one walk over every box at a time (search or text export).
  [[nodiscard]] SkippableWorkerRun& Walk();
  // The boxes as the user sees them for a walk over every box; nullptr,
  // after saying why, while another walk runs or a job holds an open box.
  [[nodiscard]] std::shared_ptr<BoxWalkSources> PlanBoxWalk();
  // Runs a walk; no box is compacted until it ended.
  void StartBoxWalk(const char* title, const char* text, std::function<void(SkippableProgress&)> work,
                    std::function<void()> done);
  // The text export commands over the settings list file.
  void RegisterTextExportHandlers();
  void RunTextExportDialog();
  // `append` adds to the output file; otherwise the export replaces it.
  void ExportEveryBox(const CTextOutSet& setting, bool append);
  // Refuses (saying why) an output the program keeps or that cannot be made.
  [[nodiscard]] bool BeginExportOutput(ExportOutput& output, const std::string& path, bool append);
  void ExportSelectedMailsToFile();
  // The address book dialog and adding the senders of mails; the mail
  // lists then show the book's names again.
  void RegisterAddressBookHandlers();
  void EditAddressBook();
  void AddSendersOfSelection();
  void RefreshAddressNames();
  // The names the mail lists show for addresses: the book's when [View]
  // NameFromAdr is on.
  [[nodiscard]] MailListModel::NameLookup AddressNames();
  // The Edit menu on the focused editor's text.
  void RegisterEditHandlers();
  // The focused editor, else the active compose or read window's; a read
  // window's whole text is loaded first.
  [[nodiscard]] MailEditor* ActiveEditor() const;
  // Runs `operation` on the active mailbox's selected rows (or its caret
  // row), then refreshes the unread marks; nothing without a mail.
  void RunOnSelection(const std::function<void(MailboxView&, const std::vector<int>&)>& operation);
  void MoveSelectionTo(const std::string& destination);
  // Compacts the box on a worker behind a progress window.
  void CompactOnWorker(MailboxView& view);
  void ChooseLabelForSelection();
  void ChooseBoxForSelection();
  void CreateMailbox();
  void ToggleSummaryView();
  void ChooseSortKey();
  void ChooseListFont();
  // "ブラウザで表示": the active read window's text, or the caret mail of
  // the active mailbox window, as the browser page.
  void ShowInBrowser();
  // Opens a box file the user picks.
  void OpenBoxFile();
  // The mail that reply and forward act on: the active read window's, or
  // the caret mail of the active mailbox window.
  struct MailAt {
    CLPOSTDoc& box;
    int index;
  };
  std::optional<MailAt> ChosenMail();
  ComposeView* OpenReply(ReplyRecipients recipients);
  ComposeView* OpenEditCompose(MailboxView& view, int row);
  void OpenMailtoCompose(const MailtoPreset& preset);
  // The box new mails are written in: the draft box when it is in use,
  // else the send box.
  [[nodiscard]] std::string ComposeBox() const;
  // Key routing and links of a reading editor (preview or read window);
  // its commands go to the router when `forward_commands`.
  void ConnectReadingEditor(MailEditor& editor, bool forward_commands);
  void OpenAddress(const QString& address);
  void RefreshTitle();
  void RefreshTimes();
  void RefreshLockPanes(const QKeyEvent& event);
  void ApplyToolbarChoice(int choice);
  void SetSplit(int split);
  void OnListSet(CLPOSTDoc& box, int caret);
  bool DispatchKey(int qt_key, Qt::KeyboardModifiers modifiers);
  void RunKey(const KeyCombination& combination);
  void SortActive(int key);
  void ShowMailManager();
  // "他のメールソフトから取り込む...": the dialog, then the import on a worker.
  void ImportOtherMail();
  void SavePlacement();
  // The placement and the mailbox windows' split sizes.
  void SaveWindowState();
  // Mailbox windows' placement ([Settings2]) and maximised state (ShowCmd2).
  void PlaceMailboxWindow(QMdiSubWindow& window);
  void SaveMailboxPlacement(const QMdiSubWindow& window);
  // After a run's state changed: a receive that ended posts its notice.
  void NoteRunState();
  void UpdateUnreadCount();
  // The status bar's "n/m" of the active mailbox window.
  void UpdateCountPane();
  // A routine report in the status bar (and the desktop's notice while the
  // window is not in front); false when [View] ReportBox asks for a box.
  bool ShowReport(const QString& text);
  void ShowStatusText(std::string_view text);

  DesktopSession& session_;
  CommandRouter router_;
  SkippableWorkerRun* walk_ = nullptr;  // the all-box search or text export
  std::size_t search_box_ = 0;
  int search_mail_ = 0;
  std::map<int, QAction*> actions_;
  QMdiArea* mdi_;
  QToolBar* small_toolbar_ = nullptr;
  QToolBar* large_toolbar_ = nullptr;
  QToolBar* function_dock_ = nullptr;
  FunctionKeyBar* function_bar_ = nullptr;
  BoxMenu* box_menu_ = nullptr;
  DesktopNotifier* notifier_ = nullptr;
  bool receiving_ = false;  // a receive ran since the last notice
  QLabel* message_pane_ = nullptr;
  // A routine report stays in the message pane over the idle text that
  // follows it at the end of a run, until the next status text.
  bool report_in_pane_ = false;
  QLabel* count_pane_ = nullptr;
  QLabel* receive_pane_ = nullptr;
  QLabel* send_pane_ = nullptr;
  std::array<QLabel*, 3> lock_panes_{};  // kana, caps, num
  QTimer receive_timer_;
  TimedReceive timed_receive_;
  int toolbar_choice_ = 0;
  bool auto_forward_ = false;
  std::optional<CommandState> last_state_;
  QPointer<QMdiSubWindow> manager_window_;
  std::unique_ptr<FileOpener> file_opener_;
  // Every browser page is the same file: one guard for the page, and one
  // for the read windows' questions (a mailbox window keeps its own).
  QuestionGuard browser_page_questions_;
  QuestionGuard read_browser_questions_;
  // The boxes the running import writes, busy until it ends (given back
  // after the run below has waited for its worker).
  std::vector<JobBoxHold> import_holds_;
  std::unique_ptr<MailImportRun> import_run_;
  std::function<ComposeCloseAnswer(const QString&)> compose_close_answer_;
  std::function<QString()> address_picker_;
};

// The windows of a start: the mail manager (unless [System] Manager says it
// comes to the front last) and the receive box.
void OpenFirstWindows(MainWindow& window, DesktopSession& session);

}  // namespace lp
