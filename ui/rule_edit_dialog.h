#pragma once

#include <QDialog>
#include <functional>
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
  // `pick_address` gives the entries chosen from the address book for the
  // forward address (empty when cancelled); without it there is no
  // address book button.
  using AddressPicker = std::function<QString()>;
  RuleEditDialog(const CDivMenu& rule, const std::string& data_directory, AddressPicker pick_address = {},
                 QWidget* parent = nullptr);

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
