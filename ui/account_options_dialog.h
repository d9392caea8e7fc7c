#pragma once

#include <QDialog>
#include <string>

#include "config/account.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

// The account options of the connection settings ("接続の設定"): the
// account's flags, the SMTP authentication method, the automatic Bcc
// address and the dial-up entry, and the clearing of its received-mail
// list. There is no dial-up service here, so the entry list holds only the
// name the account already has. OK writes into the account given; Cancel
// leaves it as it was.

namespace lp {

class AccountOptionsDialog final : public QDialog {
  Q_OBJECT

 public:
  // `received_list_path`: the account's "UIDL" + name + ".txt" (Shift_JIS).
  AccountOptionsDialog(CSetMenu& account, std::string received_list_path, QWidget* parent = nullptr);

  // Asks, then deletes the received-mail list; false when it could not go.
  bool ClearReceivedList();

  void accept() override;

 private:
  CSetMenu& account_;
  std::string received_list_path_;
  QCheckBox* auto_connect_;
  QCheckBox* auto_disconnect_;
  QCheckBox* leave_on_server_;
  QCheckBox* patrol_target_;
  QCheckBox* apop_;
  QCheckBox* smtp_auth_;
  QComboBox* auth_mode_;
  QCheckBox* receive_first_;
  QCheckBox* confirm_each_;
  QLineEdit* bcc_;
  QComboBox* dial_up_entry_;
};

}  // namespace lp
