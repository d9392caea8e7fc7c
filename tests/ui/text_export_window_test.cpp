#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_ids.h"
#include "codec/japanese_text.h"
#include "codec/spool_analyser.h"
#include "rules/mail_search.h"
#include "platform/code_page.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/three_mail_inbox.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/shown_dialog_handler.h"
#include "ui/mailbox_view.h"
#include "ui/text_export_dialog.h"
#include "ui/text_export_messages.h"
#include "util/text_out_set.h"

// The text export windows: the dialog over the settings list, the choice
// of a named setting, and the exports run from the main window on a real
// data directory with three received mails.

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

CTextOutSet Named(const char* name_utf8, const std::string& file) {
  CTextOutSet setting;
  setting.name = Utf8ToSjis(name_utf8);
  setting.output_file = file;
  return setting;
}

TEST(TextExportDialogTest, ShowsTheLastSettingAndStoresTheValuesShownIntoIt) {
  CTextOutSetArray list;
  CTextOutSet last = Named("前回の設定", "out.txt");
  last.unread = false;
  last.label = 2;
  list.entries() = {last, Named("仕事", "work.txt")};
  TextExportDialog dialog(list, {U("仕事"), U("私用")});
  EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("unread"))->isChecked());
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("label"))->currentText(), U("私用"));
  EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("outputFile"))->text(), U("out.txt"));
  if (const char* shot = std::getenv("LP_SCREENSHOT_DIR")) {
    dialog.show();
    dialog.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("/text_export_dialog.png"));
  }
  // A named setting shown, changed and accepted: entry 0 takes the values
  // and keeps its name; the named one is unchanged.
  dialog.Show(list.entries()[1]);
  dialog.findChild<QCheckBox*>(QStringLiteral("allBoxes"))->setChecked(true);
  dialog.accept();
  EXPECT_EQ(list.entries()[0].name, Utf8ToSjis("前回の設定"));
  EXPECT_EQ(list.entries()[0].output_file, "work.txt");
  EXPECT_TRUE(list.entries()[0].all_boxes);
  EXPECT_FALSE(list.entries()[1].all_boxes);
}

TEST(TextExportDialogTest, ChoiceRenamesMovesAndDeletesAfterAskingButNeverTheLastSetting) {
  CTextOutSetArray list;
  list.entries() = {Named("前回の設定", ""), Named("A", "a.txt"), Named("B", "b.txt")};
  TextExportChoiceDialog choice(list);
  testing::MessageBoxAnswerer answers;
  choice.names().setCurrentRow(2);
  choice.MoveChosen(-1);
  EXPECT_EQ(list.entries()[1].name, "B");
  EXPECT_EQ(choice.Chosen(), 1);
  choice.MoveChosen(-1);  // entry 0 keeps its place
  EXPECT_EQ(list.entries()[1].name, "B");
  choice.RenameChosen(U("月報"));
  EXPECT_EQ(list.entries()[1].name, Utf8ToSjis("月報"));
  answers.Queue(QMessageBox::Cancel);
  choice.DeleteChosen();
  EXPECT_EQ(list.entries().size(), 3u);
  choice.DeleteChosen();  // OK
  ASSERT_EQ(list.entries().size(), 2u);
  EXPECT_EQ(list.entries()[1].name, "A");
  EXPECT_EQ(answers.texts.size(), 2);
  choice.names().setCurrentRow(0);
  choice.DeleteChosen();
  EXPECT_EQ(list.entries().size(), 2u);
}

class TextExportCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::StartWithThreeMailInbox(program_, data_.path(), ui_, inbox_);
    if (HasFatalFailure()) return;
  }
  void StoreLastSetting(const CTextOutSet& setting) {
    CTextOutSetArray list;
    list.entries() = {setting};
    ASSERT_TRUE(list.Save(program_.core.settings().text_out_set_name));
  }
  void Run(int command) { (void)program_.window->router().Run(command); }

  TempDirectory data_{true};
  RecordingUserInterface ui_;
  testing::DesktopProgram program_;
  MailboxView* inbox_ = nullptr;
};

