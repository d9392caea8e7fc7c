// The main window's handlers of the commands that work on the mails of the
// active mailbox window and on whole boxes: delete, label, move, auto-sort,
// compaction, the offset check, Japan time, saving, the trash, summary mode,
// the sort dialog, the list font, new boxes, analysing the kept spool again
// deleting every mail on the server, the browser view, opening and
// importing box files, and the web pages of help.

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <QTreeView>
#include <optional>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "codec/header_lookup.h"
#include "codec/html_view.h"
#include "config/account.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "rules/direct_mail.h"
#include "rules/sort_mails.h"
#include "app/box_jobs.h"
#include "app/label_totals.h"
#include "store/fixed_boxes.h"
#include "store/held_mail.h"
#include "store/mail_delete.h"
#include "store/mail_status.h"
#include "store/mail_transfer.h"
#include "store/offset_check.h"
#include "store/trash_box.h"
#include "ui/address_pick_dialog.h"
#include "ui/box_choices.h"
#include "ui/box_job_window.h"
#include "ui/label_totals_dialog.h"
#include "ui/desktop_session.h"
#include "ui/direct_mail_dialog.h"
#include "ui/help_opener.h"
#include "ui/mail_command_texts.h"
#include "ui/mail_list_model.h"
#include "ui/mail_manager_view.h"
#include "ui/mail_selection.h"
#include "ui/mailbox_view.h"
#include "ui/read_view.h"
#include "ui/main_window.h"
#include "ui/text_export_messages.h"
#include "ui/rule_list_dialog.h"
#include "ui/signature_dialog.h"
#include "ui/sjis_qt.h"
#include "ui/stored_font.h"
#include "util/version_check.h"

namespace lp {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

void MainWindow::RunOnSelection(const std::function<void(MailboxView&, const std::vector<int>&)>& operation) {
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  const std::vector<int> rows = SelectedRows(*view);
  if (rows.empty()) return;
  operation(*view, rows);
  PostCommand(cmd::kRefreshUnreadMarks);
}

void MainWindow::CompactOnWorker(MailboxView& view) {
  CLPOSTDoc& box = view.box();
  // The walk may be reading this box's text file.
  if (session_.registry().WalkRunning()) {
    session_.ui().ShowMessage(ToSjis(QString::fromUtf8(ui_text::kCompactionWaitsForWalk)));
    return;
  }
  const int caret = view.CaretRow();
  session_.SetBoxWorkRunning(true);
  const JobResult result =
      RunBoxJobWithProgress(this, box, FromSjis(BoxDisplayName(box.PathName())), CompactWork(box));
  session_.SetBoxWorkRunning(false);
  // The list was shown anew; compaction keeps the order of the mails.
  if (caret >= 0 && caret < box.Count()) view.SetCaret(caret);
  if (!result.message.empty()) session_.ui().ShowMessage(result.message);
}

void MainWindow::MoveSelectionTo(const std::string& destination) {
  RunOnSelection([this, &destination](MailboxView& view, const std::vector<int>& rows) {
    (void)MoveTo(view.box(), rows, AbsolutePath(destination), session_.registry());
  });
}

void MainWindow::ChooseLabelForSelection() {
  RunOnSelection([this](MailboxView& view, const std::vector<int>& rows) {
    const AppSettings& settings = session_.app().settings();
    QStringList names{Text(ui_text::kNoLabel)};
    for (int label = 1; label <= kLabelCount; ++label) {
      const QString name = FromSjis(settings.labels[static_cast<std::size_t>(label)].name);
      // Numbered, so that two labels of one name stay apart.
      names << (name.isEmpty() ? QString::number(label) : QString::number(label) + QStringLiteral(": ") + name);
    }
    bool ok = false;
    // The dialog runs the event loop: the mails are found again afterwards.
    const HeldMails held(view.box(), rows);
    const QString chosen = QInputDialog::getItem(this, Text(ui_text::kSetLabelTitle), Text(ui_text::kSetLabelPrompt),
                                                 names, InitialLabel(view.box(), rows), false, &ok);
    if (ok) (void)SetLabel(view.box(), held.Rows(view.box()), static_cast<int>(names.indexOf(chosen)));
  });
}

void MainWindow::ChooseBoxForSelection() {
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  const BoxChoices choices =
      ListBoxChoices(session_.app().data_directory(), AbsolutePath(view->box().PathName()));
  if (choices.paths.empty()) {
    session_.ui().Inform(ToSjis(Text(ui_text::kNoOtherBox)));
    return;
  }
  bool ok = false;
  const QString chosen = QInputDialog::getItem(this, Text(ui_text::kMoveDestinationTitle),
                                               Text(ui_text::kMoveDestinationPrompt), choices.labels, 0, false, &ok);
  if (ok && choices.labels.contains(chosen)) {
    MoveSelectionTo(choices.paths[static_cast<std::size_t>(choices.labels.indexOf(chosen))]);
  }
}

void MainWindow::CreateMailbox() {
  bool ok = false;
  const QString name = QInputDialog::getText(this, Text(ui_text::kNewMailboxTitle), Text(ui_text::kNewMailboxPrompt),
                                             QLineEdit::Normal, Text(ui_text::kNewMailboxDefault), &ok)
                           .trimmed();
  if (!ok || name.isEmpty()) return;
  const std::string sjis_name = ToSjis(name) + ".lp";
  if (!IsSinglePathComponent(sjis_name)) {
    session_.ui().ShowMessage(ToSjis(Text(ui_text::kBadMailboxName)) + ToSjis(name));
    return;
  }
  // An existing box of that name is opened as it is, never emptied.
  const std::string path = session_.app().data_directory() + "/" + sjis_name;
  if (!CreateEmptyFileIfMissing(path)) {
    session_.ui().ShowMessage(path + ": " + LastSystemErrorText());
    return;
  }
  (void)OpenMailbox(path);
  PostCommand(cmd::kRefreshFolders);
}

void MainWindow::ToggleSummaryView() {
  Profile& profile = session_.profile();
  const bool on = profile.GetInt("System", "ListMail", 0) != 1;
  (void)profile.WriteInt("System", "ListMail", on ? 1 : 0);
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (auto* view = qobject_cast<MailboxView*>(window->widget())) view->model().SetSummaryMode(on);
  }
}

