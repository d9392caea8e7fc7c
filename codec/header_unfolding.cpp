#include "codec/header_unfolding.h"


namespace lp {

bool IsHeaderContinuation(std::string_view line) {
  return !line.empty() && (line.front() == ' ' || line.front() == '\t' || line.find(':') == std::string_view::npos);
}

void AppendUnfolded(std::string& value, std::string_view line, std::size_t max_bytes) {
  if (value.size() >= max_bytes) return;
  value.append(line.substr(0, max_bytes - value.size()));
}

std::string_view WithoutLeadingBlanks(std::string_view line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

}  // namespace lp
