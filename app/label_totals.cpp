#include "app/label_totals.h"

namespace lp {

LabelTotals CountMailsByLabel(const CLPOSTDoc& box) {
  LabelTotals totals{};
  for (int row = 0; row < box.Count(); ++row) {
    const CMail* mail = box.RecordAt(row);
    if (mail == nullptr) continue;
    const int label = mail->label >= 0 && mail->label <= kMaxLabel ? mail->label : 0;
    LabelTotal& total = totals[static_cast<std::size_t>(label)];
    ++total.mails;
    if (mail->status == kStatusUnread) ++total.unread;
  }
  return totals;
}

}  // namespace lp