void MainWindow::ChooseSortKey() {
  if (ActiveMailbox() == nullptr) return;
  const char* const keys[] = {ui_text::kSortKeyDate,  ui_text::kSortKeyFrom,   ui_text::kSortKeySubject,
                              ui_text::kSortKeyTo,    ui_text::kSortKeyLabel,  ui_text::kSortKeyStatus,
                              ui_text::kSortKeyThread};
  QStringList names;
  for (const char* key : keys) names << Text(key);
  bool ok = false;
  const QString chosen =
      QInputDialog::getItem(this, Text(ui_text::kSortTitle), Text(ui_text::kSortPrompt), names, 0, false, &ok);
  if (ok && names.contains(chosen)) SortActive(static_cast<int>(names.indexOf(chosen)));
}

void MainWindow::ChooseListFont() {
  Profile& profile = session_.profile();
  const QFont current = HasStoredFont(profile, "Font") ? FontFromSettings(profile, "Font", {"", 0}) : font();
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, current, this);
  if (!ok) return;
  if (!StoreFont(profile, "Font", chosen)) {
    session_.ui().ShowMessage(profile.Path() + ": " + profile.LastError());
    return;
  }
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (auto* view = qobject_cast<MailboxView*>(window->widget())) view->ApplyListFont();
  }
}

void MainWindow::ShowInBrowser() {
  if (ReadView* read = ActiveReadView()) {
    read->LoadWholeText();  // a long mail may still be arriving in parts
    const CMail* mail = read->mail().Record();
    ShowTextInBrowser(session_.profile(), session_.ui(), read->BrowserText(),
                      mail != nullptr ? mail->subject : std::string(), *file_opener_,
                      {read_browser_questions_, browser_page_questions_});
    return;
  }
  MailboxView* view = ActiveMailbox();
  if (view == nullptr || view->CaretRow() < 0) return;
  ShowMailInBrowser(view->box(), view->CaretRow(), *file_opener_,
                    {view->browser_questions(), browser_page_questions_},
                    [this](bool opened) {
                      if (opened) PostCommand(cmd::kRefreshUnreadMarks);
                    });
}

