#include "app/instance_message.h"

#include <cstdint>

namespace lp {

std::string EncodeHandOver(std::string_view sjis_command_line) {
  const std::uint32_t size = static_cast<std::uint32_t>(sjis_command_line.size());
  std::string frame;
  for (int shift = 24; shift >= 0; shift -= 8) frame.push_back(static_cast<char>((size >> shift) & 0xFF));
  frame.append(sjis_command_line);
  return frame;
}

std::optional<DecodedHandOver> DecodeHandOver(std::string_view buffer) {
  if (buffer.size() < 4) return std::nullopt;
  std::uint32_t size = 0;
  for (int i = 0; i < 4; ++i) size = (size << 8) | static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
  if (size > kMaxHandOverSize) return DecodedHandOver{std::string(), buffer.size()};
  if (buffer.size() - 4 < size) return std::nullopt;
  return DecodedHandOver{std::string(buffer.substr(4, size)), 4 + static_cast<std::size_t>(size)};
}

}  // namespace lp
