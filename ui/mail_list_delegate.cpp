#include "ui/mail_list_delegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTreeView>

#include "store/mail_record.h"
#include "ui/mail_list_model.h"

namespace lp {
namespace {

constexpr int kIconSide = 16;
constexpr int kIconGap = 2;
// Summary mode: the row's own line and the summary's lines.
constexpr int kSummaryRowLines = 4;

}  // namespace

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
  colours_ = PaletteListColours(QApplication::palette());
}

QIcon MailListDelegate::StatusIcon(int status) const {
  return status >= 0 && status < static_cast<int>(status_icons_.size()) ? status_icons_[static_cast<std::size_t>(status)]
                                                                        : QIcon();
}

bool MailListDelegate::SummaryMode(const QModelIndex& index) {
  const auto* model = qobject_cast<const MailListModel*>(index.model());
  return model != nullptr && model->summary_mode();
}

void MailListDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  option->palette.setColor(QPalette::Base, colours_.back);
  option->palette.setColor(QPalette::Highlight, colours_.selected_back);
  option->palette.setColor(QPalette::HighlightedText, colours_.selected_text);
  const bool unread = index.data(MailListModel::StatusRole).toInt() == kStatusUnread;
  if (unread) {
    option->font.setBold(true);
    option->fontMetrics = QFontMetrics(option->font);
  }
  // A label keeps its own colour; otherwise unread rows take the unread colour.
  if (!index.data(Qt::ForegroundRole).isValid()) {
    option->palette.setColor(QPalette::Text, unread ? colours_.unread : colours_.text);
  }
  if (SummaryMode(index)) option->displayAlignment = Qt::AlignLeft | Qt::AlignTop;
}

QStyleOptionViewItem MailListDelegate::StyleFor(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem styled = option;
  initStyleOption(&styled, index);
  return styled;
}

void MailListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (!SummaryMode(index)) {
    if (index.column() == MailListModel::StatusColumn) {
      PaintStatus(painter, option, index);
    } else {
      QStyledItemDelegate::paint(painter, option, index);
    }
    return;
  }
  // The row's own line on top, the summary below it.
  QStyleOptionViewItem first_line = option;
  first_line.rect.setHeight(option.rect.height() / kSummaryRowLines);
  painter->save();
  if (option.state.testFlag(QStyle::State_Selected)) {
    painter->fillRect(option.rect, colours_.selected_back);
  } else {
    painter->fillRect(option.rect, colours_.back);
  }
  painter->restore();
  if (index.column() == MailListModel::StatusColumn) {
    PaintStatus(painter, first_line, index);
  } else {
    QStyledItemDelegate::paint(painter, first_line, index);
  }
  PaintSummary(painter, option, index);
}

void MailListDelegate::PaintStatus(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem base = StyleFor(option, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &base, painter, widget);

  const int side = qMin(option.rect.height() - 2, kIconSide);
  QRect icon_rect(option.rect.left() + kIconGap, option.rect.top() + (option.rect.height() - side) / 2, side, side);
  const QIcon::Mode mode = option.state.testFlag(QStyle::State_Selected) ? QIcon::Selected : QIcon::Normal;
  StatusIcon(index.data(MailListModel::StatusRole).toInt()).paint(painter, icon_rect, Qt::AlignCenter, mode);
  if (index.data(MailListModel::AttachmentRole).toBool()) {
    icon_rect.translate(side + kIconGap, 0);
    attachment_.paint(painter, icon_rect, Qt::AlignCenter, mode);
  }
}

void MailListDelegate::PaintSummary(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const auto* view = qobject_cast<const QTreeView*>(option.widget);
  if (view == nullptr || index.column() < MailListModel::NameColumn) return;
  const QString summary = index.data(MailListModel::SummaryRole).toString();
  if (summary.isEmpty()) return;
  // One text across the cells from the name column on: each cell draws its
  // part of it, clipped to itself.
  const int text_left = view->header()->sectionViewportPosition(MailListModel::NameColumn) + kIconGap;
  const int line_height = option.rect.height() / kSummaryRowLines;
  QRect text_rect(text_left, option.rect.top() + line_height, view->viewport()->width() - text_left,
                  option.rect.height() - line_height);
  painter->save();
  painter->setClipRect(option.rect);
  painter->setFont(option.font);
  painter->setPen(option.state.testFlag(QStyle::State_Selected) ? colours_.selected_text : colours_.summary);
  QString lines = summary;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, lines);
  painter->restore();
}

QSize MailListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  const int line_height = option.fontMetrics.height();
  // Rows are 4/3 of the font's line height, enough for the icons; four
  // lines in summary mode.
  const int height = SummaryMode(index) ? line_height * kSummaryRowLines : qMax(line_height * 4 / 3, 18);
  size.setHeight(height);
  if (index.column() == MailListModel::StatusColumn) size.setWidth(2 * (kIconSide + kIconGap) + 6);
  return size;
}

}  // namespace lp
