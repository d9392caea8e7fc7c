#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QThread>
#include <QTreeView>
#include <algorithm>
#include <atomic>

#include "app/command_ids.h"
#include "codec/japanese_text.h"
#include "codec/spool_analyser.h"
#include "rules/mail_search.h"
#include "rules/rules_messages.h"
#include "rules/search_history.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/shown_dialog_handler.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/three_mail_inbox.h"
#include "ui/find_dialog.h"
#include "ui/mailbox_view.h"
#include "ui/skippable_worker_run.h"
#include "ui/worker_jobs.h"

// The search dialog and the search commands of the main window on a real
// data directory whose receive box holds three mails ("会議案内",
// "report", "forwarded").

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Presses "開始" in every search dialog that shows.
class FindDialogStarter {
 public:
  [[nodiscard]] int shown() const { return handler_.shown; }

 private:
  testing::ShownDialogHandler<FindDialog> handler_{[](FindDialog& dialog) { dialog.accept(); }};
};

TEST(FindDialogTest, ShowsTheStoredConditionAndWritesItWithTheHistory) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  SearchCondition stored;
  stored.text = Utf8ToSjis("会議");
  stored.field = SearchField::Subject;
  stored.status = 1;
  stored.label = 2;
  ASSERT_TRUE(stored.Save(profile));
  ASSERT_TRUE(AddToSearchHistory(profile, "older"));
  FindDialog dialog(profile, {U("仕事"), U("私用")}, false);
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("findText"))->currentText(), U("会議"));
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("findField"))->currentText(), U("Subject:"));
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("findStatus"))->currentText(), U("未読"));
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("findLabel"))->currentText(), U("仕事"));
  if (const char* shot = std::getenv("LP_SCREENSHOT_DIR")) {
    dialog.show();
    dialog.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("/find_dialog.png"));
  }

  dialog.findChild<QComboBox*>(QStringLiteral("findText"))->setEditText(U("ﾚﾎﾟｰﾄ"));
  dialog.findChild<QCheckBox*>(QStringLiteral("foldWidth"))->setChecked(true);
  dialog.findChild<QCheckBox*>(QStringLiteral("backward"))->setChecked(true);
  dialog.findChild<QComboBox*>(QStringLiteral("findLabel"))->setCurrentIndex(1);
  dialog.accept();
  const SearchCondition written = SearchCondition::Load(profile);
  EXPECT_EQ(written.text, Utf8ToSjis("ﾚﾎﾟｰﾄ"));
  EXPECT_TRUE(written.fold_width);
  EXPECT_TRUE(written.backward);
  EXPECT_EQ(written.label, 1);
  EXPECT_EQ(LoadSearchHistory(profile), (std::vector<std::string>{Utf8ToSjis("ﾚﾎﾟｰﾄ"), "older"}));

  // The all-box search has no start position or direction.
  FindDialog all(profile, {}, true);
  EXPECT_FALSE(all.findChild<QCheckBox*>(QStringLiteral("fromCurrent"))->isEnabled());
  EXPECT_FALSE(all.findChild<QCheckBox*>(QStringLiteral("backward"))->isEnabled());
}

class SearchCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::StartWithThreeMailInbox(program_, data_.path(), ui_, inbox_);
    if (HasFatalFailure()) return;
  }
  void Store(const char* text_utf8, SearchField field = SearchField::All) {
    SearchCondition condition;
    condition.text = Utf8ToSjis(text_utf8);
    condition.field = field;
    ASSERT_TRUE(condition.Save(program_.core.profile()));
  }
  void Run(int command) { (void)program_.window->router().Run(command); }
  // Runs the events until `done` holds (the all-box search's worker ended).
  template <typename Condition>
  void WaitFor(Condition done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }

  TempDirectory data_{true};
  RecordingUserInterface ui_;
  testing::DesktopProgram program_;
  MailboxView* inbox_ = nullptr;
};

TEST_F(SearchCommandsTest, NextAndPreviousStepThroughTheBoxFromTheCaret) {
  Store("", SearchField::All);  // an empty text: every mail in turn
  inbox_->SetCaret(0);
  Run(cmd::kFindNextInBox);
  EXPECT_EQ(inbox_->CaretRow(), 1);
  Run(cmd::kFindNextInBox);
  EXPECT_EQ(inbox_->CaretRow(), 2);
  Run(cmd::kFindNextInBox);
  EXPECT_EQ(inbox_->CaretRow(), 2);
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{kSearchFoundNothing}));
  Run(cmd::kFindPreviousInBox);
  EXPECT_EQ(inbox_->CaretRow(), 1);

  // Case is folded by default.
  Store("REPORT", SearchField::Subject);
  inbox_->SetCaret(2);
  Run(cmd::kFindPreviousInBox);
  EXPECT_EQ(inbox_->CaretRow(), 1);
}

