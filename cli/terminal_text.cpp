#include "cli/terminal_text.h"

#include "platform/code_page.h"

namespace lp {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool IsLayoutControl(unsigned char c) { return c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string TerminalSafeUtf8(std::string_view utf8, LineBreaks breaks) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (IsLayoutControl(c)) {
      out += breaks == LineBreaks::Keep ? static_cast<char>(c) : ' ';
    } else if (c < 0x20 || c == 0x7F) {
      out += kReplacementUtf8;
    } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      // U+0080..U+009F are the two bytes C2 80..C2 9F.
      out += kReplacementUtf8;
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string TerminalSafeSjis(std::string_view sjis) {
  std::string out(sjis);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && !IsLayoutControl(byte)) || byte == 0x7F) c = '?';
  }
  return out;
}

std::string TerminalSafeFromSjis(std::string_view sjis, LineBreaks breaks) {
  return TerminalSafeUtf8(Cp932ToUtf8(sjis), breaks);
}

}  // namespace lp
