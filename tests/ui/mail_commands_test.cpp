#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QItemSelectionModel>
#include <QProgressBar>
#include <QPushButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <deque>
#include <thread>
#include <optional>

#include "app/command_ids.h"
#include "app/window_placement.h"
#include "codec/spool_analyser.h"
#include "platform/code_page.h"
#include "platform/file_opener.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/mail_record.h"
#include "store/mail_sort.h"
#include "store/mail_transfer.h"
#include "store/store_messages.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/input_dialog_answerer.h"
#include "tests/ui/shown_dialog_handler.h"
#include "tests/ui/three_mail_inbox.h"
#include "ui/box_job_window.h"
#include "ui/compose_view.h"
#include "ui/label_dialog.h"
#include "ui/label_totals_dialog.h"
#include "ui/progress_window.h"
#include "ui/mail_editor.h"
#include "ui/mail_list_model.h"
#include "ui/mailbox_view.h"

// The commands on the mails of the active mailbox window and on whole
// boxes, run through the main window's router on a real data directory
// with three received mails.

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::InputDialogAnswerer;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class MailCommandsTest : public testing::ThreeMailInboxTest {
 protected:
  // The records of a box file as they are on disk.
  [[nodiscard]] CLPOSTDoc::Records OnDisk(const char* name_utf8) const {
    CLPOSTDoc::Records records;
    EXPECT_TRUE(LoadIndexFile(FromNativePath(data_.File(name_utf8)), records).ok) << name_utf8;
    return records;
  }
  [[nodiscard]] std::string SubjectAt(int row) { return inbox_->box().RecordAt(row)->subject; }
  [[nodiscard]] std::vector<std::string> Subjects() {
    std::vector<std::string> subjects;
    for (int row = 0; row < inbox_->box().Count(); ++row) subjects.push_back(SubjectAt(row));
    return subjects;
  }
  // While a command's dialog is open the event loop runs: the first mail
  // leaves the box then, as a send run moves its sent mails away.
  void FirstMailLeavesTheBox() {
    WriteFileBytes(data_.File("別.lp"), "");
    const int first[] = {0};
    EXPECT_EQ(MoveTo(inbox_->box(), first, FromNativePath(data_.File("別.lp")), program_.session->registry()), 1u);
  }

  InputDialogAnswerer inputs_;
};

TEST_F(MailCommandsTest, DeleteMovesTheSelectionToTheTrashAndEmptyingTheTrashDisposesOfIt) {
  const std::string first = SubjectAt(0);
  const std::string third = SubjectAt(2);
  Select({0, 2});
  ui_.QueueAnswer(Answer::Cancel);
  ASSERT_TRUE(Run(cmd::kDeleteMail));
  EXPECT_EQ(inbox_->box().Count(), 3);

  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Run(cmd::kDeleteMail));
  ASSERT_EQ(inbox_->box().Count(), 1);
  EXPECT_EQ(inbox_->model().rowCount(), 1);
  const CLPOSTDoc::Records trash = OnDisk("ごみ箱.lp");
  ASSERT_EQ(trash.size(), 2u);
  EXPECT_EQ(trash[0]->subject, first);
  EXPECT_EQ(trash[1]->subject, third);
  EXPECT_EQ(OnDisk("受信.lp").size(), 1u);

  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Run(cmd::kEmptyTrash));
  EXPECT_TRUE(OnDisk("ごみ箱.lp").empty());
  EXPECT_EQ(ReadFileBytes(data_.File("ごみ箱.mb")), "");
}

// The commands below wait for the user before they act; each acts on the
// mail selected when it asked ("report"), never on the one ("forwarded")
// that stands in its row once the first mail left.
TEST_F(MailCommandsTest, DeleteRemovesTheMailSelectedWhenItAsked) {
  Select({1});
  ui_.QueueAnswer(Answer::Ok);
  ui_.WhileNextDialogIsOpen([this] { FirstMailLeavesTheBox(); });
  ASSERT_TRUE(Run(cmd::kDeleteMail));
  EXPECT_EQ(Subjects(), std::vector<std::string>{"forwarded"});
  const CLPOSTDoc::Records trash = OnDisk("ごみ箱.lp");
  ASSERT_EQ(trash.size(), 1u);
  EXPECT_EQ(trash[0]->subject, "report");
}

