#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "config/account_table.h"
#include "config/profile.h"
#include "config/signatures.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/qt_transport.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/message_box_answerer.h"
#include "ui/account_options_dialog.h"
#include "ui/connection_settings_dialog.h"
#include "ui/screenshot.h"

// The connection settings: what OK writes to "lpost.conf" (and that Cancel
// and refused input write nothing), the ports that follow the security
// choice, the account list's operations, and the connection test against
// real POP3 and SMTP servers.

namespace lp {
namespace {

using testing::DovecotServer;
using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::SmtpServer;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Every key of one account, so that saving changes values in place.
std::string Conf(const std::string& pop, const std::string& pass, const std::string& name, int signe,
                 const std::string& ports_and_tls) {
  return Utf8ToCp932(
      "; 手で書いた行\r\n"
      "[System]\r\nTrash=1\r\n"
      "[Mail]\r\nSetNo=0\r\nLabel1=仕事\r\n"
      "[Set]\r\nSetCount=1\r\nSet00=会社\r\n"
      "[Set00]\r\nPop=" + pop + "\r\nSmtp=smtp.example.jp\r\nAdr=taro@example.jp\r\nUserID=taro\r\n"
      "Pass=" + ScramblePassword(pass) + "\r\nName=" + name + "\r\nSysPass=\r\nSigne=" + std::to_string(signe) +
      "\r\nAutoCon=0\r\nAutoDis=0\r\nNotDel=1\r\nRasName=\r\nMessageID=<a@example.jp>\r\nRETR=5\r\nRound=1\r\n"
      "APOP=0\r\nSmtpAuth=0\r\nSmtpAuthMode=0\r\nPopBefore=0\r\nMailKakunin=0\r\nBccAdr=\r\n" + ports_and_tls +
      "AuthMethod=0\r\nOAuthProvider=\r\n[Lan]\r\nDir=\r\n");
}

const std::string kPlainPorts = "SmtpPortNo=25\r\nPopPortNo=110\r\nPopTls=0\r\nSmtpTls=0\r\n";

class ConnectionSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"), Conf("pop.example.jp", "Secret99", "山田太郎", 1, kPlainPorts));
    accounts_.Load(profile_);
    signatures_.Load(profile_);
  }

  std::unique_ptr<ConnectionSettingsDialog> Open(QtTransportOptions options = {}) {
    auto dialog = std::make_unique<ConnectionSettingsDialog>(
        accounts_, profile_, signatures_,
        [options] { return std::make_unique<QtTransport>(options); });
    dialog->show();
    return dialog;
  }
  template <typename Widget>
  static Widget& Find(QDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
  }
  static void Type(QDialog& dialog, const char* name, const QString& text) {
    QLineEdit& edit = Find<QLineEdit>(dialog, name);
    edit.selectAll();
    // Key clicks know ASCII only; Japanese arrives as the input method's commit.
    if (text.toLatin1() == text.toUtf8()) {
      QTest::keyClicks(&edit, text);
    } else {
      edit.insert(text);
    }
  }
  std::string ConfBytes() const { return ReadFileBytes(dir_.File("lpost.conf")); }

  TempDirectory dir_;
  Profile profile_{FromNativePath(dir_.File("lpost.conf"))};
  CSetMenuArray accounts_;
  CSigneMenuArray signatures_;
  MessageBoxAnswerer answers_;
};