int CountMails(const std::string& text) {
  int dots = 0;
  for (std::size_t at = text.find("\r\n.\r\n"); at != std::string::npos; at = text.find("\r\n.\r\n", at + 1)) ++dots;
  return dots;
}

TEST_F(TextExportCommandsTest, EveryBoxIsExportedOnAWorker) {
  const std::string out = data_.File("all.txt");
  CTextOutSet setting = Named("前回の設定", out);
  setting.all_boxes = true;
  setting.read = false;  // the three mails are unread
  StoreLastSetting(setting);
  Run(cmd::kTextExportAllBoxes);
  auto* progress = program_.window->findChild<QDialog*>(QStringLiteral("walkProgress"));
  ASSERT_NE(progress, nullptr);
  QStringList buttons;
  for (const QPushButton* button : progress->findChildren<QPushButton*>()) buttons << button->text();
  EXPECT_EQ(buttons, (QStringList{U("中止"), U("次へ")}));
  if (const char* shot = std::getenv("LP_SCREENSHOT_DIR")) {
    progress->grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("/text_export_progress.png"));
  }
  QElapsedTimer clock;
  clock.start();
  while (CountMails(ReadFileBytes(out)) < 3 && clock.elapsed() < 10000) QApplication::processEvents();
  const std::string text = ReadFileBytes(out);
  EXPECT_EQ(CountMails(text), 3);
  EXPECT_NE(text.find("forwarded"), std::string::npos);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TextExportCommandsTest, SelectedMailsGoToTheChosenFileAndAFileThatDoesNotOpenIsSaid) {
  inbox_->SetCaret(2);
  const std::string out = data_.File("one.txt");
  ui_.QueueFile(out);
  Run(cmd::kTextExportSelected);
  EXPECT_EQ(CountMails(ReadFileBytes(out)), 1);
  EXPECT_NE(ReadFileBytes(out).find("forwarded"), std::string::npos);
  ui_.messages.clear();  // the report of the finished export
  ui_.QueueFile(data_.File("missing/dir/out.txt"));
  Run(cmd::kTextExportSelected);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].rfind(Utf8ToSjis("ファイルが開けません"), 0), 0u);
}

// The search of every box is still walking (held at a box whose index is a
// named pipe that nobody writes yet) when the export dialog's OK comes.
TEST_F(TextExportCommandsTest, AnExportWhileASearchWalksLeavesTheOutputAndSaysWhy) {
  const std::string out = data_.File("out.txt");
  WriteFileBytes(out, "earlier export");
  CTextOutSet setting = Named("前回の設定", out);
  setting.all_boxes = true;
  StoreLastSetting(setting);
  SearchCondition nothing;
  nothing.text = "no such text";
  ASSERT_TRUE(nothing.Save(program_.core.profile()));
  ASSERT_EQ(::mkfifo(data_.File("held.lp").c_str(), 0600), 0);
  Run(cmd::kFindAllNext);
  auto* walk = program_.window->findChild<QDialog*>(QStringLiteral("walkProgress"));
  ASSERT_NE(walk, nullptr);

  testing::ShownDialogHandler<TextExportDialog> ok([](TextExportDialog& dialog) { dialog.accept(); });
  Run(cmd::kTextExport);
  EXPECT_EQ(ok.shown, 1);
  EXPECT_EQ(ReadFileBytes(out), "earlier export");
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0], Utf8ToSjis(ui_text::kWalkRunning));

  // The pipe gets its writer: the walk goes on and ends.
  QElapsedTimer clock;
  clock.start();
  int writer = -1;
  while (writer < 0 && clock.elapsed() < 10000) {
    writer = ::open(data_.File("held.lp").c_str(), O_WRONLY | O_NONBLOCK);
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  ASSERT_GE(writer, 0);
  ::close(writer);
  while (ui_.messages.size() < 2 && clock.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(ui_.messages.size(), 2u);
}

}  // namespace
}  // namespace lp
