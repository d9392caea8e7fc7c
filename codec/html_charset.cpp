#include "codec/html_charset.h"

#include <cstddef>

#include "codec/ascii_case.h"

// "<", ">" and the quotes lie below 0x40, where no Shift_JIS trail byte
// does: the bytes are scanned one by one.

namespace lp {
namespace {

bool EndsName(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return true;
  const char c = text[pos];
  return !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-');
}

// The offset of the next start tag `name` from `from`, or npos.
std::size_t FindStartTag(std::string_view html, std::string_view name, std::size_t from) {
  for (std::size_t at = html.find('<', from); at != std::string_view::npos; at = html.find('<', at + 1)) {
    if (EqualsIgnoringAsciiCase(html.substr(at + 1, name.size()), name) && EndsName(html, at + 1 + name.size())) {
      return at;
    }
  }
  return std::string_view::npos;
}

// Just past the ">" that ends the tag at `start` (quoted values skipped);
// the end of the text when it has none.
std::size_t TagEnd(std::string_view html, std::size_t start) {
  char quote = 0;
  for (std::size_t i = start + 1; i < html.size(); ++i) {
    const char c = html[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return html.size();
}

}  // namespace

std::string DeclaringShiftJis(std::string_view html) {
  std::string out;
  out.reserve(html.size() + kShiftJisDeclaration.size() + 2);
  std::size_t pos = 0;
  for (std::size_t meta = FindStartTag(html, "meta", 0); meta != std::string_view::npos;
       meta = FindStartTag(html, "meta", pos)) {
    const std::size_t end = TagEnd(html, meta);
    out.append(html.substr(pos, meta - pos));
    // <meta charset=...> and <meta http-equiv="Content-Type" content="...; charset=...">.
    if (FindIgnoringAsciiCase(html.substr(meta, end - meta), "charset") == std::string_view::npos) {
      out.append(html.substr(meta, end - meta));
    }
    pos = end;
  }
  out.append(html.substr(pos));

  std::size_t tag = FindStartTag(out, "head", 0);
  if (tag == std::string::npos) tag = FindStartTag(out, "html", 0);
  const std::size_t at = tag == std::string::npos ? 0 : TagEnd(out, tag);
  out.insert(at, std::string(kShiftJisDeclaration));
  return out;
}

}  // namespace lp