TEST_F(ConnectionSettingsTest, OkWritesTheChangedKeysAndLeavesEveryOtherLine) {
  auto dialog = Open();
  EXPECT_EQ(Find<QLineEdit>(*dialog, "password").echoMode(), QLineEdit::Password);
  EXPECT_EQ(Find<QLineEdit>(*dialog, "popPort").text(), U("110"));
  Type(*dialog, "pop", U("mail.example.jp"));
  Type(*dialog, "password", U("Neu12pass"));
  Type(*dialog, "senderName", U("山田花子"));
  Find<QComboBox>(*dialog, "signature").setCurrentIndex(0);
  // An untouched port follows the security; a typed one stays.
  Find<QComboBox>(*dialog, "popTls").setCurrentIndex(static_cast<int>(AccountTls::Implicit));
  EXPECT_EQ(Find<QLineEdit>(*dialog, "popPort").text(), U("995"));
  Type(*dialog, "smtpPort", U("587"));
  Find<QComboBox>(*dialog, "smtpTls").setCurrentIndex(static_cast<int>(AccountTls::Implicit));
  Find<QComboBox>(*dialog, "smtpTls").setCurrentIndex(static_cast<int>(AccountTls::StartTls));
  EXPECT_EQ(Find<QLineEdit>(*dialog, "smtpPort").text(), U("587"));
  dialog->accept();

  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_TRUE(answers_.texts.isEmpty()) << answers_.texts.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(ConfBytes(), Conf("mail.example.jp", "Neu12pass", "山田花子", 0,
                              "SmtpPortNo=587\r\nPopPortNo=995\r\nPopTls=1\r\nSmtpTls=2\r\n"));
  EXPECT_EQ(accounts_.Current().pass, "Neu12pass");
  EXPECT_EQ(accounts_.Current().pop_tls, AccountTls::Implicit);
}

// The sign-in method and provider are the account's; a provider without a
// registered client id is refused with a message before any browser opens.
TEST_F(ConnectionSettingsTest, OAuthChoiceIsSavedAndSignInNeedsAClientId) {
  auto dialog = Open();
  EXPECT_EQ(Find<QComboBox>(*dialog, "auth").currentIndex(), static_cast<int>(AccountAuth::Password));
  Find<QComboBox>(*dialog, "auth").setCurrentIndex(static_cast<int>(AccountAuth::OAuth2));
  QComboBox& provider = Find<QComboBox>(*dialog, "oauthProvider");
  const int google = provider.findData(QStringLiteral("google"));
  ASSERT_GE(google, 0);
  provider.setCurrentIndex(google);
  QTest::mouseClick(&Find<QPushButton>(*dialog, "signIn"), Qt::LeftButton);
  EXPECT_FALSE(dialog->SigningIn());
  ASSERT_EQ(answers_.texts.size(), 1);
  EXPECT_TRUE(answers_.texts[0].contains(U("クライアント ID"))) << answers_.texts[0].toStdString();
  dialog->accept();
  EXPECT_EQ(accounts_.Current().auth, AccountAuth::OAuth2);
  EXPECT_EQ(accounts_.Current().oauth_provider, "google");
  EXPECT_NE(ConfBytes().find("AuthMethod=1\r\nOAuthProvider=google\r\n"), std::string::npos);
}

TEST_F(ConnectionSettingsTest, CancelChangesNothing) {
  const std::string before = ConfBytes();
  const CSetMenuArray table = accounts_;
  auto dialog = Open();
  Type(*dialog, "pop", U("other.example.jp"));
  ASSERT_TRUE(dialog->AddAccount(U("自宅")));
  dialog->reject();
  EXPECT_EQ(ConfBytes(), before);
  EXPECT_EQ(accounts_, table);
}

struct RefusedInput {
  const char* field;
  const char* typed;    // UTF-8
  const char* message;  // UTF-8, the start of the message shown
};

TEST_F(ConnectionSettingsTest, RefusedInputIsNamedAndNothingIsWritten) {
  const RefusedInput cases[] = {
      {"pop", "pop.example.jp\nQUIT", "改行を含む値は設定できません: POPｻｰﾊﾞ"},
      {"password", "pa\rss", "改行を含む値は設定できません: POPﾊﾟｽﾜｰﾄﾞ"},
      {"senderName", "太郎😀", "Shift_JISで表せない文字を含む値は設定できません: 氏名"},
      {"popPort", "0", "ポート番号は1から65535までの数で入力してください: POPポート番号"},
      {"smtpPort", "65536", "ポート番号は1から65535までの数で入力してください: SMTPポート番号"},
      {"popPort", "abc", "ポート番号は1から65535までの数で入力してください: POPポート番号"},
  };
  const std::string before = ConfBytes();
  for (const RefusedInput& c : cases) {
    answers_.texts.clear();
    auto dialog = Open();
    // setText: a line break cannot be typed into a line edit, but it can be pasted.
    Find<QLineEdit>(*dialog, c.field).setText(U(c.typed));
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible()) << c.field << " " << c.typed;
    ASSERT_EQ(answers_.texts.size(), 1) << c.typed;
    EXPECT_TRUE(answers_.texts.front().startsWith(U(c.message))) << answers_.texts.front().toStdString();
    EXPECT_EQ(ConfBytes(), before) << c.typed;
  }
}