TEST_F(MailCommandsTest, LabelGoesOnTheMailSelectedWhenTheDialogOpened) {
  Select({1});
  inputs_.Queue(U("3"));
  QTimer::singleShot(0, [this] { FirstMailLeavesTheBox(); });
  ASSERT_TRUE(Run(cmd::kSetLabel));
  ASSERT_EQ(Subjects(), (std::vector<std::string>{"report", "forwarded"}));
  EXPECT_EQ(inbox_->box().RecordAt(0)->label, 3);
  EXPECT_EQ(inbox_->box().RecordAt(1)->label, 0);
}

TEST_F(MailCommandsTest, DirectMailFilterTakesTheMailSelectedWhenItAsked) {
  Profile& profile = program_.session->profile();
  WriteFileBytes(data_.File("保存.lp"), "");
  ASSERT_TRUE(profile.WriteString("Spam", "Box", FromNativePath(data_.File("保存.lp"))));
  ASSERT_TRUE(profile.WriteInt("Spam", "English", 1));
  Select({1});
  ui_.QueueAnswer(Answer::Ok);
  ui_.WhileNextDialogIsOpen([this] { FirstMailLeavesTheBox(); });
  ASSERT_TRUE(Run(cmd::kDirectMailFromSelected));
  // "report" is no direct mail; "forwarded" would have been.
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"report", "forwarded"}));
  EXPECT_TRUE(OnDisk("保存.lp").empty());
}

TEST_F(MailCommandsTest, SelectedMailsExportAsTheyWereWhenTheFileWasChosen) {
  Select({1});
  const std::string out = data_.File("out.txt");
  ui_.QueueFile(out);
  ui_.WhileNextDialogIsOpen([this] { FirstMailLeavesTheBox(); });
  ASSERT_TRUE(Run(cmd::kTextExportSelected));
  const std::string text = ReadFileBytes(out);
  EXPECT_NE(text.find("report"), std::string::npos);
  EXPECT_EQ(text.find("forwarded"), std::string::npos);
}

TEST_F(MailCommandsTest, DeleteKeyDeletesToTheTrashAndShiftDeleteForGood) {
  program_.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(program_.window.get()));
  program_.window->mdi().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(inbox_->parentWidget()));
  const std::string first = SubjectAt(0);
  Select({0});
  program_.window->RefreshCommandStates();
  inbox_->list().setFocus();
  ui_.QueueAnswer(Answer::Ok);
  QTest::keyClick(&inbox_->list(), Qt::Key_Delete);
  ASSERT_EQ(inbox_->box().Count(), 2);
  ASSERT_EQ(OnDisk("ごみ箱.lp").size(), 1u);
  EXPECT_EQ(OnDisk("ごみ箱.lp")[0]->subject, first);

  Select({0});
  program_.window->RefreshCommandStates();
  ui_.QueueAnswer(Answer::Ok);
  QTest::keyClick(&inbox_->list(), Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(inbox_->box().Count(), 1);
  EXPECT_EQ(OnDisk("ごみ箱.lp").size(), 1u);  // gone for good, not to the trash box
  ASSERT_EQ(ui_.questions.size(), 2u);
  EXPECT_EQ(ui_.questions[1].text, store_messages::kAskDeleteMailForGood);
}

TEST_F(MailCommandsTest, RenamedLabelsReachTheOpenListAtOnce) {
  Select({1});
  inputs_.Queue(U("1"));
  ASSERT_TRUE(Run(cmd::kSetLabel));
  const QString name = U("取引先からの至急の返事待ち");
  testing::ShownDialogHandler<LabelDialog> labels([&name](LabelDialog& dialog) {
    dialog.findChildren<QLineEdit*>().front()->setText(name);
    dialog.accept();
  });
  ASSERT_TRUE(Run(cmd::kLabelSettings));
  ASSERT_EQ(labels.shown, 1);
  const QModelIndex label = inbox_->ListIndexOfRow(1, MailListModel::LabelColumn);
  EXPECT_EQ(label.data().toString(), name);
  // The column shows the whole name.
  QFont bold = inbox_->list().font();
  bold.setBold(true);
  EXPECT_GE(inbox_->list().columnWidth(MailListModel::LabelColumn), QFontMetrics(bold).horizontalAdvance(name));
}

