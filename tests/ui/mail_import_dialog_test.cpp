#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "ui/mail_import_dialog.h"
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

  TempDirectory data_{true};
  TempDirectory source_;
  Profile profile_{Utf8ToCp932(data_.File("lpost.conf"))};
  RecordingUserInterface ui_;
};

TEST_F(MailImportDialogTest, ShowsTheFoldersTheirCountsAndWhereEachGoes) {
  MailImportDialog dialog(DataDirectory());
  EXPECT_FALSE(dialog.start_button()->isEnabled());
  dialog.SetSource(QString::fromStdString(source_.path()));

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
  dialog.SetSource(QString::fromStdString(source_.File("notes.txt")));
  ASSERT_EQ(dialog.folders()->topLevelItemCount(), 1);
  EXPECT_FALSE(dialog.start_button()->isEnabled());
}

TEST_F(MailImportDialogTest, TheRunImportsOnAWorkerBehindTheProgressWindow) {
  MailImportDialog dialog(DataDirectory());
  dialog.SetSource(QString::fromStdString(source_.path()));
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

}  // namespace
}  // namespace lp
