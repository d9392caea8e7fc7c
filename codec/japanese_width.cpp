// The width commands: half-width katakana to full-width, and full-width
// characters to their single-byte forms.

#include <cstdint>

#include "codec/japanese_chars.h"
#include "codec/japanese_text.h"

namespace lp {
namespace {

void AppendCode(std::string& out, std::uint16_t code) {
  out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace

int HalfKanaToFull(std::string_view text, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  std::string result;
  result.reserve(text.size() * 2);
  int count = 0;
  while (p < end) {
    const japanese::Char ch = japanese::CharAt(p, end);
    if (ch.length == 1 && IsHalfWidthKana(p[0])) {
      if (end - p >= 2) {
        if (std::uint16_t voiced = japanese::VoicedFromHalf(p[0], p[1]); voiced != 0) {
          AppendCode(result, voiced);
          ++count;
          p += 2;
          continue;
        }
      }
      AppendCode(result, japanese::FullWidthOf(p[0]));
      ++count;
      ++p;
      continue;
    }
    result.append(reinterpret_cast<const char*>(p), ch.length);
    p += ch.length;
  }
  out = std::move(result);
  return count;
}

int FullToHalf(std::string_view text, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  std::string result;
  result.reserve(text.size());
  int count = 0;
  while (p < end) {
    const japanese::Char ch = japanese::CharAt(p, end);
    p += ch.length;
    if (ch.length == 2) {
      if (japanese::IsFullKatakana(ch.code) || japanese::IsHiragana(ch.code)) {
        if (const japanese::VoicedKana* row = japanese::FindVoiced(ch.code)) {
          result.push_back(static_cast<char>(row->half));
          result.push_back(static_cast<char>(row->mark));
          ++count;
          continue;
        }
      }
      if (unsigned char half = japanese::HalfWidthOf(ch.code); half != 0) {
        result.push_back(static_cast<char>(half));
        ++count;
        continue;
      }
      // Dash and arithmetic signs that have an ASCII look-alike.
      switch (ch.code) {
        case 0x815D:  // ‐
          result.push_back('-');
          continue;
        case 0x817E:  // ×
          result.push_back('*');
          continue;
        case 0x8180:  // ÷
          result.push_back('/');
          continue;
        default:
          break;
      }
    }
    result.append(reinterpret_cast<const char*>(p - ch.length), ch.length);
  }
  out = std::move(result);
  return count;
}

}  // namespace lp
