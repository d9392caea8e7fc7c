// UTF-8 and UTF-7 input, converted to Shift_JIS through the code-page layer.

#include <cstdint>
#include <string>
#include <string_view>

#include "codec/japanese_text.h"
#include "platform/code_page.h"

namespace lp {
namespace {

// Base64 value of a UTF-7 shifted-run character, or -1.
int Base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Decodes a shifted run: groups of four characters give three bytes, a short
// last group its whole bytes; the bytes are big-endian UTF-16 units (an odd
// last byte is an incomplete unit and dropped).
std::u16string DecodeShiftedRun(std::string_view run) {
  std::string bytes;
  bytes.reserve(run.size() * 3 / 4 + 3);
  std::uint32_t bits = 0;
  int bit_count = 0;
  for (unsigned char c : run) {
    bits = (bits << 6) | static_cast<std::uint32_t>(Base64Value(c));
    bit_count += 6;
    if (bit_count >= 8) {
      bit_count -= 8;
      bytes.push_back(static_cast<char>((bits >> bit_count) & 0xFF));
    }
  }
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) << 8 |
                                          static_cast<unsigned char>(bytes[i + 1])));
  }
  return units;
}

}  // namespace

std::string Utf8ToSjis(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return Utf8ToCp932(text);
}

std::string Utf7ToSjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '+') {
      std::size_t next = text.find('+', i);
      if (next == std::string_view::npos) next = text.size();
      out.append(text.substr(i, next - i));
      i = next;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '-') {  // "+-" is a plus sign
      out.push_back('+');
      i += 2;
      continue;
    }
    std::size_t start = ++i;
    while (i < text.size() && Base64Value(static_cast<unsigned char>(text[i])) >= 0) ++i;
    out += Utf16ToCp932(DecodeShiftedRun(text.substr(start, i - start)));
    if (i < text.size() && text[i] == '-') ++i;  // the run's closing "-" is absorbed
  }
  return out;
}

}  // namespace lp
