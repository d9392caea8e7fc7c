#pragma once

#include <QIcon>
#include <QStyledItemDelegate>
#include <array>

#include "ui/list_colours.h"

// Paints the mail list: the status column's icon (read, unread, replied,
// unsent, sent) with the attachment mark beside it, unread rows in bold and
// in the unread colour, and in summary mode the first body lines under each
// row across the columns from the name on. Every colour comes from the
// list colours (the settings or the palette).

namespace lp {

class MailListDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit MailListDelegate(QObject* parent = nullptr);

  void SetColours(const ListColours& colours) { colours_ = colours; }
  [[nodiscard]] const ListColours& colours() const { return colours_; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The icon of a status value (0 read … 4 sent); a null icon for others.
  [[nodiscard]] QIcon StatusIcon(int status) const;
  [[nodiscard]] const QIcon& AttachmentIcon() const { return attachment_; }
  // How a cell is drawn: its font, text colour and text.
  [[nodiscard]] QStyleOptionViewItem StyleFor(const QStyleOptionViewItem& option, const QModelIndex& index) const;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  void PaintStatus(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
  void PaintSummary(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
  [[nodiscard]] static bool SummaryMode(const QModelIndex& index);

  std::array<QIcon, 5> status_icons_;
  QIcon attachment_;
  ListColours colours_;
};

// An icon from the desktop's theme, with our own picture as the fallback.
[[nodiscard]] QIcon ThemedIcon(const char* theme_name, const char* resource_name);

}  // namespace lp
