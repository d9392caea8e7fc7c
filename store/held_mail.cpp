#include "store/held_mail.h"

#include <algorithm>

namespace lp {

HeldMail HeldMail::AtRow(BoxHandle box, int row) {
  const CMail* mail = box ? box->RecordAt(row) : nullptr;
  const std::uint64_t serial = mail != nullptr ? mail->serial : 0;
  return HeldMail(std::move(box), serial);
}

int HeldMail::Row() const { return box_ && serial_ != 0 ? box_->IndexOfSerial(serial_) : -1; }

CMail* HeldMail::Record() const { return box_ ? box_->RecordAt(Row()) : nullptr; }

HeldMails::HeldMails(const CLPOSTDoc& box, std::span<const int> rows) {
  serials_.reserve(rows.size());
  for (const int row : rows) {
    if (const CMail* mail = box.RecordAt(row)) serials_.push_back(mail->serial);
  }
}

std::vector<int> HeldMails::Rows(const CLPOSTDoc& box) const {
  std::vector<int> rows = box.RowsOfSerials(serials_);
  std::erase(rows, -1);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

}  // namespace lp
