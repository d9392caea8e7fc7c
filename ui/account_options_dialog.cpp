#include "ui/account_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/file_system.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

namespace {

QCheckBox* Check(const char* text, bool on, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(text), parent);
  box->setChecked(on);
  return box;
}

}  // namespace

AccountOptionsDialog::AccountOptionsDialog(CSetMenu& account, std::string received_list_path, QWidget* parent)
    : QDialog(parent), account_(account), received_list_path_(std::move(received_list_path)) {
  using namespace settings_text;
  setWindowTitle(QString::fromUtf8(kConnectionTitle));
  auto* layout = new QVBoxLayout(this);
  auto_connect_ = Check(kAutoConnect, account.auto_con, this);
  auto_disconnect_ = Check(kAutoDisconnect, account.auto_dis, this);
  leave_on_server_ = Check(kLeaveOnServer, account.not_del, this);
  patrol_target_ = Check(kPatrolTarget, account.round, this);
  apop_ = Check(kApop, account.apop, this);
  smtp_auth_ = Check(kSmtpAuth, account.smtp_auth, this);
  receive_first_ = Check(kReceiveFirst, account.pop_before, this);
  confirm_each_ = Check(kConfirmEach, account.mail_kakunin, this);
  for (QCheckBox* box : {leave_on_server_, confirm_each_, apop_, smtp_auth_, receive_first_, patrol_target_,
                         auto_connect_, auto_disconnect_}) {
    layout->addWidget(box);
  }

  auto* form = new QFormLayout;
  auth_mode_ = new QComboBox(this);
  auth_mode_->addItems({QString::fromUtf8(kAuthAutomatic), QString::fromUtf8(kAuthCramMd5),
                        QString::fromUtf8(kAuthLogin)});
  auth_mode_->setCurrentIndex(account.smtp_auth_mode >= 0 && account.smtp_auth_mode < 3 ? account.smtp_auth_mode : 0);
  form->addRow(QString::fromUtf8(kSmtpAuthMode), auth_mode_);
  dial_up_entry_ = new QComboBox(this);
  if (!account.ras_name.empty()) dial_up_entry_->addItem(FromSjis(account.ras_name));
  form->addRow(QString::fromUtf8(kDialUpEntry), dial_up_entry_);
  bcc_ = new QLineEdit(FromSjis(account.bcc_adr), this);
  form->addRow(QString::fromUtf8(kBccAddress), bcc_);
  layout->addLayout(form);
  const std::pair<QWidget*, const char*> names[] = {
      {auto_connect_, "autoConnect"},   {auto_disconnect_, "autoDisconnect"}, {leave_on_server_, "leaveOnServer"},
      {patrol_target_, "patrolTarget"}, {apop_, "apop"},                      {smtp_auth_, "smtpAuth"},
      {auth_mode_, "authMode"},         {receive_first_, "receiveFirst"},    {confirm_each_, "confirmEach"},
      {bcc_, "bcc"},                    {dial_up_entry_, "dialUpEntry"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QLatin1String(name));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* clear = buttons->addButton(QString::fromUtf8(kClearReceived), QDialogButtonBox::ActionRole);
  connect(clear, &QPushButton::clicked, this, [this] { (void)ClearReceivedList(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

bool AccountOptionsDialog::ClearReceivedList() {
  if (QMessageBox::question(this, QString::fromUtf8(settings_text::kConnectionTitle),
                            QString::fromUtf8(settings_text::kAskClearReceived),
                            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
    return false;
  }
  // A list that is not there is as good as deleted.
  if (!PathExists(received_list_path_) || RemoveFile(received_list_path_)) return true;
  QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                       QString::fromUtf8(settings_text::kCannotDeleteList) + FromSjis(received_list_path_));
  return false;
}

void AccountOptionsDialog::accept() {
  const std::optional<std::string> bcc = CheckedSettingText(bcc_->text(), QString::fromUtf8(settings_text::kBccAddress), this);
  if (!bcc) return;
  account_.auto_con = auto_connect_->isChecked();
  account_.auto_dis = auto_disconnect_->isChecked();
  account_.not_del = leave_on_server_->isChecked();
  account_.round = patrol_target_->isChecked();
  account_.apop = apop_->isChecked();
  account_.smtp_auth = smtp_auth_->isChecked();
  account_.smtp_auth_mode = auth_mode_->currentIndex();
  account_.pop_before = receive_first_->isChecked();
  account_.mail_kakunin = confirm_each_->isChecked();
  account_.bcc_adr = *bcc;
  // No selection keeps the old name.
  if (dial_up_entry_->currentIndex() >= 0) account_.ras_name = ToSjis(dial_up_entry_->currentText());
  QDialog::accept();
}

}  // namespace lp
