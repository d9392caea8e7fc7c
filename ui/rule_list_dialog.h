#pragma once

#include <QDialog>
#include <string>

#include "config/profile.h"
#include "rules/sort_rules.h"
#include "ui/rule_edit_dialog.h"

class QListWidget;

// "自動振り分けの編集": the auto-sort rules in their order, added, edited,
// deleted (asked first) and moved up or down on a copy; OK saves the table
// in one write, Cancel changes nothing.

namespace lp {

class RuleListDialog final : public QDialog {
  Q_OBJECT

 public:
  RuleListDialog(Profile& profile, std::string data_directory, RuleEditDialog::AddressPicker pick_address = {},
                 QWidget* parent = nullptr);

  [[nodiscard]] QListWidget& list() { return *list_; }
  [[nodiscard]] const CDivMenuArray& rules() const { return rules_; }
  void AddRule();
  void EditRule();
  void DeleteRule();
  void MoveRule(int step);

  void accept() override;

 private:
  // Runs the edit dialog on `rule`; true when it was accepted.
  bool Edit(CDivMenu& rule);
  void Refill(int current);

  Profile& profile_;
  std::string data_directory_;
  RuleEditDialog::AddressPicker pick_address_;
  CDivMenuArray rules_;
  QListWidget* list_;
};

}  // namespace lp
