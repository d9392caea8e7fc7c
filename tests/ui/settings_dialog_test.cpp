#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QTranslator>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "config/account_table.h"
#include "config/app_settings.h"
#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/message_box_answerer.h"
#include "ui/qt_translations.h"
#include "ui/settings_dialog.h"

// The settings property sheet: what OK writes to "lpost.conf", what it
// applies at once, Cancel, and the values it refuses.

namespace lp {
namespace {

using ::testing::HasSubstr;
using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"),
                   Utf8ToCp932("; 手で書いた行\r\n[System]\r\nDelNo=30\r\nSyncDir=同期\r\n[Set]\r\nSetCount=1\r\nSet00=会社\r\n"
                               "[Set00]\r\nPop=pop.example.jp\r\nRETR=7\r\n[Lan]\r\nDir=\r\n"));
    Reload();
  }
  void Reload() {
    accounts_.Load(profile_);
    settings_.Load(profile_);
  }
  std::unique_ptr<SettingsDialog> Open() {
    auto dialog = std::make_unique<SettingsDialog>(profile_, accounts_, settings_);
    dialog->show();
    return dialog;
  }
  template <typename Widget>
  static Widget& Find(QDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
  }
  std::string ConfBytes() const { return ReadFileBytes(dir_.File("lpost.conf")); }
  // The file after one OK without changes: every key of the pages written.
  std::string Settled() {
    auto dialog = Open();
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    Reload();
    return ConfBytes();
  }

  TempDirectory dir_{true};  // the data directory is the working directory
  Profile profile_{FromNativePath(dir_.File("lpost.conf"))};
  CSetMenuArray accounts_;
  AppSettings settings_;
  MessageBoxAnswerer answers_;
};

TEST_F(SettingsDialogTest, SixPagesAndAnOkThatKeepsTheHandWrittenLines) {
  auto dialog = Open();
  ASSERT_EQ(dialog->pages().count(), 6);
  const QStringList titles = {U("送受信"), U("表示"), U("ダイヤル"), U("動作"), U("文書作成"), U("フォルダ")};
  for (int page = 0; page < 6; ++page) EXPECT_EQ(dialog->pages().tabText(page), titles[page]);
  // Without dial-up on Linux the ダイヤル page has nothing that works: hidden.
  for (int page = 0; page < 6; ++page) EXPECT_EQ(dialog->pages().isTabVisible(page), page != 2) << page;
  dialog.reset();

  const std::string settled = Settled();
  EXPECT_EQ(settled.rfind(Utf8ToCp932("; 手で書いた行\r\n[System]\r\nDelNo=30\r\nSyncDir=同期\r\n"), 0), 0u);
  EXPECT_THAT(settled, HasSubstr("\r\nTimerValue=10\r\n"));
  // Colours the user never chose stay unwritten: the list takes them from
  // the palette, light or dark.
  EXPECT_THAT(settled, ::testing::Not(HasSubstr("Color")));
  EXPECT_THAT(settled, HasSubstr(Utf8ToCp932("\r\nSet00=会社\r\n")));
  // A second OK without changes writes the same bytes.
  EXPECT_EQ(Settled(), settled);
}

