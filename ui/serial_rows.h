#pragma once

#include <QtGlobal>
#include <vector>

#include "store/mailbox_document.h"

namespace lp {

// The list row of each serial (-1 where the box no longer holds it), found
// in one pass over the box however many serials are asked for.
[[nodiscard]] std::vector<int> RowsOfSerials(const CLPOSTDoc& box, const std::vector<quint64>& serials);

}  // namespace lp
