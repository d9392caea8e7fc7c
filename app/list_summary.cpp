#include "app/list_summary.h"

#include <array>

namespace lp {
namespace {

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() && line.substr(0, prefix.size()) == prefix;
}

bool IsRepeatedHeaderLine(std::string_view line) {
  constexpr std::array<std::string_view, 5> kPrefixes = {"To:", "Subject:", "From:", "Date:", "Cc:"};
  for (const std::string_view prefix : kPrefixes) {
    if (StartsWith(line, prefix)) return true;
  }
  return false;
}

}  // namespace

std::string ListSummaryOf(std::string_view text) {
  std::string summary;
  int kept = 0;
  while (!text.empty() && kept < kSummaryLineCount) {
    // Line ends are bytes below 0x40, never a Shift_JIS trail byte.
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || IsRepeatedHeaderLine(line)) continue;
    if (kept > 0) summary += "\r\n";
    summary.append(line);
    ++kept;
  }
  return summary;
}

}  // namespace lp
