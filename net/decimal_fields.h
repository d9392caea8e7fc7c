#pragma once

#include <charconv>
#include <cstddef>
#include <string_view>
#include <system_error>

// Reading the small journals that receiving keeps beside its spool: lines of
// blank-separated decimal numbers followed by text.

namespace lp {

// Takes the next decimal number and the one blank after it off the front of
// `text`; false (and `text` unchanged) when there is none.
template <typename Number>
bool TakeNumber(std::string_view& text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() + text.size() || *end != ' ') return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
  return true;
}

}  // namespace lp
