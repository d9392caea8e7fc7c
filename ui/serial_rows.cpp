#include "ui/serial_rows.h"

namespace lp {

std::vector<int> RowsOfSerials(const CLPOSTDoc& box, const std::vector<quint64>& serials) {
  const std::vector<std::uint64_t> wanted(serials.begin(), serials.end());
  return box.RowsOfSerials(wanted);
}

}  // namespace lp
