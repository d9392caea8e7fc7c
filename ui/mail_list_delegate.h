#pragma once

#include <QIcon>
#include <QStyledItemDelegate>
#include <array>

// Paints the mail list's status column: the status icon (read, unread,
// replied, unsent, sent) and the attachment mark beside it. The other
// columns are plain text in the palette's colours (the model supplies the
// unread and label colours).

namespace lp {

class MailListDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit MailListDelegate(QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The icon of a status value (0 read … 4 sent); a null icon for others.
  [[nodiscard]] QIcon StatusIcon(int status) const;
  [[nodiscard]] const QIcon& AttachmentIcon() const { return attachment_; }

 private:
  std::array<QIcon, 5> status_icons_;
  QIcon attachment_;
};

// An icon from the desktop's theme, with our own picture as the fallback.
[[nodiscard]] QIcon ThemedIcon(const char* theme_name, const char* resource_name);

}  // namespace lp