TEST_F(MailCommandsTest, ChildWindowsOpenInsideTheAreaAndBesideTheMailManager) {
  MainWindow& window = *program_.window;
  window.resize(1024, 768);
  QApplication::processEvents();
  const QRect area(QPoint(0, 0), window.mdi().viewport()->size());
  ASSERT_TRUE(window.router().Run(cmd::kMailManager));
  const QRect manager = window.mdi().activeSubWindow()->frameGeometry();
  // A placement stored on a larger screen, over the mail manager.
  WindowPlacement stored;
  stored.left = -40;
  stored.top = 10;
  stored.right = 2400;
  stored.bottom = 1600;
  ASSERT_TRUE(program_.core.profile().WriteString("Settings2", "", FormatPlacement(stored)));
  WriteFileBytes(data_.File("保存.lp"), "");
  MailboxView* saved = window.OpenMailbox(FromNativePath(data_.File("保存.lp")));
  ASSERT_NE(saved, nullptr);
  const QRect box = saved->parentWidget()->geometry();
  EXPECT_TRUE(area.contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
  EXPECT_FALSE(box.intersects(manager));

  // A compose window of a stored size larger than the area.
  ASSERT_TRUE(program_.core.profile().WriteInt("SMail", "Width", 3000));
  ASSERT_TRUE(program_.core.profile().WriteInt("SMail", "Height", 2000));
  ASSERT_TRUE(window.router().Run(cmd::kNewMail));
  ASSERT_NE(window.ActiveComposeView(), nullptr);
  EXPECT_TRUE(area.contains(window.mdi().activeSubWindow()->geometry()));
}

TEST_F(MailCommandsTest, TheMailCountFollowsAMoveAndTheActiveWindow) {
  inbox_->SetCaret(2);
  Select({0});
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Run(cmd::kDeleteMail));
  program_.window->RefreshCommandStates();
  ASSERT_GE(inbox_->CaretRow(), 0);
  EXPECT_EQ(program_.window->StatusPaneText(1).simplified(),
            QStringLiteral("%1/ 2").arg(inbox_->CaretRow() + 1).simplified());
  ASSERT_TRUE(program_.window->router().Run(cmd::kMailManager));
  program_.window->RefreshCommandStates();
  EXPECT_EQ(program_.window->StatusPaneText(1), QString());  // no mailbox window in front
  Run(cmd::kStatusUpdate);
  program_.window->RefreshCommandStates();
  EXPECT_EQ(program_.window->StatusPaneText(1).simplified(),
            QStringLiteral("%1/ 2").arg(inbox_->CaretRow() + 1).simplified());
}

TEST_F(MailCommandsTest, LabelIsSetOnTheSelectedMailAndTakenOffAgain) {
  Select({1});
  inputs_.Queue(U("3"));
  ASSERT_TRUE(Run(cmd::kSetLabel));
  EXPECT_EQ(inbox_->box().RecordAt(1)->label, 3);
  EXPECT_EQ(inbox_->box().RecordAt(0)->label, 0);
  // The list offers "なし" and the ten labels; choosing "なし" takes it off.
  EXPECT_EQ(inputs_.items.size(), 11);
  EXPECT_EQ(inputs_.items.front(), U("なし"));
  inputs_.Queue(U("なし"));
  ASSERT_TRUE(Run(cmd::kSetLabel));
  EXPECT_EQ(inbox_->box().RecordAt(1)->label, 0);
}

TEST_F(MailCommandsTest, MoveToAChosenBoxAndToTheSendBox) {
  WriteFileBytes(data_.File("保存.lp"), "");
  const std::string first = SubjectAt(0);
  Select({0});
  inputs_.Queue(std::nullopt);  // cancelled: nothing moves
  ASSERT_TRUE(Run(cmd::kMoveThisMail));
  EXPECT_EQ(inbox_->box().Count(), 3);
  EXPECT_TRUE(inputs_.items.contains(U("保存")));
  EXPECT_FALSE(inputs_.items.contains(U("受信")));  // not the box itself

  inputs_.Queue(U("保存"));
  ASSERT_TRUE(Run(cmd::kMoveThisMail));
  EXPECT_EQ(inbox_->box().Count(), 2);
  const CLPOSTDoc::Records kept = OnDisk("保存.lp");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0]->subject, first);

  const std::string next = SubjectAt(0);
  Select({0});
  ASSERT_TRUE(Run(cmd::kSortToSendBox));
  EXPECT_EQ(inbox_->box().Count(), 1);
  const CLPOSTDoc::Records queued = OnDisk("送信.lp");
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->subject, next);
}

