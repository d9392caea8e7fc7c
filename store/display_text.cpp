#include "store/display_text.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "codec/address_display.h"
#include "codec/ascii_case.h"
#include "codec/japanese_text.h"

namespace lp {
namespace {

// Longer lines are shown in pieces, so that the editor never gets a giant line.
constexpr std::size_t kMaxLineBytes = 1024;
constexpr char kEsc = '\x1b';

constexpr std::array<std::string_view, 6> kKeptHeaders = {"To:",  "From:",    "Date:",
                                                           "Cc:", "Subject:", "Reply-To:"};

constexpr std::array<std::string_view, 4> kAddressHeaders = {"To:", "From:", "Cc:", "Reply-To:"};

// Field names are case-insensitive in mail: "CC:" and "subject:" are shown too.
bool StartsWithOneOf(std::string_view line, std::span<const std::string_view> names) {
  for (std::string_view name : names) {
    if (StartsWithIgnoringAsciiCase(line, name)) return true;
  }
  return false;
}

bool IsKeptHeader(std::string_view line) { return StartsWithOneOf(line, kKeptHeaders); }

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string BuildDisplayText(std::string_view text, HeaderMode mode, int header_setting, int line_limit) {
  bool all = mode == HeaderMode::All || (mode == HeaderMode::FromSetting && header_setting != 0);
  bool kept_header = false;
  // The kept address field being shown: its display names lose their quotes.
  std::optional<AddressDisplayWriter> address_field;
  int line_count = 0;
  std::string result;
  result.reserve(text.size() + text.size() / 32);

  // Text containing ESC counts as JIS; knowing where the last ESC stands
  // answers that for every remainder without scanning it again.
  const std::size_t last_esc = text.rfind(kEsc);
  auto rest_is_jis_or_euc = [&](std::size_t from) {
    if (last_esc != std::string_view::npos && last_esc >= from) return true;
    const JapaneseCode code = DetectJapaneseCode(text.substr(from));
    return code == JapaneseCode::Jis || code == JapaneseCode::Euc;
  };

  std::size_t pos = 0;
  for (;;) {
    const std::size_t crlf = text.find("\r\n", pos);
    if (crlf == std::string_view::npos) break;
    std::size_t length = crlf - pos;
    std::size_t next = crlf + 2;
    if (length > kMaxLineBytes) {
      // Cut at the first ">" outside a JIS escape region within the first
      // 1024 bytes (quoted HTML and mail marks break nicely there); the rest
      // of the line comes next.
      const long gt = FindUnquoted(text.substr(pos, kMaxLineBytes), '>', kEsc);
      length = gt >= 0 ? static_cast<std::size_t>(gt) + 1 : kMaxLineBytes;
      next = pos + length;
    }
    const std::string line = ConvertToSjis(text.substr(pos, length));
    pos = next;

    if (line_limit > 0 && line_count >= line_limit) return result;

    if (length == 0) {
      // The first empty line ends the header; what follows is shown whole.
      all = true;
      result += "\r\n";
      if (rest_is_jis_or_euc(pos)) {
        ++line_count;
        continue;
      }
      result.append(text.substr(pos));
      return result;
    }
    if (all) {
      result += line;
      result += "\r\n";
      ++line_count;
      continue;
    }
    if (mode == HeaderMode::None) continue;
    std::string_view shown = line;
    if (IsKeptHeader(line)) {
      kept_header = true;
      address_field.reset();
      if (StartsWithOneOf(line, kAddressHeaders)) {
        address_field.emplace();
        const std::size_t value = line.find(':') + 1;
        result.append(line, 0, value);
        shown.remove_prefix(value);
      }
    } else if (!(kept_header && !IsAsciiAlnum(line.front()))) {
      kept_header = false;
      continue;
    }
    if (address_field) {
      address_field->Append(shown, result);
    } else {
      result += shown;
    }
    result += "\r\n";
  }

  const std::string_view rest = text.substr(pos);
  if (rest_is_jis_or_euc(pos)) {
    result += ConvertToSjis(rest);
  } else {
    result.append(rest);
  }
  return result;
}

}  // namespace lp
