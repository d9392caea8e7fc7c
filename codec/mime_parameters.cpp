#include "codec/mime_parameters.h"

#include <algorithm>
#include <map>

#include "codec/ascii_case.h"
#include "codec/encoded_words.h"
#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"

namespace lp {
namespace {

// RFC 2231 continuations beyond this are ignored: a name never needs more,
// and a hostile header cannot make the join grow without end.
constexpr int kMaxContinuations = 256;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiToLower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// Bytes in `charset` as Shift_JIS. The encoded-word decoder knows every
// charset this program reads, so the bytes go through it as one B word.
std::string CharsetBytesToSjis(std::string_view charset, const std::string& bytes) {
  if (charset.empty() || bytes.empty()) return ConvertToSjis(bytes);
  const std::string word = "=?" + std::string(charset) + "?B?" + Base64EncodeBlock(bytes) + "?=";
  std::string decoded = DecodeEncodedWords(word);
  if (decoded == word) return ConvertToSjis(bytes);  // a charset name the decoder refused
  return decoded;
}

// RFC 2231: "attr*" alone, or "attr*0", "attr*0*", "attr*1" ... in order.
std::optional<std::string> ExtendedValue(const std::vector<MimeParameter>& parameters,
                                         std::string_view attribute) {
  const std::string single = std::string(attribute) + "*";
  std::map<int, const MimeParameter*> pieces;
  const MimeParameter* whole = nullptr;
  for (const MimeParameter& parameter : parameters) {
    const std::string& name = parameter.attribute;
    if (name == single) {
      if (whole == nullptr) whole = &parameter;
      continue;
    }
    if (!name.starts_with(single)) continue;
    std::string_view number(name);
    number.remove_prefix(single.size());
    if (number.ends_with('*')) number.remove_suffix(1);
    if (number.empty() || number.size() > 3 || !std::all_of(number.begin(), number.end(), [](char c) {
          return c >= '0' && c <= '9';
        })) {
      continue;
    }
    const int index = std::stoi(std::string(number));
    if (index < kMaxContinuations) pieces.emplace(index, &parameter);
  }
  std::string charset;
  std::string bytes;
  auto add = [&](const MimeParameter& parameter, bool first) {
    const bool encoded = parameter.attribute.ends_with('*');
    std::string_view value = parameter.value;
    if (encoded && first) {
      // charset'language'text
      const std::size_t quote1 = value.find('\'');
      const std::size_t quote2 = quote1 == std::string_view::npos ? quote1 : value.find('\'', quote1 + 1);
      if (quote2 != std::string_view::npos) {
        charset = std::string(value.substr(0, quote1));
        value.remove_prefix(quote2 + 1);
      }
    }
    bytes += encoded ? PercentDecoded(value) : std::string(value);
  };
  if (whole != nullptr) {
    add(*whole, true);
  } else {
    if (pieces.empty() || pieces.begin()->first != 0) return std::nullopt;
    int expected = 0;
    for (const auto& [index, parameter] : pieces) {
      if (index != expected) break;  // a gap ends the value
      add(*parameter, index == 0);
      ++expected;
    }
  }
  return CharsetBytesToSjis(charset, bytes);
}

}  // namespace

std::string ExtractBoundary(std::string_view line) {
  std::string value;
  const std::size_t quoted = FindIgnoringAsciiCase(line, "boundary=\"");
  if (quoted != std::string_view::npos) {
    const std::size_t start = quoted + 10;
    const std::size_t end = line.find('"', start);
    if (end != std::string_view::npos) value = std::string(line.substr(start, end - start));
  } else if (const std::size_t plain = FindIgnoringAsciiCase(line, "boundary="); plain != std::string_view::npos) {
    std::string_view rest = line.substr(plain + 9);
    // A token ends at ";" or a blank (RFC 2045); what follows is the next
    // parameter, never part of the delimiter.
    const std::size_t end = rest.find_first_of("; \t");
    if (end != std::string_view::npos) rest = rest.substr(0, end);
    value = std::string(rest);
  }
  return "--" + value;
}

std::string ExtractParameter(std::string_view line, std::string_view name) {
  const std::string key = std::string(name) + "=";
  const std::size_t at = FindIgnoringAsciiCase(line, key);
  if (at == std::string_view::npos) return {};
  std::string_view value = line.substr(at + key.size());
  value = value.substr(0, value.find(';'));
  if (!value.empty() && value.front() == '"') {
    value.remove_prefix(1);
    if (!value.empty()) value.remove_suffix(1);
  }
  return std::string(value);
}

std::vector<MimeParameter> ParseMimeParameters(std::string_view field_value) {
  std::vector<MimeParameter> parameters;
  std::size_t i = field_value.find(';');
  while (i != std::string_view::npos && i < field_value.size()) {
    ++i;  // past ";"
    const std::size_t equals = field_value.find('=', i);
    const std::size_t next_semicolon = field_value.find(';', i);
    if (equals == std::string_view::npos) break;
    if (next_semicolon < equals) {  // a parameter without "=": skip it
      i = next_semicolon;
      continue;
    }
    MimeParameter parameter;
    parameter.attribute = AsciiLowered(Trimmed(field_value.substr(i, equals - i)));
    std::size_t j = equals + 1;
    while (j < field_value.size() && IsBlank(field_value[j])) ++j;
    if (j < field_value.size() && field_value[j] == '"') {
      parameter.quoted = true;
      ++j;
      while (j < field_value.size() && field_value[j] != '"') {
        if (field_value[j] == '\\' && j + 1 < field_value.size()) ++j;
        parameter.value += field_value[j];
        ++j;
      }
      i = field_value.find(';', j);
    } else {
      const std::size_t end = field_value.find(';', j);
      parameter.value = std::string(Trimmed(field_value.substr(j, end == std::string_view::npos ? end : end - j)));
      i = end;
    }
    if (!parameter.attribute.empty()) parameters.push_back(std::move(parameter));
  }
  return parameters;
}

std::string MediaTypeOf(std::string_view field_value) {
  std::string_view type = Trimmed(field_value.substr(0, field_value.find(';')));
  if (type.find('/') == std::string_view::npos) return {};
  return AsciiLowered(type);
}

std::optional<std::string> FileNameParameter(std::string_view field_value, std::string_view attribute,
                                             bool require_quotes) {
  const std::vector<MimeParameter> parameters = ParseMimeParameters(field_value);
  if (std::optional<std::string> extended = ExtendedValue(parameters, attribute)) return extended;
  for (const MimeParameter& parameter : parameters) {
    if (parameter.attribute != attribute) continue;
    if (require_quotes && !parameter.quoted) return std::string();
    return ConvertToSjis(DecodeEncodedWords(parameter.value));
  }
  return std::nullopt;
}

}  // namespace lp
