#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

// ASCII case folding for the names and keywords of mail headers, which are
// ASCII by definition; bytes above 0x7F compare as they are.

namespace lp {

[[nodiscard]] constexpr char AsciiToLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] inline std::string AsciiLowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), AsciiToLower);
  return out;
}

[[nodiscard]] constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
  }
  return true;
}

[[nodiscard]] constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// Offset of the first occurrence of `pattern` (ASCII case ignored), or npos.
[[nodiscard]] constexpr std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view pattern,
                                                          std::size_t from = 0) {
  if (pattern.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i + pattern.size() <= text.size(); ++i) {
    if (EqualsIgnoringAsciiCase(text.substr(i, pattern.size()), pattern)) return i;
  }
  return std::string_view::npos;
}

}  // namespace lp
