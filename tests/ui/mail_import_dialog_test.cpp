#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTreeView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "app/command_ids.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/shown_dialog_handler.h"
#include "ui/mail_import_dialog.h"
#include "ui/mail_list_model.h"
#include "ui/mailbox_view.h"
#include "ui/mail_import_run.h"
#include "ui/progress_window.h"

// The import dialog shows what a source holds and where it goes; the run
// imports it on a worker behind the progress window.

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

std::string Mails(int count, const std::string& tag) {
  std::string mbox;
  for (int i = 0; i < count; ++i) {
    mbox += "From a@b Mon Jun  2 10:00:00 2025\nMessage-ID: <" + tag + std::to_string(i) +
            "@x>\nDate: Mon, 2 Jun 2025 10:00:00 +0900\nSubject: =?UTF-8?B?5pel5pys6Kqe?=\n\n本文\n\n";
  }
  return mbox;
}

class MailImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(source_.File("Inbox.sbd"));
    WriteFileBytes(source_.File("Inbox"), Mails(2, "i"));
    WriteFileBytes(source_.File("Inbox.msf"), "");
    WriteFileBytes(source_.File("Inbox.sbd/仕事"), Mails(1, "w"));
    for (const char* sub : {"cur", "new", "tmp"}) std::filesystem::create_directories(source_.File("md/") + sub);
    WriteFileBytes(source_.File("md/new/1.x"), "Subject: maildir\n\nbody\n");
    std::filesystem::create_directories(data_.File("Archive.lp"));
  }

  std::string DataDirectory() const { return Utf8ToCp932(data_.path()); }

  // Sets the source and waits for the look at it to show.
  static void ScanSource(MailImportDialog& dialog, const std::string& native_path) {
    QSignalSpy done(&dialog, &MailImportDialog::ScanFinished);
    dialog.SetSource(QString::fromStdString(native_path));
    ASSERT_TRUE(done.wait(30000));
  }

  TempDirectory data_{true};
  TempDirectory source_;
  Profile profile_{Utf8ToCp932(data_.File("lpost.conf"))};
  RecordingUserInterface ui_;
};

TEST_F(MailImportDialogTest, ShowsTheFoldersTheirCountsAndWhereEachGoes) {
  MailImportDialog dialog(DataDirectory());
  EXPECT_FALSE(dialog.start_button()->isEnabled());
  ScanSource(dialog, source_.path());

  QTreeWidget* folders = dialog.folders();
  ASSERT_EQ(folders->topLevelItemCount(), 3);
  const QStringList expected[] = {
      {"Inbox", "mbox", "2", "Inbox.lp/Inbox.lp"},
      {"Inbox / 仕事", "mbox", "1", "Inbox.lp/仕事.lp"},
      {"md", "Maildir", "1", "md.lp"},
  };
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      EXPECT_EQ(folders->topLevelItem(row)->text(column), expected[row][column]) << row << "," << column;
    }
  }
  EXPECT_TRUE(dialog.start_button()->isEnabled());

  // The existing folder is offered; choosing it moves every box below it.
  auto* destination = dialog.findChild<QComboBox*>();
  ASSERT_NE(destination, nullptr);
  EXPECT_GE(destination->findText(QStringLiteral("Archive.lp")), 0);
  dialog.SetDestination(QStringLiteral("Archive"));
  EXPECT_EQ(folders->topLevelItem(0)->text(3), QStringLiteral("Archive.lp/Inbox.lp/Inbox.lp"));
  EXPECT_EQ(dialog.Request().destination, "Archive.lp");
  EXPECT_EQ(dialog.Request().native_source, source_.path());

  if (const char* dir = std::getenv("LP_SCREENSHOT_DIR")) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.grab().save(QString::fromUtf8(dir) + QStringLiteral("/mail_import_dialog.png")));
  }
}

TEST_F(MailImportDialogTest, ASourceWithoutMailOffersNothingToStart) {
  WriteFileBytes(source_.File("notes.txt"), "shopping list\n");
  MailImportDialog dialog(DataDirectory());
  ScanSource(dialog, source_.File("notes.txt"));
  ASSERT_EQ(dialog.folders()->topLevelItemCount(), 1);
  EXPECT_FALSE(dialog.start_button()->isEnabled());
}

TEST_F(MailImportDialogTest, TheRunImportsOnAWorkerBehindTheProgressWindow) {
  MailImportDialog dialog(DataDirectory());
  ScanSource(dialog, source_.path());
  dialog.SetDestination(QStringLiteral("Archive"));
  QWidget window;
  MailImportRun run(&window, profile_, ui_, dialog.Request(), dialog.Found());
  QSignalSpy finished(&run, &MailImportRun::Finished);
  run.Start();
  EXPECT_TRUE(run.progress_window()->isVisible());
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(run.report().imported, 4);
  EXPECT_TRUE(run.report().Complete());
  EXPECT_FALSE(run.progress_window()->isVisible());
  EXPECT_TRUE(IsRegularFile(Utf8ToCp932("Archive.lp/Inbox.lp/仕事.lp")));
}

