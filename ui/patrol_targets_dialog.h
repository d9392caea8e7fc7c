#pragma once

#include <QDialog>

#include "config/account_table.h"
#include "config/profile.h"

class QListWidget;

// The patrol targets ("巡回先の設定"): one checkable line per account,
// checked when the account takes part in the patrol. OK stores every
// check into the account and saves the table; Cancel changes nothing.

namespace lp {

class PatrolTargetsDialog final : public QDialog {
  Q_OBJECT

 public:
  PatrolTargetsDialog(CSetMenuArray& accounts, Profile& profile, QWidget* parent = nullptr);

  [[nodiscard]] QListWidget& list() { return *list_; }

  void accept() override;

 private:
  CSetMenuArray& accounts_;
  Profile& profile_;
  QListWidget* list_;
};

}  // namespace lp