void MainWindow::OpenBoxFile() {
  FileChoice choice;
  choice.title = ToSjis(Text(ui_text::kOpenBoxTitle));
  choice.initial_directory = session_.app().data_directory();
  if (const std::optional<std::string> path = session_.ui().ChooseFile(choice)) (void)OpenMailbox(*path);
}

void MainWindow::RegisterMailHandlers() {
  router_.Register(cmd::kDeleteMail, [this] {
    RunOnSelection([this](MailboxView& view, const std::vector<int>& rows) {
      (void)DeleteMails(view.box(), rows, session_.registry());
    });
  });
  router_.Register(cmd::kDeleteMailForGood, [this] {
    RunOnSelection([this](MailboxView& view, const std::vector<int>& rows) {
      (void)DeleteMails(view.box(), rows, session_.registry(), {}, DeleteTarget::ForGood);
    });
  });
  router_.Register(cmd::kSetLabel, [this] { ChooseLabelForSelection(); });
  router_.Register(cmd::kMoveThisMail, [this] { ChooseBoxForSelection(); });
  router_.Register(cmd::kSortToReceiveBox, [this] { MoveSelectionTo(session_.app().settings().default_file); });
  router_.Register(cmd::kSortToSendBox, [this] { MoveSelectionTo(session_.app().settings().send_file); });
  const std::pair<int, SortScope> auto_sorts[] = {{cmd::kAutoSortSelected, SortScope::Selection},
                                                  {cmd::kAutoSortThisBox, SortScope::WholeBox}};
  for (const auto& [command, scope] : auto_sorts) {
    router_.Register(command, [this, scope = scope] {
      RunOnSelection([this, scope](MailboxView& view, const std::vector<int>& rows) {
        SortOptions options;
        options.sender_text = SenderText(session_.accounts().Current());
        options.registry = &session_.registry();
        (void)SortMailsCommand(view.box(), rows, scope, options);
      });
    });
  }
  router_.Register(cmd::kSetClock, [this] {
    RunOnSelection([](MailboxView& view, const std::vector<int>& rows) {
      (void)SetJapanTimeDates(view.box(), rows,
                              [](CLPOSTDoc& box, int index) { return HeaderValue(box, index, "Date"); });
    });
  });
  router_.Register(cmd::kCompactBox, [this] {
    if (MailboxView* view = ActiveMailbox()) CompactOnWorker(*view);
  });
  router_.Register(cmd::kConsistencyCheck, [this] {
    if (MailboxView* view = ActiveMailbox()) (void)CheckOffsets(view->box());
  });
  router_.Register(cmd::kSaveAll, [this] { (void)session_.registry().SaveAllOpenBoxesShowingFailures(); });
  router_.Register(cmd::kEmptyTrash, [this] {
    if (EmptyTrash(session_.profile(), session_.ui(), session_.registry())) PostCommand(cmd::kRefreshUnreadMarks);
  });
  router_.Register(cmd::kSummaryView, [this] { ToggleSummaryView(); });
  router_.Register(cmd::kNewMailbox, [this] { CreateMailbox(); });
  router_.Register(cmd::kSortMenu, [this] { ChooseSortKey(); });
  router_.Register(cmd::kAnalyse, [this] {
    (void)OpenMailbox(session_.app().settings().default_file);
    if (session_.AnalyseAgain() > 0) PostCommand(cmd::kRefreshUnreadMarks);
  });
  router_.Register(cmd::kDeleteAllOnServer, [this] { (void)session_.DeleteAllOnServer(); });
  router_.Register(cmd::kFontSettings, [this] { ChooseListFont(); });
  router_.Register(cmd::kViewInBrowser, [this] { ShowInBrowser(); });
  router_.Register(cmd::kOpenBox, [this] { OpenBoxFile(); });
  router_.Register(cmd::kDirectMailSettings, [this] {
    DirectMailDialog dialog(session_.profile(), session_.app().data_directory(),
                            [this](const std::string& path) { (void)file_opener_->OpenWithDefaultProgram(path); }, this);
    (void)dialog.exec();
  });
  router_.Register(cmd::kDirectMailFromSelected, [this] {
    RunOnSelection([this](MailboxView& view, const std::vector<int>& rows) {
      std::vector<std::string> addresses;
      for (std::size_t i = 0; i < session_.accounts().Count(); ++i) addresses.push_back(session_.accounts().At(i).adr);
      (void)RemoveDirectMailCommand(view.box(), rows, addresses, &session_.registry());
    });
  });
  router_.Register(cmd::kAutoSortSettings, [this] {
    RuleListDialog dialog(session_.profile(), session_.app().data_directory(),
                          [this] { return PickFromAddressBook(session_.book(), session_.profile(), this); }, this);
    (void)dialog.exec();
  });
  router_.Register(cmd::kSignatureSettings, [this] {
    SignatureDialog dialog(session_.profile(), this);
    (void)dialog.exec();
  });
  router_.Register(cmd::kSendThisBox, [this] {
    if (MailboxView* view = ActiveMailbox()) (void)session_.SendFrom(view->box().PathName());
  });
  router_.Register(cmd::kImportFile, [this] {
    if (MailboxView* view = ActiveMailbox(); view != nullptr && ImportBoxFileCommand(view->box())) {
      PostCommand(cmd::kRefreshUnreadMarks);
    }
  });
  router_.Register(cmd::kImportFolder, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, Text(ui_text::kImportFolderTitle));
    if (folder.isEmpty()) return;
    MailboxView* inbox = OpenMailbox(session_.app().settings().default_file);
    if (inbox == nullptr) return;
    (void)ImportBoxFolder(inbox->box(), ToSjis(folder));
    PostCommand(cmd::kRefreshUnreadMarks);
  });
  router_.Register(cmd::kLabelTotals, [this] {
    if (MailboxView* view = ActiveMailbox()) {
      LabelTotalsDialog dialog(FromSjis(BoxDisplayName(view->box().PathName())), CountMailsByLabel(view->box()),
                               LabelStylesOf(session_.app().settings()), this);
      dialog.exec();
    }
  });
  router_.Register(cmd::kSelectMail, [this] {
    // Space in the list: the caret mail's selection is toggled.
    if (MailboxView* view = ActiveMailbox(); view != nullptr && view->CaretRow() >= 0) {
      view->list().selectionModel()->select(view->ListIndexOfRow(view->CaretRow()),
                                            QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    }
  });
  router_.Register(cmd::kHomePage,
                   [this] { OpenAddress(QString::fromStdString(VersionServerAddress(session_.profile())) + u'/'); });
  // Help opens the manual at the page of the window in front.
  router_.Register(cmd::kHelp, [this] {
    HelpTopic topic = HelpTopic::Contents;
    const QMdiSubWindow* active = mdi_->activeSubWindow();
    if (active != nullptr && qobject_cast<MailManagerView*>(active->widget()) != nullptr) {
      topic = HelpTopic::MailManager;
    } else if (ActiveComposeView() != nullptr) {
      topic = HelpTopic::Compose;
    } else if (ActiveReadView() != nullptr) {
      topic = HelpTopic::Reading;
    } else if (ActiveMailbox() != nullptr) {
      topic = HelpTopic::Mailbox;
    }
    (void)OpenHelp(topic, QCoreApplication::applicationDirPath(), *file_opener_, session_.ui());
  });
  router_.Register(cmd::kHelpKeyword, [this] {
    (void)OpenHelp(HelpTopic::Keywords, QCoreApplication::applicationDirPath(), *file_opener_, session_.ui());
  });
}

}  // namespace lp