TEST_F(ConnectionSettingsTest, AccountsAreAddedMovedRenamedAndDeletedOnTheCopy) {
  auto dialog = Open();
  ASSERT_TRUE(dialog->AddAccount(U("自宅")));
  Type(*dialog, "pop", U("pop.home.jp"));
  // A new account takes the address, the sender and the signature of the first.
  EXPECT_EQ(Find<QLineEdit>(*dialog, "address").text(), U("taro@example.jp"));
  EXPECT_EQ(Find<QLineEdit>(*dialog, "senderName").text(), U("山田太郎"));
  EXPECT_TRUE(Find<QLineEdit>(*dialog, "password").text().isEmpty());
  dialog->MoveAccount(-1);
  dialog->MoveAccount(-1);  // already at the top: nothing moves
  EXPECT_EQ(Find<QListWidget>(*dialog, "accounts").currentRow(), 0);
  dialog->RenameAccount(U("家"));
  ASSERT_TRUE(dialog->AddAccount(U("予備")));
  answers_.Queue(QMessageBox::Ok);
  dialog->DeleteAccount();
  EXPECT_EQ(Find<QListWidget>(*dialog, "accounts").currentRow(), 1);
  dialog->accept();

  CSetMenuArray saved;
  saved.Load(profile_);
  ASSERT_EQ(saved.Count(), 2u);
  EXPECT_EQ(Cp932ToUtf8(saved.At(0).name), "家");
  EXPECT_EQ(saved.At(0).pop, "pop.home.jp");
  EXPECT_EQ(Cp932ToUtf8(saved.At(1).name), "会社");
  EXPECT_EQ(saved.At(1).pop, "pop.example.jp");
  EXPECT_EQ(saved.At(1).retr, 5);
  // The account chosen last is current.
  EXPECT_EQ(saved.CurrentIndex(), 1u);
}

TEST_F(ConnectionSettingsTest, OptionsGoIntoTheAccountOnOkOnly) {
  CSetMenu account = accounts_.At(0);
  {
    AccountOptionsDialog dialog(account, FromNativePath(dir_.File("UIDL会社.txt")));
    Find<QLineEdit>(dialog, "bcc").setText(U("copy@example.jp"));
    Find<QCheckBox>(dialog, "smtpAuth").setChecked(true);
    dialog.reject();
  }
  EXPECT_EQ(account, accounts_.At(0));
  AccountOptionsDialog dialog(account, FromNativePath(dir_.File("UIDL会社.txt")));
  Find<QCheckBox>(dialog, "smtpAuth").setChecked(true);
  Find<QComboBox>(dialog, "authMode").setCurrentIndex(2);
  Find<QLineEdit>(dialog, "bcc").setText(U("a\nb"));
  dialog.accept();
  EXPECT_FALSE(account.smtp_auth);  // refused: the line break
  Find<QLineEdit>(dialog, "bcc").setText(U("copy@example.jp"));
  dialog.accept();
  EXPECT_TRUE(account.smtp_auth);
  EXPECT_EQ(account.smtp_auth_mode, 2);
  EXPECT_EQ(account.bcc_adr, "copy@example.jp");
}

TEST_F(ConnectionSettingsTest, ClearingTheReceivedListDeletesItAfterAsking) {
  CSetMenu account = accounts_.At(0);
  const std::string list = dir_.File(Cp932ToUtf8(accounts_.ListFileName(0, UidList::Received)));
  WriteFileBytes(list, "1 abc\r\n");
  AccountOptionsDialog dialog(account, FromNativePath(list));
  answers_.Queue(QMessageBox::Cancel);
  EXPECT_FALSE(dialog.ClearReceivedList());
  EXPECT_TRUE(PathExists(FromNativePath(list)));
  answers_.Queue(QMessageBox::Ok);
  EXPECT_TRUE(dialog.ClearReceivedList());
  EXPECT_FALSE(PathExists(FromNativePath(list)));
}

