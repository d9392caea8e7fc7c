#include "codec/byte_forms.h"

#include <cstddef>

namespace lp {
namespace {

bool IsSjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsSjisTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }
bool IsEucByte(unsigned char c) { return c >= 0xA1 && c <= 0xFE; }

unsigned char At(std::string_view bytes, std::size_t i) { return static_cast<unsigned char>(bytes[i]); }

}  // namespace

bool IsWellFormedShiftJis(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = At(bytes, i);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
    if (!IsSjisLead(c) || i + 1 >= bytes.size() || !IsSjisTrail(At(bytes, i + 1))) return false;
    ++i;
  }
  return true;
}

bool IsWellFormedEucJp(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = At(bytes, i);
    if (c < 0x80) continue;
    if (c == 0x8E) {
      if (i + 1 >= bytes.size() || At(bytes, i + 1) < 0xA1 || At(bytes, i + 1) > 0xDF) return false;
      ++i;
    } else if (c == 0x8F) {
      if (i + 2 >= bytes.size() || !IsEucByte(At(bytes, i + 1)) || !IsEucByte(At(bytes, i + 2))) return false;
      i += 2;
    } else {
      if (!IsEucByte(c) || i + 1 >= bytes.size() || !IsEucByte(At(bytes, i + 1))) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace lp