// The look at a source runs on a worker: the window keeps answering while
// a tree with link loops and a named pipe is walked, and the walk can be
// stopped.
TEST_F(MailImportDialogTest, TheSourceIsLookedAtOnAWorkerThatCanBeStopped) {
  std::filesystem::create_directory_symlink(".", source_.File("a"));
  std::filesystem::create_directory_symlink(".", source_.File("b"));
  ASSERT_EQ(::mkfifo(source_.File("pipe").c_str(), 0600), 0);
  MailImportDialog dialog(DataDirectory());
  QSignalSpy done(&dialog, &MailImportDialog::ScanFinished);
  dialog.SetSource(QString::fromStdString(source_.path()));
  // The window's thread is back before the walk's result came.
  EXPECT_TRUE(dialog.scanning());
  EXPECT_TRUE(dialog.stop_scan_button()->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.start_button()->isEnabled());
  ASSERT_TRUE(done.wait(30000));
  EXPECT_FALSE(dialog.scanning());
  EXPECT_EQ(dialog.Found().folders.size(), 3u);  // each folder once
  ASSERT_EQ(dialog.Found().problems.size(), 1u);  // the pipe, named
  EXPECT_EQ(dialog.Found().problems[0].native_path, source_.File("pipe"));
  EXPECT_TRUE(dialog.start_button()->isEnabled());

  // Stopped: nothing to start.
  dialog.Scan();
  QTest::mouseClick(dialog.stop_scan_button(), Qt::LeftButton);
  ASSERT_TRUE(done.wait(30000));
  EXPECT_FALSE(dialog.scanning());
  EXPECT_FALSE(dialog.stop_scan_button()->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.start_button()->isEnabled());
}

TEST_F(MailImportDialogTest, EnterInTheSourceLooksAgainAndNeverStartsTheImport) {
  MailImportDialog dialog(DataDirectory());
  QSignalSpy accepted(&dialog, &QDialog::accepted);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  ScanSource(dialog, source_.path());
  ASSERT_TRUE(dialog.start_button()->isEnabled());
  ASSERT_EQ(dialog.folders()->topLevelItemCount(), 3);

  WriteFileBytes(source_.File("Sent"), Mails(1, "s"));
  auto* source = dialog.findChild<QLineEdit*>();
  ASSERT_NE(source, nullptr);
  source->setFocus();
  QSignalSpy done(&dialog, &MailImportDialog::ScanFinished);
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    QTest::keyClick(source, key);
    ASSERT_TRUE(done.wait(30000));
  }
  EXPECT_EQ(accepted.count(), 0);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.folders()->topLevelItemCount(), 4);  // looked at again

  QTest::mouseClick(dialog.start_button(), Qt::LeftButton);
  EXPECT_EQ(accepted.count(), 1);
}

// A box opened (from the mail manager or a window) while the import writes
// it shows that it is busy, then every imported mail; the index saved
// afterwards holds them all.
TEST(MailImportWindowTest, ABoxOpenedDuringTheImportShowsEveryMailWhenItEnds) {
  TempDirectory data(true);
  TempDirectory source;
  WriteFileBytes(source.File("Old"), Mails(300, "o"));
  RecordingUserInterface ui;
  testing::DesktopProgram program;
  program.Start(data.path(), ui);
  ASSERT_NE(program.window, nullptr);
  WriteFileBytes(data.File("Old.lp"), "");  // the destination exists, empty
  testing::ShownDialogHandler<MailImportDialog> start([&](MailImportDialog& dialog) {
    QSignalSpy looked(&dialog, &MailImportDialog::ScanFinished);
    dialog.SetSource(QString::fromStdString(source.File("Old")));
    ASSERT_TRUE(looked.wait(30000));
    dialog.accept();
  });
  ASSERT_TRUE(program.window->router().Run(cmd::kImportOtherMail));
  ASSERT_EQ(start.shown, 1);

  MailboxView* view = program.window->OpenMailbox(Utf8ToCp932(data.File("Old.lp")));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->box().IsBusy());
  EXPECT_FALSE(view->list().isEnabled());
  QElapsedTimer clock;
  clock.start();
  while (ui.messages.empty() && clock.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(ui.messages.size(), 1u);  // the import's report
  EXPECT_FALSE(view->box().IsBusy());
  EXPECT_TRUE(view->list().isEnabled());
  EXPECT_EQ(view->model().rowCount(), 300);

  view->box().RecordAt(0)->status = kStatusRead;
  view->box().NoteRecordChanged(0);
  ASSERT_TRUE(view->box().Save().ok);
  CLPOSTDoc::Records saved;
  ASSERT_TRUE(LoadIndexFile(view->box().PathName(), saved).ok);
  EXPECT_EQ(saved.size(), 300u);
}

}  // namespace
}  // namespace lp
