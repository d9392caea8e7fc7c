#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/settings_file_test.h"
#include "ui/direct_mail_dialog.h"

// The direct-mail settings over a prepared "lpost.conf": what OK writes,
// Cancel, what it refuses (no box, no criterion, no keyword file, a keyword
// line that is no valid regular expression), and the keyword file made from
// its template.

namespace lp {
namespace {

using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class DirectMailDialogTest : public testing::SettingsFileTest {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"), Original());
    WriteFileBytes(dir_.File("DM.lp"), "");
    WriteFileBytes(dir_.File("受信.lp"), "");
  }
  std::string Original() const {
    return Utf8ToCp932("; 手で書いた行\r\n[Spam]\r\nBox=" + dir_.path() + "/DM.lp\r\nXMailer=1\r\nKeyWordFile=" +
                       dir_.path() + "/kw.txt\r\n[Lan]\r\nDir=/srv/lan\r\n");
  }
  DirectMailDialog* Open() {
    dialog_ = std::make_unique<DirectMailDialog>(profile_, dir_.path(),
                                                 [this](const std::string& path) { opened_.push_back(path); });
    return dialog_.get();
  }

  std::unique_ptr<DirectMailDialog> dialog_;
  std::vector<std::string> opened_;
};

TEST_F(DirectMailDialogTest, ShowsTheSettingsAndOkWritesEveryKeyAfterCheckingThePatterns) {
  DirectMailDialog& dialog = *Open();
  EXPECT_EQ(dialog.box().currentText(), U("DM"));
  EXPECT_TRUE(dialog.check(DirectMailDialog::XMailer).isChecked());
  EXPECT_TRUE(dialog.check(DirectMailDialog::VirusCheck).isChecked());
  EXPECT_FALSE(dialog.check(DirectMailDialog::English).isChecked());

  dialog.reject();
  EXPECT_EQ(ConfBytes(), Original());

  WriteFileBytes(dir_.File("kw.txt"), Utf8ToCp932("広告\r\n[未承諾\r\n"));
  dialog.check(DirectMailDialog::Divide).setChecked(true);
  dialog.check(DirectMailDialog::KeyWord).setChecked(true);
  dialog.check(DirectMailDialog::KeyWordRegExp).setChecked(true);
  dialog.check(DirectMailDialog::VirusCheck).setChecked(false);
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(answers_.texts.size(), 1);
  EXPECT_TRUE(answers_.texts[0].contains(U("2行目"))) << answers_.texts[0].toStdString();
  EXPECT_EQ(ConfBytes(), Original());

  WriteFileBytes(dir_.File("kw.txt"), Utf8ToCp932("広告\r\n\\[未承諾\\]\r\n"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ConfBytes(), Utf8ToCp932("; 手で書いた行\r\n[Spam]\r\nBox=" + dir_.path() + "/DM.lp\r\nXMailer=1\r\nKeyWordFile=" +
                                     dir_.path() +
                                     "/kw.txt\r\nDivide=1\r\nEnglish=0\r\nHiwai=0\r\nKeyWord=1\r\nKeyWordRegExp=1\r\n"
                                     "ToCheck=0\r\nVirusCheck=0\r\n[Lan]\r\nDir=/srv/lan\r\n"));
}

TEST_F(DirectMailDialogTest, RefusesWhatTheFilterCannotWorkWith) {
  struct Case {
    const char* name;
    std::function<void(DirectMailDialog&)> change;
    const char* message;
  };
  const Case cases[] = {
      {"no box", [](DirectMailDialog& d) { d.box().setCurrentIndex(0); },
       "振り分け先が指定されていません。振り分け先を指定してください"},
      {"only To/Cc",
       [](DirectMailDialog& d) {
         d.check(DirectMailDialog::XMailer).setChecked(false);
         d.check(DirectMailDialog::ToCheck).setChecked(true);
       },
       "何をDMと見なすか指定されていません。最低一つは指定してください。"},
      {"no keyword file",
       [](DirectMailDialog& d) {
         d.check(DirectMailDialog::KeyWord).setChecked(true);
         d.keyword_file().clear();
       },
       "キーワードファイルが指定されていません。"},
  };
  for (const Case& c : cases) {
    DirectMailDialog& dialog = *Open();
    c.change(dialog);
    answers_.texts.clear();
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted) << c.name;
    ASSERT_EQ(answers_.texts.size(), 1) << c.name;
    EXPECT_EQ(answers_.texts[0], U(c.message)) << c.name;
  }
  EXPECT_EQ(ConfBytes(), Original());
}

TEST_F(DirectMailDialogTest, AMissingKeywordFileIsMadeFromItsTemplateAndOpened) {
  DirectMailDialog& dialog = *Open();
  dialog.OpenKeywordFile();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], dir_.path() + "/kw.txt");
  EXPECT_EQ(ReadFileBytes(dir_.File("kw.txt")),
            Utf8ToCp932("１行１キーワードで記述します（この行は削除してください）\n！広告！\n"));
  // An existing file is opened as it is.
  WriteFileBytes(dir_.File("kw.txt"), "mine\n");
  dialog.OpenKeywordFile();
  EXPECT_EQ(ReadFileBytes(dir_.File("kw.txt")), "mine\n");
  EXPECT_EQ(opened_.size(), 2u);
}

}  // namespace
}  // namespace lp
