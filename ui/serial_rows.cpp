#include "ui/serial_rows.h"

#include <unordered_map>

namespace lp {

std::vector<int> RowsOfSerials(const CLPOSTDoc& box, const std::vector<quint64>& serials) {
  std::vector<int> rows(serials.size(), -1);
  if (serials.empty()) return rows;
  // Serial -> positions asked for; a serial may be asked for more than once.
  std::unordered_multimap<quint64, std::size_t> wanted;
  wanted.reserve(serials.size());
  for (std::size_t i = 0; i < serials.size(); ++i) wanted.emplace(serials[i], i);
  for (int row = 0; row < box.Count(); ++row) {
    const auto [first, last] = wanted.equal_range(box.RecordAt(row)->serial);
    for (auto it = first; it != last; ++it) rows[it->second] = row;
  }
  return rows;
}

}  // namespace lp
