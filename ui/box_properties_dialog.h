#pragma once

#include <QDialog>

#include "store/mailbox_tree.h"

class QCheckBox;

// "文書BOXのプロパティ": whether the search of all boxes includes the box,
// and whether the box is compacted by itself.

namespace lp {

class BoxPropertiesDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit BoxPropertiesDialog(const BoxProperties& properties, QWidget* parent = nullptr);

  // The check boxes as they stand now.
  [[nodiscard]] BoxProperties properties() const;
  [[nodiscard]] QCheckBox& find_box() { return *find_box_; }
  [[nodiscard]] QCheckBox& auto_compact() { return *auto_compact_; }

 private:
  QCheckBox* find_box_;
  QCheckBox* auto_compact_;
};

// Shows the dialog on `properties`; true (with them changed) on OK.
bool EditBoxPropertiesInDialog(QWidget* parent, BoxProperties& properties);

}  // namespace lp