TEST_F(MailCommandsTest, NewMailboxIsCreatedAndOpenedAndABadNameRefused) {
  inputs_.Queue(U("a/b"));
  ASSERT_TRUE(Run(cmd::kNewMailbox));
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_NE(Cp932ToUtf8(ui_.messages.back()).find("a/b"), std::string::npos);
  EXPECT_FALSE(PathExists(FromNativePath(data_.File("a"))));

  inputs_.Queue(U("取引先"));
  ASSERT_TRUE(Run(cmd::kNewMailbox));
  EXPECT_EQ(inputs_.prompts.back(), U("メールボックスの名前を入力してください(&N)"));
  EXPECT_TRUE(PathExists(FromNativePath(data_.File("取引先.lp"))));
  auto* active = qobject_cast<MailboxView*>(program_.window->mdi().activeSubWindow()->widget());
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(Cp932ToUtf8(active->box().PathName()).substr(data_.path().size()), "/取引先.lp");
}

TEST_F(MailCommandsTest, SummaryViewTogglesEveryOpenListAndTheSetting) {
  ASSERT_TRUE(Run(cmd::kSummaryView));
  EXPECT_EQ(program_.session->profile().GetInt("System", "ListMail", 0), 1);
  EXPECT_FALSE(inbox_->model().index(0, 0).data(MailListModel::SummaryRole).toString().isEmpty());
  ASSERT_TRUE(Run(cmd::kSummaryView));
  EXPECT_EQ(program_.session->profile().GetInt("System", "ListMail", 0), 0);
  EXPECT_TRUE(inbox_->model().index(0, 0).data(MailListModel::SummaryRole).toString().isEmpty());
}

TEST_F(MailCommandsTest, CompactionAfterAMoveShrinksTheTextFileAndKeepsTheRestReadable) {
  const auto text_size = [this] { return ReadFileBytes(data_.File("受信.mb")).size(); };
  Select({0, 1});
  ASSERT_TRUE(Run(cmd::kSortToSendBox));
  const std::size_t before = text_size();
  ASSERT_TRUE(Run(cmd::kCompactBox));
  EXPECT_LT(text_size(), before);
  ASSERT_EQ(inbox_->box().Count(), 1);
  ASSERT_TRUE(Run(cmd::kConsistencyCheck));
  const MailText shown = inbox_->box().DisplayText(0, HeaderMode::None, 0);
  EXPECT_FALSE(shown.text.empty());
  EXPECT_TRUE(Run(cmd::kSaveAll));
}

// A job on the box runs on a worker while the event loop goes on: the box is
// busy and the progress window modal until it ends; its cancel reaches the
// job; a second job on the busy box is refused; the list shows the box anew.
TEST_F(MailCommandsTest, ABoxJobRunsOnAWorkerBehindAModalProgressWindow) {
  CLPOSTDoc& box = inbox_->box();
  std::atomic<bool> release{false};
  const JobWork waiting = [&release](JobProgress& progress) {
    progress.SetRange(0, 10);
    progress.SetPosition(4);
    while (!release.load() && !progress.CancelRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return JobResult{progress.CancelRequested() ? JobOutcome::Cancelled : JobOutcome::Done, 7, {}};
  };
  int resets = 0;
  QObject::connect(&inbox_->model(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });
  bool seen_while_running = false;
  QTimer::singleShot(300, [&] {
    auto* window = program_.window->findChild<ProgressWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(window->findChild<QProgressBar*>()->value(), 4);
    EXPECT_TRUE(box.IsBusy());
    EXPECT_EQ(RunBoxJobWithProgress(program_.window.get(), box, QStringLiteral("again"), waiting).outcome,
              JobOutcome::Failed);
    seen_while_running = true;
    release = true;
  });
  const JobResult done = RunBoxJobWithProgress(program_.window.get(), box, QStringLiteral("box"), waiting);
  EXPECT_TRUE(seen_while_running);
  EXPECT_EQ(done.outcome, JobOutcome::Done);
  EXPECT_EQ(done.count, 7);
  EXPECT_FALSE(box.IsBusy());
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(inbox_->model().rowCount(), 3);

  release = false;
  QTimer::singleShot(100, [this] {
    auto* window = program_.window->findChild<ProgressWindow*>();
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
  });
  EXPECT_EQ(RunBoxJobWithProgress(program_.window.get(), box, QStringLiteral("box"), waiting).outcome,
            JobOutcome::Cancelled);
}

// Deleting mail makes the box want compaction; closing its window compacts
// it on a worker behind the progress window before the window goes.
TEST_F(MailCommandsTest, ClosingABoxThatWantsCompactionCompactsItBehindTheProgressWindow) {
  const auto text_size = [this] { return ReadFileBytes(data_.File("受信.mb")).size(); };
  Select({0, 1});
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Run(cmd::kDeleteMail));
  ASSERT_TRUE(inbox_->box().CompactionWanted());
  const std::size_t before = text_size();
  testing::ShownDialogHandler<ProgressWindow> progress(
      [](ProgressWindow& window) { EXPECT_EQ(window.windowModality(), Qt::ApplicationModal); });
  ASSERT_TRUE(qobject_cast<QMdiSubWindow*>(inbox_->parentWidget())->close());
  EXPECT_EQ(progress.shown, 1);
  EXPECT_LT(text_size(), before);
  EXPECT_EQ(OnDisk("受信.lp").size(), 1u);
}

