#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "rules/sort_rules.h"

class QComboBox;
class QLineEdit;

// "振り分け設定": one auto-sort rule — the field, the text it must contain,
// the box to move to (among the data directory's boxes), the address to
// forward to and the file whose text answers. OK refuses line breaks and
// characters Shift_JIS lacks, and a rule that does nothing.

namespace lp {

class RuleEditDialog final : public QDialog {
  Q_OBJECT

 public:
  RuleEditDialog(const CDivMenu& rule, const std::string& data_directory, QWidget* parent = nullptr);

  [[nodiscard]] QComboBox& field() { return *field_; }
  [[nodiscard]] QLineEdit& text() { return *text_; }
  [[nodiscard]] QComboBox& box() { return *box_; }
  [[nodiscard]] QLineEdit& forward() { return *forward_; }
  [[nodiscard]] QLineEdit& reply() { return *reply_; }
  // The rule as accepted.
  [[nodiscard]] const CDivMenu& rule() const { return rule_; }

  void accept() override;

 private:
  CDivMenu rule_;
  std::vector<std::string> box_paths_;
  QComboBox* field_;
  QLineEdit* text_;
  QComboBox* box_;
  QLineEdit* forward_;
  QLineEdit* reply_;
};

}  // namespace lp
