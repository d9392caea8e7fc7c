#include "ui/connection_settings_dialog.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QUrl>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/oauth_sign_in.h"
#include "ui/account_options_dialog.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QComboBox* TlsChoice(QWidget* parent) {
  auto* box = new QComboBox(parent);
  // The item index is the stored value (AccountTls).
  box->addItems({Text(settings_text::kTlsNone), Text(settings_text::kTlsImplicit), Text(settings_text::kTlsStartTls)});
  return box;
}

std::uint16_t PortFor(AccountTls tls, std::uint16_t plain, std::uint16_t secure) {
  return tls == AccountTls::Implicit ? secure : plain;
}

QString OutcomeLine(const char* label, const LoginCheckOutcome& outcome, bool logs_in) {
  QString line = Text(label);
  if (!outcome.tried) return line + Text(settings_text::kNotSet);
  if (outcome.ok) return line + Text(logs_in ? settings_text::kLoginOk : settings_text::kConnectOk);
  if (outcome.password_refused) return line + Text(settings_text::kWrongPassword);
  return line + (outcome.error_text.empty() ? Text(settings_text::kFailed) : FromSjis(outcome.error_text));
}

}  // namespace

ConnectionSettingsDialog::ConnectionSettingsDialog(CSetMenuArray& accounts, Profile& profile,
                                                   const CSigneMenuArray& signatures,
                                                   AccountCheck::TransportFactory transports, QWidget* parent)
    : QDialog(parent),
      accounts_(accounts),
      profile_(profile),
      working_(accounts),
      check_(std::move(transports), [this](const AccountCheckResult& result) { OnTestFinished(result); },
             [this](std::string_view status) {
               if (test_status_ != nullptr) test_status_->setText(FromSjis(status));
             }) {
  setWindowTitle(Text(settings_text::kConnectionTitle));
  check_.SetOAuthLogins(&oauth_.logins());
  BuildForm();
  signature_->addItem(Text(settings_text::kNoSignature));
  for (std::size_t number = 1; number <= signatures.Count(); ++number) {
    signature_->addItem(FromSjis(signatures.At(number).name));
  }
  RefillList(static_cast<int>(working_.CurrentIndex()));
}

ConnectionSettingsDialog::~ConnectionSettingsDialog() = default;

