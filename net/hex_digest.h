#pragma once

#include <cstddef>
#include <string>

// Digests travel as lower-case hexadecimal (APOP, CRAM-MD5).

namespace lp {

[[nodiscard]] inline std::string LowerHex(const unsigned char* bytes, std::size_t length) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace lp
