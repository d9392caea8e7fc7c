#pragma once

#include <QDialog>
#include <memory>

#include "app/account_check.h"
#include "app/account_oauth.h"
#include "platform/form_post.h"
#include "config/account_table.h"
#include "config/oauth_providers.h"
#include "config/profile.h"
#include "config/signatures.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lp {
class OAuthSignIn;
}

// The connection settings ("接続の設定"): works on a copy of the account
// table. The list chooses the account shown; new, rename, delete and the
// two arrows change the table; the options open the account's option
// dialog. Beside the classic fields, the POP3 and SMTP security and ports
// are here, the ports following the security choice until the user types
// one, and "接続テスト" logs in to both servers without blocking. OK
// checks every field (no line breaks, Shift_JIS only, ports 1..65535),
// takes the copy over, makes the chosen account current and saves the
// table; Cancel leaves everything as it was. The password is never shown.

namespace lp {

class ConnectionSettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  ConnectionSettingsDialog(CSetMenuArray& accounts, Profile& profile, const CSigneMenuArray& signatures,
                           AccountCheck::TransportFactory transports, QWidget* parent = nullptr);
  ~ConnectionSettingsDialog() override;

  // The buttons' work, without the questions that gather their input.
  bool AddAccount(const QString& name);
  void RenameAccount(const QString& name);
  void DeleteAccount();  // asks first
  void MoveAccount(int step);
  void TestConnection();
  // Signs the account shown in with its OAuth 2.0 provider in the browser
  // and stores the tokens; the status line tells how it went.
  void SignIn();

  [[nodiscard]] const CSetMenuArray& working() const { return working_; }
  [[nodiscard]] bool Testing() const { return check_.Running(); }
  // The last test's report as shown.
  [[nodiscard]] const QString& TestReport() const { return test_report_; }
  [[nodiscard]] bool SigningIn() const { return sign_in_ != nullptr; }

  void accept() override;

 signals:
  void testFinished();
  void signInFinished();

 private:
  void BuildForm();
  void ShowAccount(int index);
  // Stores the visible fields into the account shown; false after a
  // message when a field cannot be stored.
  bool StoreFields();
  void RefillList(int select);
  void OnAccountChosen(int row);
  void OnTlsChosen(QComboBox* tls, QLineEdit* port, bool typed, std::uint16_t plain, std::uint16_t secure);
  void OnTestFinished(const AccountCheckResult& result);

  CSetMenuArray& accounts_;
  Profile& profile_;
  CSetMenuArray working_;
  AccountCheck check_;
  int shown_ = -1;
  bool pop_port_typed_ = false;
  bool smtp_port_typed_ = false;
  QString test_report_;

  QListWidget* list_ = nullptr;
  QLineEdit* pop_ = nullptr;
  QLineEdit* smtp_ = nullptr;
  QLineEdit* address_ = nullptr;
  QLineEdit* user_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLineEdit* sender_name_ = nullptr;
  QComboBox* signature_ = nullptr;
  QComboBox* pop_tls_ = nullptr;
  QComboBox* smtp_tls_ = nullptr;
  QLineEdit* pop_port_ = nullptr;
  QLineEdit* smtp_port_ = nullptr;
  QPushButton* test_button_ = nullptr;
  QLabel* test_status_ = nullptr;
  QComboBox* auth_ = nullptr;
  QComboBox* provider_ = nullptr;
  QPushButton* sign_in_button_ = nullptr;
  // Tokens for the connection test and the sign-in; refreshed without a window.
  std::unique_ptr<FormPoster> token_http_ = MakeQtFormPoster();
  AccountOAuth oauth_{*token_http_};
  std::unique_ptr<OAuthSignIn> sign_in_;
};

// True when the settings show no way to receive mail at all: the current
// account has no POP server and no LAN directory is set. A start in that
// state opens the connection settings by itself.
[[nodiscard]] bool NeedsFirstAccountSetup(const CSetMenuArray& accounts, const Profile& profile);

}  // namespace lp
