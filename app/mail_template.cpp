#include "app/mail_template.h"

#include <array>
#include <cstddef>

#include "codec/ascii_case.h"
#include "store/fixed_boxes.h"

namespace lp {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Calls `take` with each line of `bytes`, its LF and any CR before it
// removed. A last line without LF counts; a final LF starts no line.
template <typename Take>
void ForEachLine(std::string_view bytes, Take take) {
  std::size_t position = 0;
  while (position < bytes.size()) {
    std::size_t end = bytes.find('\n', position);
    const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(position, end - position);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    take(line);
    position = next;
  }
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

}  // namespace

MailTemplate ParseMailTemplate(std::string_view bytes, std::string_view path) {
  MailTemplate result;
  result.subject = BoxDisplayName(path);
  const std::array<std::pair<std::string_view, std::optional<std::string>*>, 4> optional_fields = {{
      {"To:", &result.to},
      {"Cc:", &result.cc},
      {"Bcc:", &result.bcc},
      {"Attach:", &result.attach},
  }};
  bool body_started = false;
  ForEachLine(bytes, [&](std::string_view raw) {
    const std::string_view line = WithoutTrailingBlanks(raw);
    if (StartsWithIgnoringAsciiCase(line, "Subject:")) {
      result.subject = WithoutLeadingBlanks(line.substr(8));
      return;
    }
    for (const auto& [name, field] : optional_fields) {
      if (StartsWithIgnoringAsciiCase(line, name)) {
        *field = std::string(WithoutLeadingBlanks(line.substr(name.size())));
        return;
      }
    }
    if (line.empty() && !body_started) return;
    body_started = true;
    result.body += line;
    result.body += "\r\n";
  });
  return result;
}

std::string FormatMailTemplate(const TemplateFields& fields) {
  std::string out;
  const std::array<std::pair<std::string_view, const std::string*>, 5> lines = {{
      {"To:", &fields.to},
      {"Subject:", &fields.subject},
      {"Cc:", &fields.cc},
      {"Bcc:", &fields.bcc},
      {"Attach:", &fields.attach},
  }};
  for (const auto& [name, value] : lines) {
    if (value->empty()) continue;
    out += name;
    out += *value;
    out += "\r\n";
  }
  out += "\r\n";
  out += fields.body;
  out += "\r\n";
  return out;
}

std::string TextFileForInsertion(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 32);
  bool first = true;
  ForEachLine(bytes, [&](std::string_view line) {
    if (!first) out += "\r\n";
    first = false;
    out += line;
  });
  return out;
}

}  // namespace lp
