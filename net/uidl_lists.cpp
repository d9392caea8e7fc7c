#include "net/uidl_lists.h"

#include <unordered_set>

namespace lp {
namespace {

// Calls `line_fn` with each line (without CR LF) that begins with a digit.
template <typename LineFn>
void ForEachCountedLine(std::string_view text, LineFn line_fn) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (!line.empty() && line.front() >= '0' && line.front() <= '9') line_fn(line);
  }
}

std::string_view UidOf(std::string_view line) {
  const std::size_t space = line.find(' ');
  return space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
}

}  // namespace

std::vector<std::string> ParseUidlList(std::string_view text) {
  std::vector<std::string> uids;
  ForEachCountedLine(text, [&](std::string_view line) { uids.emplace_back(UidOf(line)); });
  return uids;
}

bool UidlListIsWellFormed(std::string_view text) {
  bool well_formed = true;
  ForEachCountedLine(text, [&](std::string_view line) {
    const std::string_view uid = UidOf(line);
    if (uid.empty() || uid.size() > kMaxUidLength) well_formed = false;
    for (const char c : uid) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x21 || byte > 0x7E) well_formed = false;
    }
  });
  return well_formed;
}

std::vector<int> NewUidPositions(const std::vector<std::string>& received, const std::vector<std::string>& current) {
  const std::unordered_set<std::string> known(received.begin(), received.end());
  std::vector<int> positions;
  for (std::size_t i = 0; i < current.size(); ++i) {
    if (known.count(current[i]) == 0) positions.push_back(static_cast<int>(i + 1));
  }
  return positions;
}

std::string ReceivedUidLine(int number, std::string_view uid) {
  std::string line = std::to_string(number);
  line += ' ';
  line.append(uid);
  line += '\n';
  return line;
}

}  // namespace lp
