#pragma once

#include <QDialog>
#include <QStringList>
#include <cstddef>

class QComboBox;

// "ｱﾄﾞﾚｽﾌﾞｯｸの整列": the column to sort the cards by (by position, named
// as the book's header names it) and the order, ascending first.

namespace lp {

class AddressSortDialog final : public QDialog {
  Q_OBJECT

 public:
  AddressSortDialog(const QStringList& columns, QWidget* parent = nullptr);

  [[nodiscard]] QComboBox& column() { return *column_; }
  [[nodiscard]] QComboBox& order() { return *order_; }
  [[nodiscard]] std::size_t ChosenColumn() const;
  [[nodiscard]] bool Ascending() const;

 private:
  QComboBox* column_;
  QComboBox* order_;
};

}  // namespace lp