TEST_F(ConnectionSettingsTest, TheTestOutcomeIsNeverWrappedInsideAWord) {
  auto dialog = Open({});
  auto* status = dialog->findChild<QLabel*>(QStringLiteral("testStatus"));
  ASSERT_NE(status, nullptr);
  // Lines break where the report breaks them, nowhere else.
  EXPECT_FALSE(status->wordWrap());
  status->setText(U("POP3: ユーザ名かパスワードが違います\nSMTP: ユーザ名かパスワードが違います"));
  dialog->adjustSize();
  EXPECT_GE(status->width(), status->sizeHint().width());
}

TEST_F(ConnectionSettingsTest, FirstStartNeedsSetupOnlyWithoutPopServerAndLanDirectory) {
  EXPECT_FALSE(NeedsFirstAccountSetup(accounts_, profile_));
  accounts_.Current().pop.clear();
  EXPECT_TRUE(NeedsFirstAccountSetup(accounts_, profile_));
  ASSERT_TRUE(profile_.WriteString("Lan", "Dir", "/srv/lan"));
  EXPECT_FALSE(NeedsFirstAccountSetup(accounts_, profile_));
}

// The test against real servers: Dovecot for POP3, Postfix for SMTP AUTH.
class ConnectionTestTest : public ConnectionSettingsTest {
 protected:
  void SetUp() override {
    ConnectionSettingsTest::SetUp();
    if (!smtp_.skip_reason().empty()) GTEST_SKIP() << smtp_.skip_reason();
    ASSERT_TRUE(pop_.running()) << pop_.Log();
    ASSERT_TRUE(smtp_.running()) << smtp_.Log();
    pop_.AddUser("taro", "Secret99");
    smtp_.AddUser("taro", "Secret99");
    CSetMenu& account = accounts_.Current();
    account.pop = pop_.host();
    account.pop_port = static_cast<std::uint16_t>(pop_.pop3s_port());
    account.pop_tls = AccountTls::Implicit;
    account.smtp = smtp_.host();
    account.smtp_port = static_cast<std::uint16_t>(smtp_.smtp_port());
    account.smtp_tls = AccountTls::StartTls;
    account.smtp_auth = true;
  }
  QString RunTest(QtTransportOptions options, const QString& password) {
    auto dialog = Open(options);
    Type(*dialog, "password", password);
    QSignalSpy finished(dialog.get(), &ConnectionSettingsDialog::testFinished);
    dialog->TestConnection();
    EXPECT_TRUE(dialog->Testing());
    EXPECT_TRUE(finished.wait(60000));
    return dialog->TestReport();
  }

  SmtpServer smtp_;
  DovecotServer pop_;
};

TEST_F(ConnectionTestTest, GoodPasswordLogsInToBoth) {
  // One CA file holds both servers' certificates.
  const std::string both = dir_.File("ca.pem");
  WriteFileBytes(both, ReadFileBytes(pop_.certificate_path()) + ReadFileBytes(smtp_.certificate_path()));
  EXPECT_EQ(RunTest(QtTransportOptions{both}, U("Secret99")),
            U("POP3: ログインできました\nSMTP: ログインできました"));
}

TEST_F(ConnectionTestTest, WrongPasswordIsSaidPlainly) {
  const std::string both = dir_.File("ca.pem");
  WriteFileBytes(both, ReadFileBytes(pop_.certificate_path()) + ReadFileBytes(smtp_.certificate_path()));
  EXPECT_EQ(RunTest(QtTransportOptions{both}, U("wrong")),
            U("POP3: ユーザ名かパスワードが違います\nSMTP: ユーザ名かパスワードが違います"));
}

TEST_F(ConnectionTestTest, UntrustedCertificateIsNamed) {
  const QString report = RunTest({}, U("Secret99"));
  const QStringList lines = report.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 2) << report.toStdString();
  for (const QString& line : lines) {
    EXPECT_TRUE(line.contains(U("サーバ証明書を確認できません"))) << line.toStdString();
  }
}

}  // namespace
}  // namespace lp
