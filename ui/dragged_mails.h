#pragma once

#include <QMimeData>
#include <QString>
#include <optional>
#include <string>
#include <vector>

// Mails dragged out of a mail list: the box they come from (Shift_JIS index
// path) and their records' serials. Only this process reads them: serials
// mean nothing to another.

namespace lp {

inline constexpr char kMailListMimeType[] = "application/x-lanternpost-mails";
// A box dragged in the mail manager: its index path (Shift_JIS).
inline constexpr char kBoxMimeType[] = "application/x-lanternpost-box";

struct DraggedMails {
  std::string source;
  std::vector<quint64> serials;
};

void EncodeDraggedMails(const DraggedMails& mails, QMimeData& data);
[[nodiscard]] std::optional<DraggedMails> DecodeDraggedMails(const QMimeData& data);

}  // namespace lp
