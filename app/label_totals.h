#pragma once

#include <array>

#include "store/mailbox_document.h"

// "ラベル別集計": how many mails of a box carry each label, and how many of
// those are unread. Index 0 counts the mails without a label; a label
// number out of range counts as none.

namespace lp {

struct LabelTotal {
  int mails = 0;
  int unread = 0;
};

using LabelTotals = std::array<LabelTotal, kMaxLabel + 1>;

[[nodiscard]] LabelTotals CountMailsByLabel(const CLPOSTDoc& box);

}  // namespace lp
