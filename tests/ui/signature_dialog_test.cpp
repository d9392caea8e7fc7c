#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/settings_file_test.h"
#include "ui/signature_dialog.h"

// The signature dialog over a prepared "lpost.conf" and signature folder:
// what OK writes (the files first, then the table), Cancel, and the
// entries it refuses.

namespace lp {
namespace {

using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class SignatureDialogTest : public testing::SettingsFileTest {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"), Original());
    std::filesystem::create_directory(dir_.File("sig"));
    WriteFileBytes(dir_.File("sig/work.txt"), Utf8ToCp932("山田 太郎\r\n株式会社例\r\n"));
    WriteFileBytes(dir_.File("sig/home.txt"), Utf8ToCp932("たろう\r\n"));
  }
  std::string Original() const {
    return Utf8ToCp932("; 手で書いた行\r\n[Signe]\r\nDir=" + dir_.path() +
                       "/sig\r\nSetCount=2\r\nName01=仕事\r\nFile01=work.txt\r\nName02=私用\r\nFile02=home.txt\r\n"
                       "[Lan]\r\nDir=/srv/lan\r\n");
  }

};

TEST_F(SignatureDialogTest, ShowsTheTableAndCancelChangesNothing) {
  SignatureDialog dialog(profile_);
  ASSERT_EQ(dialog.list().count(), 2);
  EXPECT_EQ(dialog.list().item(1)->text(), U("私用"));
  EXPECT_EQ(dialog.name().text(), U("仕事"));
  EXPECT_EQ(dialog.text().toPlainText(), U("山田 太郎\n株式会社例\n"));
  dialog.text().setPlainText(U("変えた"));
  dialog.reject();
  EXPECT_EQ(ConfBytes(), Original());
  EXPECT_EQ(ReadFileBytes(dir_.File("sig/work.txt")), Utf8ToCp932("山田 太郎\r\n株式会社例\r\n"));
}

TEST_F(SignatureDialogTest, OkWritesTheChangedFilesAndTheTable) {
  {
    SignatureDialog dialog(profile_);
    dialog.list().setCurrentRow(1);
    dialog.name().setText(U("個人"));
    dialog.text().setPlainText(U("たろう\n自宅より"));
    dialog.AddSignature();
    dialog.text().setPlainText(U("三番目"));
    dialog.list().setCurrentRow(0);
    dialog.RemoveSignature();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(ConfBytes(), Utf8ToCp932("; 手で書いた行\r\n[Signe]\r\nDir=" + dir_.path() +
                                     "/sig\r\nSetCount=2\r\nName01=個人\r\nFile01=home.txt\r\nName02=署名3\r\n"
                                     "File02=signe3.txt\r\n[Lan]\r\nDir=/srv/lan\r\n"));
  EXPECT_EQ(ReadFileBytes(dir_.File("sig/home.txt")), Utf8ToCp932("たろう\r\n自宅より\r\n"));
  EXPECT_EQ(ReadFileBytes(dir_.File("sig/signe3.txt")), Utf8ToCp932("三番目\r\n"));
  // A removed signature's file stays.
  EXPECT_EQ(ReadFileBytes(dir_.File("sig/work.txt")), Utf8ToCp932("山田 太郎\r\n株式会社例\r\n"));
}

TEST_F(SignatureDialogTest, RefusedEntriesWriteNothing) {
  const QString refused[] = {U("../outside.txt"), U("a/b.txt"), U("")};
  for (const QString& file : refused) {
    SignatureDialog dialog(profile_);
    dialog.file().setText(file);
    dialog.text().setPlainText(U("書き換え"));
    answers_.texts.clear();
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted) << file.toStdString();
    EXPECT_EQ(answers_.texts.size(), 1) << file.toStdString();
  }
  SignatureDialog dialog(profile_);
  dialog.name().setText(U("改行\nあり"));
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ConfBytes(), Original());
  EXPECT_EQ(ReadFileBytes(dir_.File("sig/work.txt")), Utf8ToCp932("山田 太郎\r\n株式会社例\r\n"));
}

}  // namespace
}  // namespace lp
