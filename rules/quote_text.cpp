#include "rules/quote_text.h"

namespace lp {

std::string QuoteText(std::string_view text, std::string_view mark) {
  std::string quoted;
  quoted.reserve(text.size() + text.size() / 16 * mark.size() + mark.size());
  std::size_t position = 0;
  while (position < text.size()) {
    const std::size_t end = text.find("\r\n", position);
    quoted += mark;
    if (end == std::string_view::npos) {
      quoted += text.substr(position);
      break;
    }
    quoted += text.substr(position, end - position + 2);
    position = end + 2;
  }
  return quoted;
}

}  // namespace lp
