#include "ui/label_totals_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/mail_command_texts.h"

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QTreeWidgetItem* AddRow(QTreeWidget& table, const QString& name, const LabelTotal& total) {
  auto* item = new QTreeWidgetItem(&table, {name, QString::number(total.mails), QString::number(total.unread)});
  item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

LabelTotalsDialog::LabelTotalsDialog(const QString& box_name, const LabelTotals& totals,
                                     const std::array<MailListModel::LabelStyle, 11>& labels, QWidget* parent)
    : QDialog(parent), table_(new QTreeWidget(this)) {
  using namespace ui_text;
  setWindowTitle(U(kLabelTotalsTitle));
  table_->setObjectName(QStringLiteral("totals"));
  table_->setRootIsDecorated(false);
  // A read-only table: nothing to select.
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setFocusPolicy(Qt::NoFocus);
  table_->setHeaderLabels({U(kLabelTotalsLabel), U(kLabelTotalsMails), U(kLabelTotalsUnread)});
  LabelTotal all;
  for (std::size_t label = 0; label < totals.size(); ++label) {
    const LabelTotal& total = totals[label];
    all.mails += total.mails;
    all.unread += total.unread;
    if (label == 0) {
      AddRow(*table_, U(kNoLabel), total);
      continue;
    }
    const QString name = label < labels.size() ? labels[label].name : QString();
    QTreeWidgetItem* item =
        AddRow(*table_, name.isEmpty() ? QString::number(label) : QString::number(label) + QStringLiteral(": ") + name,
               total);
    if (label < labels.size() && labels[label].color.isValid()) item->setForeground(0, labels[label].color);
  }
  QTreeWidgetItem* sum = AddRow(*table_, U(kLabelTotalsAll), all);
  QFont bold = sum->font(0);
  bold.setBold(true);
  for (int column = 0; column < 3; ++column) sum->setFont(column, bold);
  // The counts get room beyond their digits, so that the columns stand apart.
  table_->header()->setMinimumSectionSize(table_->fontMetrics().horizontalAdvance(QStringLiteral("000000")));
  table_->header()->setDefaultAlignment(Qt::AlignCenter);
  table_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->header()->setStretchLastSection(false);
  table_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  table_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(box_name, this));
  layout->addWidget(table_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(360, 380);
}

}  // namespace lp