TEST_F(MailCommandsTest, LabelTotalsCountTheMailsAndTheUnreadOnesByLabel) {
  CLPOSTDoc& box = inbox_->box();
  box.RecordAt(0)->label = 3;
  box.RecordAt(1)->label = 3;
  box.RecordAt(1)->status = kStatusRead;
  box.RecordAt(2)->label = 99;  // out of range: counted with the mails without a label
  QStringList rows;
  testing::ShownDialogHandler<LabelTotalsDialog> totals([&rows](LabelTotalsDialog& dialog) {
    for (int row = 0; row < dialog.table().topLevelItemCount(); ++row) {
      const QTreeWidgetItem* item = dialog.table().topLevelItem(row);
      if (item->text(1) != QStringLiteral("0") || row == 0) {
        rows << item->text(0) + QLatin1Char('/') + item->text(1) + QLatin1Char('/') + item->text(2);
      }
    }
    EXPECT_EQ(dialog.table().topLevelItemCount(), 12);
    dialog.accept();
  });
  ASSERT_TRUE(Run(cmd::kLabelTotals));
  ASSERT_EQ(rows.size(), 3);
  EXPECT_EQ(rows[0], U("なし/1/1"));
  EXPECT_TRUE(rows[1].startsWith(QStringLiteral("3"))) << rows[1].toStdString();
  EXPECT_TRUE(rows[1].endsWith(QStringLiteral("/2/1"))) << rows[1].toStdString();
  EXPECT_EQ(rows[2], U("合計/3/2"));
}

TEST_F(MailCommandsTest, AnalyseAgainTakesTheKeptSpoolIntoTheReceiveBoxAndRemovesIt) {
  ASSERT_TRUE(PathExists("inbox.log"));
  ASSERT_TRUE(Run(cmd::kAnalyse));
  EXPECT_EQ(inbox_->box().Count(), 6);
  EXPECT_EQ(inbox_->model().rowCount(), 6);
  EXPECT_FALSE(PathExists("inbox.log"));
}

struct RecordingOpener final : FileOpener {
  bool OpenWithDefaultProgram(std::string_view sjis_path) override {
    opened.emplace_back(sjis_path);
    return true;
  }
  std::vector<std::string> opened;
};

TEST_F(MailCommandsTest, BrowserViewOpensThePageAndRefusesHtmlWithAnIframe) {
  auto opener = std::make_unique<RecordingOpener>();
  RecordingOpener& opened = *opener;
  program_.window->SetFileOpener(std::move(opener));
  Select({1});
  inbox_->list().setCurrentIndex(inbox_->ListIndexOfRow(1));
  ASSERT_TRUE(Run(cmd::kViewInBrowser));
  ASSERT_EQ(opened.opened.size(), 1u);
  EXPECT_NE(ReadFileBytes(ToNativePath(opened.opened[0])).find("<PRE>"), std::string::npos);

  WriteFileBytes("html.log",
                 "+OK\r\nFrom: spam@example.jp\r\nTo: alice@example.jp\r\nSubject: html\r\n"
                 "Date: Tue, 08 Dec 2026 09:05:03 +0900\r\nContent-Type: text/html\r\n\r\n"
                 "<HTML><BODY><IFRAME src=x></IFRAME></BODY></HTML>\r\n.\r\n");
  ASSERT_EQ(AnalyseSpool(inbox_->box(), "html.log"), 1);
  const int html_row = inbox_->box().Count() - 1;
  Select({html_row});
  inbox_->list().setCurrentIndex(inbox_->ListIndexOfRow(html_row));
  ui_.QueueAnswer(Answer::Yes);  // "HTMLメールです。…それでもブラウザで開きますか？"
  ASSERT_TRUE(Run(cmd::kViewInBrowser));
  EXPECT_EQ(opened.opened.size(), 1u);
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_NE(Cp932ToUtf8(ui_.messages.back()).find("IFRAME"), std::string::npos);
}