void ConnectionSettingsDialog::BuildForm() {
  using namespace settings_text;
  auto* layout = new QHBoxLayout(this);

  auto* left = new QVBoxLayout;
  auto* list_label = new QLabel(Text(kAccountName), this);
  list_ = new QListWidget(this);
  list_label->setBuddy(list_);
  left->addWidget(list_label);
  left->addWidget(list_);
  auto* arrows = new QHBoxLayout;
  auto* up = new QPushButton(Text(kMoveUp), this);
  auto* down = new QPushButton(Text(kMoveDown), this);
  arrows->addWidget(up);
  arrows->addWidget(down);
  left->addLayout(arrows);
  auto* add = new QPushButton(Text(kNewAccount), this);
  auto* rename = new QPushButton(Text(kRenameAccount), this);
  auto* remove = new QPushButton(Text(kDeleteAccount), this);
  auto* options = new QPushButton(Text(kOptions), this);
  for (QPushButton* button : {add, rename, remove, options}) left->addWidget(button);
  layout->addLayout(left);

  auto* right = new QVBoxLayout;
  auto* form = new QFormLayout;
  pop_ = new QLineEdit(this);
  pop_tls_ = TlsChoice(this);
  pop_port_ = new QLineEdit(this);
  user_ = new QLineEdit(this);
  password_ = new QLineEdit(this);
  password_->setEchoMode(QLineEdit::Password);
  smtp_ = new QLineEdit(this);
  smtp_tls_ = TlsChoice(this);
  smtp_port_ = new QLineEdit(this);
  address_ = new QLineEdit(this);
  sender_name_ = new QLineEdit(this);
  signature_ = new QComboBox(this);
  const std::pair<QWidget*, const char*> names[] = {
      {list_, "accounts"},     {pop_, "pop"},         {pop_tls_, "popTls"},         {pop_port_, "popPort"},
      {user_, "user"},         {password_, "password"}, {smtp_, "smtp"},            {smtp_tls_, "smtpTls"},
      {smtp_port_, "smtpPort"}, {address_, "address"}, {sender_name_, "senderName"}, {signature_, "signature"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QLatin1String(name));
  form->addRow(Text(kPopServer), pop_);
  form->addRow(Text(kPopSecurity), pop_tls_);
  form->addRow(Text(kPopPort), pop_port_);
  form->addRow(Text(kPopUser), user_);
  form->addRow(Text(kPopPassword), password_);
  form->addRow(Text(kSmtpServer), smtp_);
  form->addRow(Text(kSmtpSecurity), smtp_tls_);
  form->addRow(Text(kSmtpPort), smtp_port_);
  form->addRow(Text(kMailAddress), address_);
  form->addRow(Text(kSenderName), sender_name_);
  form->addRow(Text(kSignature), signature_);
  auth_ = new QComboBox(this);
  auth_->setObjectName(QStringLiteral("auth"));
  // The item index is the stored value (AccountAuth).
  auth_->addItems({Text(settings_text::kAuthPassword), Text(settings_text::kAuthOAuth)});
  provider_ = new QComboBox(this);
  provider_->setObjectName(QStringLiteral("oauthProvider"));
  provider_->addItem(QString(), QString());
  for (const OAuthProvider& provider : oauth_.providers()) {
    provider_->addItem(QString::fromStdString(provider.name), QString::fromStdString(provider.id));
  }
  sign_in_button_ = new QPushButton(Text(settings_text::kSignIn), this);
  sign_in_button_->setObjectName(QStringLiteral("signIn"));
  auto* provider_row = new QHBoxLayout;
  provider_row->addWidget(provider_, 1);
  provider_row->addWidget(sign_in_button_);
  form->addRow(Text(settings_text::kAuthMethod), auth_);
  form->addRow(Text(settings_text::kOAuthProvider), provider_row);
  auto* note = new QLabel(Text(settings_text::kCredentialsNote), this);
  note->setWordWrap(true);
  form->addRow(QString(), note);
  right->addLayout(form);

  auto* test_row = new QHBoxLayout;
  test_button_ = new QPushButton(Text(kTestConnection), this);
  test_row->addWidget(test_button_);
  test_row->addStretch();
  right->addLayout(test_row);
  // The outcome on lines of its own below the button, never wrapped:
  // Japanese text would break inside a word ("違いま" / "す").
  test_status_ = new QLabel(this);
  test_status_->setObjectName(QStringLiteral("testStatus"));
  test_status_->setWordWrap(false);
  test_status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  right->addWidget(test_status_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  right->addWidget(buttons);
  layout->addLayout(right, 1);

  connect(list_, &QListWidget::currentRowChanged, this, &ConnectionSettingsDialog::OnAccountChosen);
  connect(up, &QPushButton::clicked, this, [this] { MoveAccount(-1); });
  connect(down, &QPushButton::clicked, this, [this] { MoveAccount(1); });
  connect(add, &QPushButton::clicked, this, [this] {
    if (!StoreFields()) return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, Text(kConnectionTitle), Text(kAskNewName), QLineEdit::Normal, {}, &ok);
    if (ok) (void)AddAccount(name);
  });
  connect(rename, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QString name = QInputDialog::getText(this, Text(kConnectionTitle), Text(kAskRename), QLineEdit::Normal,
                                               FromSjis(working_.At(shown_).name), &ok);
    if (ok) RenameAccount(name);
  });
  connect(remove, &QPushButton::clicked, this, [this] { DeleteAccount(); });
  connect(options, &QPushButton::clicked, this, [this] {
    if (!StoreFields()) return;
    AccountOptionsDialog dialog(working_.At(shown_), working_.ListFileName(shown_, UidList::Received), this);
    (void)dialog.exec();
  });
  connect(test_button_, &QPushButton::clicked, this, [this] { TestConnection(); });
  connect(sign_in_button_, &QPushButton::clicked, this, [this] { SignIn(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // A port the user typed stays; an untouched one follows the security.
  connect(pop_port_, &QLineEdit::textEdited, this, [this] { pop_port_typed_ = true; });
  connect(smtp_port_, &QLineEdit::textEdited, this, [this] { smtp_port_typed_ = true; });
  connect(pop_tls_, &QComboBox::currentIndexChanged, this, [this] {
    OnTlsChosen(pop_tls_, pop_port_, pop_port_typed_, kDefaultPopPort, kDefaultPopsPort);
  });
  connect(smtp_tls_, &QComboBox::currentIndexChanged, this, [this] {
    OnTlsChosen(smtp_tls_, smtp_port_, smtp_port_typed_, kDefaultSmtpPort, kDefaultSmtpsPort);
  });
}

void ConnectionSettingsDialog::OnTlsChosen(QComboBox* tls, QLineEdit* port, bool typed, std::uint16_t plain,
                                           std::uint16_t secure) {
  if (typed) return;
  port->setText(QString::number(PortFor(static_cast<AccountTls>(tls->currentIndex()), plain, secure)));
}

void ConnectionSettingsDialog::RefillList(int select) {
  const QSignalBlocker blocker(list_);
  list_->clear();
  for (std::size_t i = 0; i < working_.Count(); ++i) list_->addItem(FromSjis(working_.At(i).name));
  list_->setCurrentRow(select);
  ShowAccount(select);
}

void ConnectionSettingsDialog::ShowAccount(int index) {
  shown_ = index;
  const CSetMenu& account = working_.At(static_cast<std::size_t>(index));
  pop_->setText(FromSjis(account.pop));
  smtp_->setText(FromSjis(account.smtp));
  address_->setText(FromSjis(account.adr));
  user_->setText(FromSjis(account.user_id));
  password_->setText(FromSjis(account.pass));
  sender_name_->setText(FromSjis(account.sender_name));
  signature_->setCurrentIndex(account.signe >= 0 && account.signe < signature_->count() ? account.signe : 0);
  {
    const QSignalBlocker pop_blocker(pop_tls_);
    const QSignalBlocker smtp_blocker(smtp_tls_);
    pop_tls_->setCurrentIndex(static_cast<int>(account.pop_tls));
    smtp_tls_->setCurrentIndex(static_cast<int>(account.smtp_tls));
  }
  auth_->setCurrentIndex(static_cast<int>(account.auth));
  const int provider = provider_->findData(QString::fromStdString(account.oauth_provider));
  if (provider >= 0) {
    provider_->setCurrentIndex(provider);
  } else {
    // An entry the provider files do not know is kept as it is.
    provider_->addItem(FromSjis(account.oauth_provider), QString::fromStdString(account.oauth_provider));
    provider_->setCurrentIndex(provider_->count() - 1);
  }
  pop_port_->setText(QString::number(account.pop_port));
  smtp_port_->setText(QString::number(account.smtp_port));
  pop_port_typed_ = account.pop_port != PortFor(account.pop_tls, kDefaultPopPort, kDefaultPopsPort);
  smtp_port_typed_ = account.smtp_port != PortFor(account.smtp_tls, kDefaultSmtpPort, kDefaultSmtpsPort);
}

bool ConnectionSettingsDialog::StoreFields() {
  using namespace settings_text;
  struct Field {
    QLineEdit* edit;
    const char* label;
    std::string CSetMenu::*member;
  };
  const Field fields[] = {{pop_, kPopServer, &CSetMenu::pop},         {smtp_, kSmtpServer, &CSetMenu::smtp},
                          {address_, kMailAddress, &CSetMenu::adr},    {user_, kPopUser, &CSetMenu::user_id},
                          {password_, kPopPassword, &CSetMenu::pass}, {sender_name_, kSenderName, &CSetMenu::sender_name}};
  std::string values[std::size(fields)];
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    std::optional<std::string> value = CheckedSettingText(fields[i].edit->text(), Text(fields[i].label), this);
    if (!value) {
      fields[i].edit->setFocus();
      return false;
    }
    values[i] = std::move(*value);
  }
  const std::optional<std::uint16_t> pop_port = CheckedPort(pop_port_->text(), Text(kPopPort), this);
  if (!pop_port) return false;
  const std::optional<std::uint16_t> smtp_port = CheckedPort(smtp_port_->text(), Text(kSmtpPort), this);
  if (!smtp_port) return false;

  CSetMenu& account = working_.At(static_cast<std::size_t>(shown_));
  for (std::size_t i = 0; i < std::size(fields); ++i) account.*(fields[i].member) = std::move(values[i]);
  account.signe = signature_->currentIndex();
  account.pop_tls = static_cast<AccountTls>(pop_tls_->currentIndex());
  account.smtp_tls = static_cast<AccountTls>(smtp_tls_->currentIndex());
  account.pop_port = *pop_port;
  account.smtp_port = *smtp_port;
  account.auth = static_cast<AccountAuth>(auth_->currentIndex());
  account.oauth_provider = provider_->currentData().toString().toStdString();
  return true;
}

void ConnectionSettingsDialog::SignIn() {
  if (sign_in_ || !StoreFields()) return;
  const CSetMenu& account = working_.At(static_cast<std::size_t>(shown_));
  const std::optional<OAuthProvider> provider = FindOAuthProvider(oauth_.providers(), account.oauth_provider);
  if (account.auth != AccountAuth::OAuth2 || !provider) {
    test_status_->setText(Text(settings_text::kSignInNotOAuth));
    return;
  }
  if (provider->client_id.empty()) {
    QMessageBox::warning(this, Text(settings_text::kConnectionTitle), Text(settings_text::kNoClientId));
    return;
  }
  OAuthSignInRequest request;
  request.authorization_url = provider->authorization_url;
  request.token_url = provider->token_url;
  request.client_id = provider->client_id;
  request.client_secret = provider->client_secret;
  request.scope = provider->scope;
  request.extra_parameters = provider->authorization_parameters;
  request.login_hint = FromSjis(OAuthUserName(*provider, account)).toStdString();
  const std::string key = OAuthTokenKey(*provider, account);
  sign_in_button_->setEnabled(false);
  test_status_->setText(Text(settings_text::kSignInWaiting));
  sign_in_ = OAuthSignIn::Start(
      request, [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); },
      [this, key](OAuthSignInResult result) {
        // Let go of the sign-in after its own signal has returned.
        QMetaObject::invokeMethod(this, [this] { sign_in_.reset(); }, Qt::QueuedConnection);
        sign_in_button_->setEnabled(true);
        OAuthTokenStore& store = oauth_.store();
        if (!result.ok) {
          test_status_->setText(Text(settings_text::kSignInFailed) + QString::fromStdString(result.error_text));
        } else if (!store.Save(key, {result.access_token, result.refresh_token, result.expires_at})) {
          test_status_->setText(Text(settings_text::kSignInFailed) + QString::fromStdString(store.ErrorText()));
        } else {
          test_status_->setText(Text(settings_text::kSignedIn));
        }
        emit signInFinished();
      });
}

void ConnectionSettingsDialog::OnAccountChosen(int row) {
  if (row < 0 || row == shown_) return;
  if (!StoreFields()) {
    // The fields stay with their account until they can be stored.
    const QSignalBlocker blocker(list_);
    list_->setCurrentRow(shown_);
    return;
  }
  ShowAccount(row);
}

bool ConnectionSettingsDialog::AddAccount(const QString& name) {
  if (!StoreFields()) return false;
  const std::optional<std::string> sjis = CheckedSettingText(name, Text(settings_text::kAccountName), this);
  if (!sjis) return false;
  if (!working_.AppendNew(*sjis)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(settings_text::kTableFull));
    return false;
  }
  RefillList(static_cast<int>(working_.Count() - 1));
  return true;
}

