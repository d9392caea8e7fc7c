#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include "platform/code_page.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "ui/version_check_window.h"
#include "util/util_messages.h"

// The version check's window: the new release's dialog and the question
// that comes first.

namespace lp {
namespace {

TEST(VersionCheckWindow, NewReleaseDialogShowsVersionDateAndMessage) {
  ReleaseInfo release;
  release.version = "3.0";
  release.year = 2027;
  release.month = 1;
  release.day = 5;
  release.message = Utf8ToCp932("新しい検索");
  NewReleaseDialog dialog(release);
  QStringList fields;
  for (const QLineEdit* field : dialog.findChildren<QLineEdit*>()) fields << field->text();
  EXPECT_EQ(fields, (QStringList{QStringLiteral("3.0"), QStringLiteral("2027/01/05"), QStringLiteral("新しい検索")}));
  QStringList buttons;
  for (const QPushButton* button : dialog.findChildren<QPushButton*>()) buttons << button->text();
  EXPECT_TRUE(buttons.contains(QStringLiteral("ホームページを開いて最新版をダウンロードする")));
  EXPECT_TRUE(buttons.contains(QStringLiteral("閉じる")));
  if (const char* shot = std::getenv("LP_SCREENSHOT_DIR")) {
    dialog.show();
    dialog.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("/new_release_dialog.png"));
  }
}

TEST(VersionCheckWindow, NoAnswerToTheQuestionDownloadsNothing) {
  testing::TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  RecordingUserInterface ui;
  QWidget window;
  VersionCheckCommand command(profile, ui, &window);
  command.Run();  // unscripted: the answer is No
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].text, util_messages::kAskVersionCheck);
  EXPECT_FALSE(command.IsRunning());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(VersionCheckWindow, AServerThatCannotBeReachedIsSaidWithoutBlockingTheWindow) {
  testing::TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  // Port 1 on this machine: the connection is refused at once.
  ASSERT_TRUE(profile.WriteString("Version", "Server", "http://127.0.0.1:1"));
  RecordingUserInterface ui;
  ui.QueueAnswer(Answer::Yes);
  QWidget window;
  VersionCheckCommand command(profile, ui, &window);
  command.Run();
  EXPECT_TRUE(command.IsRunning());
  command.Run();  // a second command while one runs asks nothing
  EXPECT_EQ(ui.questions.size(), 1u);
  QElapsedTimer clock;
  clock.start();
  while (command.IsRunning() && clock.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(command.IsRunning());
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.front().rfind(util_messages::kNetworkErrorPrefix, 0), 0u);
  EXPECT_EQ(ui.messages.back(), util_messages::kVersionInfoFailed);
}

}  // namespace
}  // namespace lp
