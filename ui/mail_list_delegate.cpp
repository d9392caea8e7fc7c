#include "ui/mail_list_delegate.h"

#include <QApplication>
#include <QPainter>

#include "ui/mail_list_model.h"

namespace lp {

QIcon ThemedIcon(const char* theme_name, const char* resource_name) {
  const QIcon own(QStringLiteral(":/icons/") + QLatin1String(resource_name) + QStringLiteral(".svg"));
  return theme_name == nullptr ? own : QIcon::fromTheme(QLatin1String(theme_name), own);
}

MailListDelegate::MailListDelegate(QObject* parent) : QStyledItemDelegate(parent) {
  // Our own pictures: a theme's mail icons do not tell these states apart.
  status_icons_ = {ThemedIcon(nullptr, "status-read"), ThemedIcon(nullptr, "status-unread"),
                   ThemedIcon(nullptr, "status-replied"), ThemedIcon(nullptr, "status-unsent"),
                   ThemedIcon(nullptr, "status-sent")};
  attachment_ = ThemedIcon(nullptr, "attachment");
}

QIcon MailListDelegate::StatusIcon(int status) const {
  return status >= 0 && status < static_cast<int>(status_icons_.size()) ? status_icons_[static_cast<std::size_t>(status)]
                                                                        : QIcon();
}

void MailListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (index.column() != MailListModel::StatusColumn) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem base = option;
  initStyleOption(&base, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &base, painter, widget);

  const int side = qMin(option.rect.height() - 2, 16);
  QRect icon_rect(option.rect.left() + 2, option.rect.top() + (option.rect.height() - side) / 2, side, side);
  const QIcon::Mode mode = option.state.testFlag(QStyle::State_Selected) ? QIcon::Selected : QIcon::Normal;
  StatusIcon(index.data(MailListModel::StatusRole).toInt()).paint(painter, icon_rect, Qt::AlignCenter, mode);
  if (index.data(MailListModel::AttachmentRole).toBool()) {
    icon_rect.translate(side + 2, 0);
    attachment_.paint(painter, icon_rect, Qt::AlignCenter, mode);
  }
}

QSize MailListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  // Rows are 4/3 of the font's line height, enough for the icons.
  const int height = qMax(option.fontMetrics.height() * 4 / 3, 18);
  size.setHeight(height);
  if (index.column() == MailListModel::StatusColumn) size.setWidth(2 * 18 + 6);
  return size;
}

}  // namespace lp