void ConnectionSettingsDialog::RenameAccount(const QString& name) {
  const std::optional<std::string> sjis = CheckedSettingText(name, Text(settings_text::kAccountName), this);
  if (!sjis) return;
  working_.At(static_cast<std::size_t>(shown_)).name = *sjis;
  list_->item(shown_)->setText(name);
}

void ConnectionSettingsDialog::DeleteAccount() {
  if (QMessageBox::question(this, Text(settings_text::kConnectionTitle), Text(settings_text::kAskDelete),
                            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }
  // The only account stays: the program always needs a current one.
  if (!working_.RemoveAt(static_cast<std::size_t>(shown_))) return;
  RefillList(std::min(shown_, static_cast<int>(working_.Count()) - 1));
}

void ConnectionSettingsDialog::MoveAccount(int step) {
  const int other = shown_ + step;
  if (other < 0 || other >= static_cast<int>(working_.Count())) return;
  if (!StoreFields()) return;
  (void)working_.Swap(static_cast<std::size_t>(shown_), static_cast<std::size_t>(other));
  RefillList(other);
}

void ConnectionSettingsDialog::TestConnection() {
  if (check_.Running() || !StoreFields()) return;
  test_button_->setEnabled(false);
  test_status_->setText(Text(settings_text::kTesting));
  check_.Start(working_, static_cast<std::size_t>(shown_), profile_);
}

void ConnectionSettingsDialog::OnTestFinished(const AccountCheckResult& result) {
  test_report_ = OutcomeLine(settings_text::kPopLabel, result.pop, true) + QLatin1Char('\n') +
                 OutcomeLine(settings_text::kSmtpLabel, result.smtp, working_.At(shown_).smtp_auth);
  test_status_->setText(test_report_);
  test_button_->setEnabled(true);
  emit testFinished();
}

void ConnectionSettingsDialog::accept() {
  if (!StoreFields()) return;
  check_.Cancel();
  CSetMenuArray saved = accounts_;
  accounts_ = working_;
  (void)accounts_.SetCurrentIndex(static_cast<std::size_t>(shown_));
  if (!accounts_.Save(profile_)) {
    accounts_ = std::move(saved);
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         Text(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  QDialog::accept();
}

bool NeedsFirstAccountSetup(const CSetMenuArray& accounts, const Profile& profile) {
  return accounts.Current().pop.empty() && profile.GetString("Lan", "Dir").empty();
}

}  // namespace lp