TEST_F(SearchCommandsTest, DialogSearchesTheBoxFromItsStart) {
  Store("forwarded", SearchField::Subject);
  inbox_->SetCaret(0);
  FindDialogStarter starter;
  Run(cmd::kFindInBox);
  EXPECT_EQ(starter.shown(), 1);
  EXPECT_EQ(inbox_->CaretRow(), 2);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SearchCommandsTest, EveryBoxIsSearchedOnAWorkerAndRepeatsAfterTheMatch) {
  Store("report", SearchField::Subject);
  inbox_->SetCaret(0);
  FindDialogStarter starter;
  Run(cmd::kFindAll);
  EXPECT_EQ(starter.shown(), 1);
  WaitFor([&] { return inbox_->CaretRow() == 1; });
  EXPECT_EQ(inbox_->CaretRow(), 1);
  EXPECT_TRUE(ui_.messages.empty());
  // After the match nothing is left; a repeat says so at once.
  Run(cmd::kFindAllNext);
  WaitFor([&] { return !ui_.messages.empty(); });
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{kSearchFoundNothing}));
  Run(cmd::kFindAllNext);
  WaitFor([&] { return ui_.messages.size() == 2; });
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(inbox_->CaretRow(), 1);
}

TEST_F(SearchCommandsTest, EveryBoxSearchPutsTheCaretOnTheMailFoundInTheSortedBox) {
  // Sorted, not saved: "report" stands first now, second in the file.
  inbox_->box().Reorder([](CLPOSTDoc::Records& records) {
    std::rotate(records.begin(), records.begin() + 1, records.end());
  });
  inbox_->SetCaret(2);
  Store("report", SearchField::Subject);
  FindDialogStarter starter;
  Run(cmd::kFindAll);
  WaitFor([&] { return inbox_->CaretRow() != 2 || !ui_.messages.empty(); });
  EXPECT_TRUE(ui_.messages.empty());
  ASSERT_EQ(inbox_->CaretRow(), 0);
  EXPECT_EQ(inbox_->box().RecordAt(0)->subject, "report");
}

TEST_F(SearchCommandsTest, EveryBoxSearchSeesTheUnsavedDeletionsOfAnOpenBox) {
  (void)inbox_->box().RemoveAt(1);  // "report", not saved
  inbox_->SetCaret(0);
  Store("report", SearchField::Subject);
  FindDialogStarter starter;
  Run(cmd::kFindAll);
  WaitFor([&] { return !ui_.messages.empty(); });
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{kSearchFoundNothing}));
  EXPECT_EQ(inbox_->CaretRow(), 0);
}

// The walk's window: "次へ" reaches the worker once per press, "中止" ends
// the walk, and what follows it runs on this thread with the window gone.
TEST(SkippableWorkerRunTest, NextAndStopReachTheWorker) {
  QWidget window;
  WorkerJobs jobs;
  SkippableWorkerRun walk(&window, jobs);
  std::atomic<int> skips{0};
  std::atomic<bool> cancelled{false};
  bool done = false;
  const auto work = [&](SkippableProgress& progress) {
    progress.SetStatusText("box");
    QElapsedTimer clock;
    clock.start();
    while (!progress.CancelRequested() && clock.elapsed() < 10000) {
      if (progress.SkipRequested()) ++skips;
      QThread::msleep(2);
    }
    cancelled = progress.CancelRequested();
  };
  ASSERT_TRUE(walk.Start("walk", "walking", work, [&] { done = true; }));
  EXPECT_FALSE(walk.Start("again", "", work, {}));
  QDialog* shown = walk.progress_window();
  ASSERT_NE(shown, nullptr);
  shown->findChild<QPushButton*>(QStringLiteral("next"))->click();
  QElapsedTimer clock;
  clock.start();
  while (skips.load() == 0 && clock.elapsed() < 5000) QThread::msleep(2);
  EXPECT_EQ(skips.load(), 1);
  shown->findChild<QPushButton*>(QStringLiteral("stop"))->click();
  while (!done && clock.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(done);
  EXPECT_TRUE(cancelled.load());
  EXPECT_FALSE(walk.IsRunning());
  EXPECT_EQ(skips.load(), 1);
}

}  // namespace
}  // namespace lp