TEST_F(SettingsDialogTest, OkWritesTheChangedControlsAndAppliesThemAtOnce) {
  const std::string settled = Settled();
  ASSERT_FALSE(PathExists(settings_.send_done_file));
  auto dialog = Open();
  Find<QCheckBox>(*dialog, "Autodiv").setChecked(false);
  Find<QCheckBox>(*dialog, "SmailDone").setChecked(true);
  Find<QCheckBox>(*dialog, "RFirst").setChecked(true);
  Find<QCheckBox>(*dialog, "NotDel").setChecked(false);
  Find<QLineEdit>(*dialog, "DelNo").setText(U("50"));
  Find<QLineEdit>(*dialog, "RETR").setText(U("0"));
  Find<QPushButton>(*dialog, "StrColor").setProperty("colour", 0x123456);
  Find<QComboBox>(*dialog, "nRecCursor").setCurrentIndex(2);
  Find<QLineEdit>(*dialog, "ReplyMark").setText(U("＞"));
  Find<QLineEdit>(*dialog, "UploadDir").setText(U("送る"));
  dialog->accept();
  ASSERT_EQ(dialog->result(), QDialog::Accepted);

  std::string expected = settled;
  expected = Replaced(expected, "\nAutodiv=1\r", "\nAutodiv=0\r");
  expected = Replaced(expected, "\nSmailDone=0\r", "\nSmailDone=1\r");
  expected = Replaced(expected, "\nRFirst=0\r", "\nRFirst=1\r");
  expected = Replaced(expected, "\nPopBefore=0\r", "\nPopBefore=1\r");
  expected = Replaced(expected, "\nNotDel=1\r", "\nNotDel=0\r");  // the account's key
  expected = Replaced(expected, "\nDelNo=30\r", "\nDelNo=50\r");
  expected = Replaced(expected, "\nRETR=7\r", "\nRETR=1\r");  // 0 is stored as 1
  expected = Replaced(expected, "\nnRecCursor=0\r", "\nnRecCursor=2\r");
  expected = Replaced(expected, "\nReplyMark=>\r", Utf8ToCp932("\nReplyMark=＞\r"));
  expected = Replaced(expected, "\nUploadDir=Upload\r", Utf8ToCp932("\nUploadDir=送る\r"));
  // The one colour chosen is written, no other.
  std::string written = ConfBytes();
  const std::string colour_line = "StrColor=" + std::to_string(0x123456) + "\r\n";
  ASSERT_THAT(written, HasSubstr("\n" + colour_line));
  EXPECT_EQ(Replaced(written, colour_line, ""), expected);

  // Held in memory and made at once.
  EXPECT_TRUE(settings_.smail_done);
  EXPECT_EQ(settings_.upload_dir, Utf8ToCp932("送る"));
  EXPECT_TRUE(PathExists(settings_.send_done_file));
  EXPECT_TRUE(PathExists(Utf8ToCp932("送る")));
  EXPECT_EQ(accounts_.Current().retr, 1);
  EXPECT_FALSE(accounts_.Current().not_del);
}

TEST(QtTranslations, TheStandardButtonsSpeakJapanese) {
  QTranslator* translator = InstallJapaneseQtTranslations();
  ASSERT_NE(translator, nullptr) << "qt6-translations-l10n is not installed";
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                           QDialogButtonBox::No);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), U("キャンセル"));
  EXPECT_TRUE(buttons.button(QDialogButtonBox::Yes)->text().startsWith(U("はい")));
  EXPECT_TRUE(buttons.button(QDialogButtonBox::No)->text().startsWith(U("いいえ")));
  QCoreApplication::removeTranslator(translator);
  delete translator;
}

TEST_F(SettingsDialogTest, CancelChangesNothing) {
  const std::string before = ConfBytes();
  auto dialog = Open();
  Find<QCheckBox>(*dialog, "Trash").setChecked(false);
  Find<QLineEdit>(*dialog, "DelNo").setText(U("5"));
  dialog->reject();
  EXPECT_EQ(ConfBytes(), before);
  EXPECT_TRUE(settings_.trash);
}

struct Refused {
  const char* control;
  const char* typed;
  const char* message;  // the start of the message
};

TEST_F(SettingsDialogTest, RefusedValuesAreNamedAndNothingIsWritten) {
  const Refused cases[] = {
      {"TimerValue", "0", "1から1440までの数で入力してください: 分間隔"},
      {"DelNo", "-1", "0から999999までの数で入力してください: 通残す"},
      {"SmailTime", "99999999999", "0から60000までの数で入力してください: 送信後待ち時間"},
      {"RETR", "x", "0から2147483647までの数で入力してください: 未読ポインタ"},
      {"ReplyMark", "> \n", "改行を含む値は設定できません: 引用符"},
      {"TemplateDir", "雛形😀", "Shift_JISで表せない文字を含む値は設定できません: テンプレート"},
  };
  const std::string before = ConfBytes();
  for (const Refused& c : cases) {
    answers_.texts.clear();
    auto dialog = Open();
    Find<QLineEdit>(*dialog, c.control).setText(U(c.typed));
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible()) << c.control;
    ASSERT_EQ(answers_.texts.size(), 1) << c.control;
    EXPECT_TRUE(answers_.texts.front().startsWith(U(c.message))) << answers_.texts.front().toStdString();
    EXPECT_EQ(ConfBytes(), before) << c.control;
  }
}

// Mozc types "〜" as U+301C, which Shift_JIS holds as 0x8160 (read back as
// "～" U+FF5E): no loss, so the value is taken.
TEST_F(SettingsDialogTest, AWaveDashTypedByAnInputMethodIsTaken) {
  auto dialog = Open();
  Find<QLineEdit>(*dialog, "ReplyMark").setText(U("〜〜"));
  dialog->accept();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(answers_.texts.isEmpty());
  EXPECT_NE(ConfBytes().find("ReplyMark=\x81\x60\x81\x60\r\n"), std::string::npos);
}

}  // namespace
}  // namespace lp
