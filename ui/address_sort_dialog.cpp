#include "ui/address_sort_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

#include "ui/address_book_texts.h"

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

AddressSortDialog::AddressSortDialog(const QStringList& columns, QWidget* parent)
    : QDialog(parent), column_(new QComboBox(this)), order_(new QComboBox(this)) {
  using namespace address_book_text;
  setWindowTitle(U(kSortTitle));
  column_->setObjectName(QStringLiteral("sortColumn"));
  order_->setObjectName(QStringLiteral("sortOrder"));
  column_->addItems(columns);
  order_->addItems({U(kAscending), U(kDescending)});
  auto* form = new QFormLayout(this);
  form->addRow(U(kSortColumn), column_);
  form->addRow(U(kSortOrder), order_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
  setMinimumWidth(300);
}

std::size_t AddressSortDialog::ChosenColumn() const {
  return static_cast<std::size_t>(std::max(column_->currentIndex(), 0));
}

bool AddressSortDialog::Ascending() const { return order_->currentIndex() <= 0; }

}  // namespace lp
