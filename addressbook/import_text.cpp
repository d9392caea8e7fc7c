#include "addressbook/import_text.h"

#include <algorithm>

#include "platform/code_page.h"

namespace lp {
namespace {

std::u16string Utf16Units(std::string_view bytes, bool little_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(little_endian ? first | (second << 8) : (first << 8) | second));
  }
  return units;
}

}  // namespace

bool IsNonAsciiUtf8(std::string_view text) {
  bool non_ascii = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
    } else if (lead >= 0xE0) {
      length = lead <= 0xEF ? 3 : 0;
    } else if (lead >= 0xC2) {
      length = 2;
    } else if (lead >= 0x80) {
      length = 0;
    }
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    non_ascii = non_ascii || length > 1;
    i += length;
  }
  return non_ascii;
}

std::string DecodeImportText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  const bool utf16_le = bytes.starts_with("\xFF\xFE");
  if (utf16_le || bytes.starts_with("\xFE\xFF")) return Cp932ToUtf8(Utf16ToCp932(Utf16Units(bytes.substr(2), utf16_le)));
  if (IsNonAsciiUtf8(bytes)) return std::string(bytes);
  return Cp932ToUtf8(bytes);
}

bool CardToShiftJis(std::vector<std::string>& card) {
  bool lossy = false;
  for (std::string& text : card) {
    std::string sjis = Utf8ToCp932(text);
    lossy = lossy || std::count(sjis.begin(), sjis.end(), '?') > std::count(text.begin(), text.end(), '?');
    text = std::move(sjis);
  }
  return lossy;
}

}  // namespace lp
