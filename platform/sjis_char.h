#pragma once

// Byte classes of Shift_JIS (code page 932), shared by the path helpers of
// this layer and the text layer above it.

namespace lp {

[[nodiscard]] constexpr bool IsSjisLeadByte(unsigned char c) noexcept {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

[[nodiscard]] constexpr bool IsSjisTrailByte(unsigned char c) noexcept {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Half-width katakana and kana punctuation (JIS X 0201 right half).
[[nodiscard]] constexpr bool IsHalfWidthKana(unsigned char c) noexcept {
  return c >= 0xA1 && c <= 0xDF;
}

}  // namespace lp