TEST_F(MailCommandsTest, OpenAndImportBoxFilesToggleTheCaretMailAndOpenTheHomePage) {
  WriteFileBytes(data_.File("保存.lp"), "");
  ui_.QueueFile(std::nullopt);
  ASSERT_TRUE(Run(cmd::kOpenBox));
  ui_.QueueFile(FromNativePath(data_.File("保存.lp")));
  ASSERT_TRUE(Run(cmd::kOpenBox));
  auto* kept = qobject_cast<MailboxView*>(program_.window->mdi().activeSubWindow()->widget());
  ASSERT_NE(kept, nullptr);
  ASSERT_NE(kept, inbox_);
  EXPECT_EQ(kept->box().Count(), 0);

  // The receive box's mails taken over into it, once however often.
  for (int round = 0; round < 2; ++round) {
    ui_.QueueFile(FromNativePath(data_.File("受信.lp")));
    ASSERT_TRUE(program_.window->router().Run(cmd::kImportFile));
    EXPECT_EQ(kept->box().Count(), 3) << round;
  }

  Select({});
  inbox_->list().setCurrentIndex(inbox_->ListIndexOfRow(2));
  inbox_->list().selectionModel()->clearSelection();
  ASSERT_TRUE(Run(cmd::kSelectMail));
  EXPECT_TRUE(inbox_->list().selectionModel()->isRowSelected(2, {}));
  ASSERT_TRUE(Run(cmd::kSelectMail));
  EXPECT_FALSE(inbox_->list().selectionModel()->isRowSelected(2, {}));

  auto opener = std::make_unique<RecordingOpener>();
  RecordingOpener& opened = *opener;
  program_.window->SetFileOpener(std::move(opener));
  ASSERT_TRUE(Run(cmd::kHomePage));
  ASSERT_EQ(opened.opened.size(), 1u);
  EXPECT_EQ(opened.opened[0], "http://www.orvex.example/");
}

TEST_F(MailCommandsTest, FolderImportTakesTheBoxFilesOfAFolderTreeIntoTheReceiveBox) {
  // Two of the three mails moved to a box two levels down in another
  // folder; a folder not named like a box is not searched.
  TempDirectory other;
  ASSERT_TRUE(MakeDirectories(FromNativePath(other.File("old/2019.lp"))));
  ASSERT_TRUE(MakeDirectories(FromNativePath(other.File("plain"))));
  WriteFileBytes(other.File("old/2019.lp/keep.lp"), "");
  WriteFileBytes(other.File("plain/hidden.lp"), "");
  const std::string kept_path = FromNativePath(other.File("old/2019.lp/keep.lp"));
  const std::vector<int> rows = {0, 1};
  ASSERT_EQ(MoveTo(inbox_->box(), rows, kept_path, program_.session->registry()), 2u);
  ASSERT_EQ(inbox_->box().Count(), 1);
  WriteFileBytes(other.File("old/notes.txt"), "not a box");

  testing::ShownDialogHandler<QFileDialog> chooser([&other](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), U("取り込むフォルダ"));
    dialog.setDirectory(QString::fromStdString(other.File("old")));
    static_cast<QDialog&>(dialog).accept();  // QFileDialog::accept, through the public base
  });
  ASSERT_TRUE(program_.window->router().Run(cmd::kImportFolder));
  EXPECT_EQ(chooser.shown, 1);
  EXPECT_EQ(inbox_->box().Count(), 3);
  EXPECT_TRUE(inbox_->box().IsModified());
  // Taken again: nothing twice.
  ASSERT_TRUE(program_.window->router().Run(cmd::kImportFolder));
  EXPECT_EQ(inbox_->box().Count(), 3);
}

