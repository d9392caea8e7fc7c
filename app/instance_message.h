#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What a second start hands to the running instance of the same data
// directory: its command line (switches or a "mailto:" URL, Shift_JIS),
// framed as a 4-byte big-endian length and the bytes. The running instance
// answers with one byte, kHandOverAccepted.

namespace lp {

inline constexpr char kHandOverAccepted = '1';
// Longer command lines are refused rather than read without bound.
inline constexpr std::size_t kMaxHandOverSize = 64 * 1024;

[[nodiscard]] std::string EncodeHandOver(std::string_view sjis_command_line);

struct DecodedHandOver {
  std::string command_line;
  std::size_t consumed = 0;  // bytes of the buffer the frame took
};
// The first complete frame of `buffer`; nullopt while it is incomplete.
// A frame announcing more than kMaxHandOverSize gives an empty command line
// that consumes the whole buffer.
[[nodiscard]] std::optional<DecodedHandOver> DecodeHandOver(std::string_view buffer);

}  // namespace lp
