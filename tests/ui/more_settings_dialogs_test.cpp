#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "config/account_table.h"
#include "config/app_settings.h"
#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/settings_file_test.h"
#include "ui/colour_button.h"
#include "ui/label_dialog.h"
#include "ui/lan_directory_dialog.h"
#include "ui/patrol_targets_dialog.h"

// The patrol targets, the LAN directory and the label dialogs: what OK
// writes to "lpost.conf", Cancel, and the values they refuse.

namespace lp {
namespace {

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

class MoreSettingsDialogsTest : public testing::SettingsFileTest {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"), Original());
    accounts_.Load(profile_);
    settings_.Load(profile_);
  }
  static std::string Original() {
    std::string accounts;
    for (int i = 0; i < 3; ++i) {
      accounts += "[Set0" + std::to_string(i) + "]\r\nPop=pop" + std::to_string(i) +
                  ".example.jp\r\nSmtp=\r\nAdr=\r\nUserID=\r\nPass=\r\nName=\r\nSysPass=\r\nSigne=1\r\nAutoCon=0\r\n"
                  "AutoDis=0\r\nNotDel=1\r\nRasName=\r\nMessageID=\r\nRETR=1\r\nRound=1\r\nAPOP=0\r\nSmtpAuth=0\r\n"
                  "SmtpAuthMode=0\r\nPopBefore=0\r\nMailKakunin=0\r\nBccAdr=\r\nSmtpPortNo=25\r\nPopPortNo=110\r\n"
                  "PopTls=0\r\nSmtpTls=0\r\nAuthMethod=0\r\nOAuthProvider=\r\n";
    }
    return Utf8ToCp932("; 手で書いた行\r\n[Mail]\r\nSetNo=0\r\nLabel1=仕事\r\n[Label]\r\nColor01=255\r\n"
                       "[Set]\r\nSetCount=3\r\nSet00=会社\r\nSet01=自宅\r\nSet02=予備\r\n" +
                       accounts + "[Lan]\r\nDir=/srv/lan\r\n");
  }

  CSetMenuArray accounts_;
  AppSettings settings_;
};

TEST_F(MoreSettingsDialogsTest, PatrolTargetsStoreEachCheck) {
  {
    PatrolTargetsDialog dialog(accounts_, profile_);
    dialog.list().item(1)->setCheckState(Qt::Unchecked);
    dialog.reject();
  }
  EXPECT_EQ(ConfBytes(), Original());
  EXPECT_TRUE(accounts_.At(1).round);

  PatrolTargetsDialog dialog(accounts_, profile_);
  ASSERT_EQ(dialog.list().count(), 3);
  EXPECT_EQ(dialog.list().item(2)->text(), U("予備"));
  dialog.list().item(1)->setCheckState(Qt::Unchecked);
  dialog.accept();
  const std::string set01 = Utf8ToCp932("[Set01]\r\n");
  std::string expected = Original();
  const std::size_t section = expected.find(set01);
  expected.replace(expected.find("Round=1", section), 7, "Round=0");
  EXPECT_EQ(ConfBytes(), expected);
  EXPECT_FALSE(accounts_.At(1).round);
}

TEST_F(MoreSettingsDialogsTest, LanDirectoryIsWrittenAndLineBreaksAreRefused) {
  LanDirectoryDialog dialog(profile_);
  EXPECT_EQ(dialog.directory().text(), U("/srv/lan"));
  dialog.directory().setText(U("/srv/lan\n[System]"));
  dialog.accept();
  ASSERT_EQ(answers_.texts.size(), 1);
  EXPECT_TRUE(answers_.texts.front().startsWith(U("改行を含む値は設定できません")));
  EXPECT_EQ(ConfBytes(), Original());
  dialog.directory().setText(U("/srv/共有"));
  dialog.accept();
  EXPECT_EQ(ConfBytes(), Replaced(Original(), "Dir=/srv/lan", Utf8ToCp932("Dir=/srv/共有")));
}

TEST_F(MoreSettingsDialogsTest, LabelsAreTakenOverAndWrittenAtOnce) {
  {
    LabelDialog dialog(settings_, profile_);
    dialog.name(2).setText(U("家族"));
    dialog.reject();
  }
  EXPECT_EQ(ConfBytes(), Original());
  EXPECT_TRUE(settings_.labels[2].name.empty());

  LabelDialog dialog(settings_, profile_);
  EXPECT_EQ(dialog.name(1).text(), U("仕事"));
  dialog.name(2).setText(U("家族😀"));
  dialog.accept();
  ASSERT_EQ(answers_.texts.size(), 1);
  EXPECT_TRUE(answers_.texts.front().startsWith(U("Shift_JISで表せない文字を含む値は設定できません: ラベル2")));
  EXPECT_EQ(ConfBytes(), Original());

  dialog.name(2).setText(U("家族"));
  dialog.colour(2).SetStoredColour(0x00FF00);
  dialog.accept();
  EXPECT_EQ(Cp932ToUtf8(settings_.labels[2].name), "家族");
  EXPECT_EQ(settings_.labels[2].color, 0x00FF00);
  Profile reread(FromNativePath(dir_.File("lpost.conf")));
  EXPECT_EQ(Cp932ToUtf8(reread.GetString("Mail", "Label2")), "家族");
  EXPECT_EQ(reread.GetInt("Label", "Color02", 0), 0x00FF00);
  // The lines that were there stay as they were.
  EXPECT_EQ(ConfBytes().rfind(Utf8ToCp932("; 手で書いた行\r\n[Mail]\r\nSetNo=0\r\nLabel1=仕事\r\n"), 0), 0u);
}

}  // namespace
}  // namespace lp
