#pragma once

#include <QDialog>
#include <array>

#include "app/label_totals.h"
#include "ui/mail_list_model.h"

class QTreeWidget;

// "ラベル別集計": a box's mails counted by label, with the unread ones, each
// label by its number, name and colour, and the whole box last.

namespace lp {

class LabelTotalsDialog final : public QDialog {
  Q_OBJECT

 public:
  LabelTotalsDialog(const QString& box_name, const LabelTotals& totals,
                    const std::array<MailListModel::LabelStyle, 11>& labels, QWidget* parent = nullptr);

  [[nodiscard]] QTreeWidget& table() { return *table_; }

 private:
  QTreeWidget* table_;
};

}  // namespace lp