TEST_F(MailCommandsTest, EditMenuWorksOnTheComposeBody) {
  ASSERT_TRUE(program_.window->router().Run(cmd::kNewMail));
  auto* compose = qobject_cast<ComposeView*>(program_.window->mdi().activeSubWindow()->widget());
  ASSERT_NE(compose, nullptr);
  MailEditor& body = compose->body();
  body.setFocus();
  body.setPlainText(U("ﾃﾞｰﾀとＡＢＣ１２３"));
  body.selectAll();
  ASSERT_TRUE(program_.window->router().Run(cmd::kHalfKanaToFull));
  EXPECT_EQ(body.toPlainText(), U("データとＡＢＣ１２３"));
  ASSERT_TRUE(program_.window->router().Run(cmd::kFullToHalf));
  // Katakana, letters and digits go to half width; hiragana has none.
  EXPECT_EQ(body.toPlainText(), U("ﾃﾞｰﾀとABC123"));
  ASSERT_TRUE(program_.window->router().Run(cmd::kUndo));
  EXPECT_EQ(body.toPlainText(), U("データとＡＢＣ１２３"));
  ASSERT_TRUE(program_.window->router().Run(cmd::kSelectAllText));
  ASSERT_TRUE(program_.window->router().Run(cmd::kCut));
  EXPECT_TRUE(body.toPlainText().isEmpty());
  ASSERT_TRUE(program_.window->router().Run(cmd::kPaste));
  ASSERT_TRUE(program_.window->router().Run(cmd::kPaste));
  EXPECT_EQ(body.toPlainText(), U("データとＡＢＣ１２３データとＡＢＣ１２３"));
  // The window closes at the end without the close dialog.
  body.document()->setModified(false);
}

TEST_F(MailCommandsTest, DirectMailAmongTheSelectionMovesToItsBox) {
  WriteFileBytes(data_.File("保存.lp"), "");
  Profile& profile = program_.session->profile();
  Select({0, 1, 2});
  // Not set up yet: said so, nothing moves.
  ASSERT_TRUE(Run(cmd::kDirectMailFromSelected));
  EXPECT_EQ(inbox_->box().Count(), 3);

  ASSERT_TRUE(profile.WriteString("Spam", "Box", FromNativePath(data_.File("保存.lp"))));
  ASSERT_TRUE(profile.WriteInt("Spam", "English", 1));
  Select({0, 1, 2});
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(Run(cmd::kDirectMailFromSelected));
  // Only the mail in plain ASCII throughout is English mail: the Japanese
  // one stays, and so does the one whose shown text notes its attachment.
  EXPECT_EQ(inbox_->box().Count(), 2);
  const CLPOSTDoc::Records moved = OnDisk("保存.lp");
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0]->subject, "forwarded");
}

TEST_F(MailCommandsTest, SortDialogSortsByTheChosenKey) {
  inputs_.Queue(std::nullopt);
  const std::string first = SubjectAt(0);
  ASSERT_TRUE(Run(cmd::kSortMenu));
  EXPECT_EQ(SubjectAt(0), first);
  EXPECT_EQ(inputs_.items.size(), 7);

  inputs_.Queue(U("Subject:"));
  ASSERT_TRUE(Run(cmd::kSortMenu));
  for (int row = 1; row < inbox_->box().Count(); ++row) {
    EXPECT_LE(CompareSortText(SubjectAt(row - 1), SubjectAt(row)), 0) << row;
  }
}

TEST_F(MailCommandsTest, ListFontIsStoredAndAppliedToTheOpenLists) {
  QFont chosen = QApplication::font();
  chosen.setPointSize(23);
  inputs_.font_answer = chosen;
  ASSERT_TRUE(Run(cmd::kFontSettings));
  const Profile& profile = program_.session->profile();
  // The dialog deals in points: a positive size.
  EXPECT_EQ(profile.GetInt("Font", "Size", 0), 23);
  EXPECT_EQ(profile.GetInt("Font", "Weight", 0), 400);
  EXPECT_FALSE(profile.GetString("Font", "FaceName").empty());
  EXPECT_EQ(inbox_->list().font().pointSize(), 23);
  // A window opened later takes it too.
  WriteFileBytes(data_.File("保存.lp"), "");
  MailboxView* later = program_.window->OpenMailbox(FromNativePath(data_.File("保存.lp")));
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->list().font().pointSize(), 23);
}

}  // namespace
}  // namespace lp
