#include "ui/mailbox_view.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/mail_list_delegate.h"
#include "ui/mail_list_model.h"
#include "ui/sjis_qt.h"

namespace lp {

MailboxView::MailboxView(CLPOSTDoc& box, int split, QWidget* parent)
    : QWidget(parent),
      box_(box),
      split_(split),
      model_(new MailListModel(box, this)),
      delegate_(new MailListDelegate(this)),
      list_(new QTreeView) {
  list_->setObjectName(QStringLiteral("mailList"));
  list_->setModel(model_);
  list_->setItemDelegate(delegate_);
  list_->setUniformRowHeights(true);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->header()->setStretchLastSection(true);
  const int char_width = fontMetrics().averageCharWidth();
  // Default widths in average characters: status 4, label 6, name 12, date 16.
  list_->setColumnWidth(MailListModel::StatusColumn, qMax(char_width * 4, 42));
  list_->setColumnWidth(MailListModel::LabelColumn, char_width * 6);
  list_->setColumnWidth(MailListModel::NameColumn, char_width * 12 * 2);
  list_->setColumnWidth(MailListModel::DateColumn,
                       list_->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00")) + 16);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  if (split_ == 0) {
    layout->addWidget(list_);
  } else {
    splitter_ = new QSplitter(split_ == 2 ? Qt::Horizontal : Qt::Vertical, this);
    preview_ = new QPlainTextEdit;
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setReadOnly(true);
    splitter_->addWidget(list_);
    splitter_->addWidget(preview_);
    layout->addWidget(splitter_);
  }

  preview_timer_.setSingleShot(true);
  preview_timer_.setInterval(kPreviewDelayMs);
  connect(&preview_timer_, &QTimer::timeout, this, &MailboxView::ShowPreview);
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, &MailboxView::OnCurrentChanged);
}

MailboxView::~MailboxView() {
  // The model stops observing the box before anyone may release the box.
  list_->setModel(nullptr);
  delete model_;
}

int MailboxView::SelectionCount() const { return static_cast<int>(list_->selectionModel()->selectedRows().size()); }

int MailboxView::CaretRow() const {
  const QModelIndex current = list_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void MailboxView::SetCaret(int row) {
  if (row == -2) row = model_->rowCount() - 1;
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex index = model_->index(row, 0);
  list_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list_->scrollTo(index);
}

int MailboxView::FirstPaneSize() const {
  if (splitter_ == nullptr) return 0;
  const QList<int> sizes = splitter_->sizes();
  return sizes.isEmpty() ? 0 : sizes.front();
}

void MailboxView::SetFirstPaneSize(int size) {
  if (splitter_ == nullptr || size <= 0) return;
  const int total = split_ == 2 ? splitter_->width() : splitter_->height();
  splitter_->setSizes({size, qMax(total - size, 1)});
}

void MailboxView::OnCurrentChanged() {
  const int row = CaretRow();
  box_.set_current_index(row);
  emit caretMoved(row, box_.Count());
  if (preview_ != nullptr) preview_timer_.start();
}

void MailboxView::ShowPreview() {
  const int row = CaretRow();
  if (preview_ == nullptr) return;
  if (row < 0) {
    preview_->clear();
    return;
  }
  preview_->setPlainText(FromSjis(box_.DisplayText(row, HeaderMode::FromSetting, 0)));
}

}  // namespace lp
