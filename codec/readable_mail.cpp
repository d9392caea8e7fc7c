#include "codec/readable_mail.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "codec/ascii_case.h"
#include "codec/codec_messages.h"
#include "codec/html_text.h"
#include "codec/japanese_text.h"

namespace lp {
namespace {

constexpr std::string_view kCrLf = "\r\n";

enum class BodyKind { Other, Multipart, Html };

// One line of a text, without its CR LF, and where it starts.
struct Line {
  std::size_t start;
  std::string_view text;
};

std::vector<Line> LinesOf(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(kCrLf, pos);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back({pos, text.substr(pos, end - pos)});
    pos = end + kCrLf.size();
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view WithoutLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

bool IsBlankLine(std::string_view line) { return WithoutLeadingBlanks(line).empty(); }

// The kind of body the header's Content-Type field announces.
BodyKind KindOf(std::string_view header) {
  std::string content_type;
  bool in_field = false;
  for (const Line& line : LinesOf(header)) {
    if (in_field && !line.text.empty() && IsBlank(line.text.front())) {
      content_type += line.text;
      continue;
    }
    in_field = StartsWithIgnoringAsciiCase(line.text, "Content-Type:");
    if (in_field) content_type = line.text.substr(13);
  }
  const std::string value = AsciiLowered(WithoutLeadingBlanks(content_type));
  if (value.starts_with("multipart/")) return BodyKind::Multipart;
  if (value.starts_with("text/html")) return BodyKind::Html;
  return BodyKind::Other;
}

// The body in Shift_JIS, converted line by line as the display converts a
// JIS or EUC-JP body.
std::string BodyInSjis(std::string_view body) {
  const JapaneseCode code = DetectJapaneseCode(body);
  if (body.find('\x1b') == std::string_view::npos && code != JapaneseCode::Jis && code != JapaneseCode::Euc) {
    return std::string(body);
  }
  std::string out;
  out.reserve(body.size());
  const std::vector<Line> lines = LinesOf(body);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += kCrLf;
    out += ConvertToSjis(lines[i].text);
  }
  return out;
}

bool StartsWithTag(std::string_view text, std::string_view name) {
  if (text.size() < name.size() + 1 || text.front() != '<') return false;
  if (!EqualsIgnoringAsciiCase(text.substr(1, name.size()), name)) return false;
  if (text.size() == name.size() + 1) return true;
  const char next = text[name.size() + 1];
  return next == '>' || next == '/' || IsBlank(next);
}

// Tags an HTML part of a mail commonly starts with when it has no HTML
// element of its own.
constexpr std::array<std::string_view, 16> kCommonFirstTags = {
    "head", "body", "div", "p", "table", "meta", "style", "span", "font", "center", "blockquote", "br", "ul", "ol",
    "pre", "h1"};

bool StartsDocument(std::string_view line) {
  line = WithoutLeadingBlanks(line);
  return StartsWithIgnoringAsciiCase(line, "<!DOCTYPE html") || StartsWithTag(line, "html");
}

bool StartsWithCommonTag(std::string_view line) {
  line = WithoutLeadingBlanks(line);
  for (const std::string_view name : kCommonFirstTags) {
    if (StartsWithTag(line, name)) return true;
  }
  return false;
}

// A note the analysis wrote for a saved attachment: "★添付ファイル NAME
// を受信しました" and the rest of its line.
bool IsAttachmentNoteAt(std::string_view text, std::size_t pos) {
  const std::string_view before = spool_messages::kAttachmentSavedBefore;
  if (text.substr(pos, before.size()) != before) return false;
  const std::size_t line_end = text.find(kCrLf, pos);
  const std::string_view line = text.substr(pos, line_end == std::string_view::npos ? std::string_view::npos
                                                                                      : line_end - pos);
  // " を受信しました" without its line ends (the note of a renamed part
  // goes on with "。").
  const std::string_view after = spool_messages::kAttachmentSavedAfter;
  const std::string_view received = after.substr(0, after.find(kCrLf));
  return FindJapaneseText(line.substr(before.size()), received, 0) >= 0;
}

std::optional<std::size_t> FirstNoteLine(const std::vector<Line>& lines, std::size_t from_line) {
  for (std::size_t i = from_line; i < lines.size(); ++i) {
    if (IsAttachmentNoteAt(lines[i].text, 0)) return i;
  }
  return std::nullopt;
}

// Where the HTML version lies in the body: [start, end).
struct HtmlSpan {
  std::size_t start;
  std::size_t end;
};

std::optional<HtmlSpan> FindHtml(std::string_view body, BodyKind kind) {
  const std::vector<Line> lines = LinesOf(body);
  std::optional<std::size_t> first_line;
  for (std::size_t i = 0; i < lines.size() && !first_line; ++i) {
    if (StartsDocument(lines[i].text)) first_line = i;
  }
  bool whole_document = first_line.has_value();
  if (!first_line && kind == BodyKind::Html) first_line = 0;
  if (!first_line) {
    for (std::size_t i = 0; i < lines.size() && !first_line; ++i) {
      if (StartsWithCommonTag(lines[i].text)) first_line = i;
    }
  }
  if (!first_line) return std::nullopt;
  const std::size_t start = lines[*first_line].start + (lines[*first_line].text.size() -
                                                        WithoutLeadingBlanks(lines[*first_line].text).size());

  if (whole_document) {
    std::size_t length = 0;
    const long close = FindJapaneseText(body.substr(start), "</html>", IgnoreCase, &length);
    if (close >= 0) return HtmlSpan{start, start + static_cast<std::size_t>(close) + length};
  }
  // Up to the notes of saved attachments, else to the end.
  const std::optional<std::size_t> note = FirstNoteLine(lines, *first_line + 1);
  std::size_t end = note ? lines[*note].start : body.size();
  if (kind == BodyKind::Html || whole_document) return HtmlSpan{start, end};

  // A part found by its first tag alone must also end like markup, so that
  // a text that only mentions a tag keeps its lines.
  std::string_view span = body.substr(start, end - start);
  while (!span.empty() && (span.back() == '\r' || span.back() == '\n' || IsBlank(span.back()))) span.remove_suffix(1);
  if (span.empty() || span.back() != '>' || span.find("</") == std::string_view::npos) return std::nullopt;
  return HtmlSpan{start, end};
}

// A line a mail program writes before the first part for readers that do
// not know MIME ("This is a multi-part message in MIME format.").
bool IsPreambleLine(std::string_view line) {
  if (!IsPlain7Bit(line)) return false;
  return FindIgnoringAsciiCase(line, "MIME") != std::string_view::npos ||
         FindIgnoringAsciiCase(line, "multi-part") != std::string_view::npos ||
         FindIgnoringAsciiCase(line, "multipart") != std::string_view::npos;
}

// Lines that carry nothing of a text version.
bool IsFillerLine(std::string_view line) {
  return IsBlankLine(line) || IsPreambleLine(line) || IsAttachmentNoteAt(line, 0);
}

bool HoldsText(std::string_view text) {
  for (const Line& line : LinesOf(text)) {
    if (!IsFillerLine(line.text)) return true;
  }
  return false;
}

// The text version without the blank and preamble lines before it.
std::string_view WithoutPreamble(std::string_view text) {
  for (const Line& line : LinesOf(text)) {
    if (!IsBlankLine(line.text) && !IsPreambleLine(line.text)) return text.substr(line.start);
  }
  return {};
}

std::string_view WithoutEmptyLinesAtEnd(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || IsBlank(text.back()))) text.remove_suffix(1);
  return text;
}

std::string_view WithoutEmptyLinesAtStart(std::string_view text) {
  while (true) {
    const std::size_t end = text.find(kCrLf);
    if (end == std::string_view::npos || !IsBlankLine(text.substr(0, end))) return text;
    text.remove_prefix(end + kCrLf.size());
  }
}

// Every note of a saved attachment starts a line of its own.
std::string NotesOnLinesOfTheirOwn(std::string_view body) {
  std::string out;
  out.reserve(body.size() + 16);
  const std::string_view before = spool_messages::kAttachmentSavedBefore;
  std::size_t pos = 0;
  for (long found = FindJapaneseText(body, before, 0); found >= 0;) {
    const std::size_t at = pos + static_cast<std::size_t>(found);
    out.append(body.substr(pos, at - pos));
    if (at > 0 && body[at - 1] != '\n' && IsAttachmentNoteAt(body, at)) out += kCrLf;
    out.append(before);
    pos = at + before.size();
    found = FindJapaneseText(body.substr(pos), before, 0);
  }
  out.append(body.substr(pos));
  return out;
}

}  // namespace

std::string ReadableMailText(std::string_view stored_text) {
  const std::size_t header_end = stored_text.starts_with(kCrLf) ? 0 : stored_text.find("\r\n\r\n");
  if (header_end == std::string_view::npos) return std::string(stored_text);
  const std::size_t body_start = header_end + (header_end == 0 ? 2 : 4);
  const std::string_view header = stored_text.substr(0, header_end);
  const BodyKind kind = KindOf(header);
  if (kind == BodyKind::Other) return std::string(stored_text);

  const std::string_view stored_body = stored_text.substr(body_start);
  const std::string converted = BodyInSjis(stored_body);
  const std::string body = kind == BodyKind::Multipart ? NotesOnLinesOfTheirOwn(converted) : converted;
  const std::optional<HtmlSpan> html = FindHtml(body, kind);
  if (!html) {
    if (body == stored_body) return std::string(stored_text);
    return std::string(stored_text.substr(0, body_start)) + body;
  }

  const std::string_view text_before = std::string_view(body).substr(0, html->start);
  const std::string_view after = WithoutEmptyLinesAtStart(std::string_view(body).substr(html->end));
  std::string readable;
  if (HoldsText(text_before)) {
    readable = WithoutEmptyLinesAtEnd(WithoutPreamble(text_before));
  } else {
    readable = HtmlToText(std::string_view(body).substr(html->start, html->end - html->start));
  }
  std::string result(stored_text.substr(0, body_start));
  result += readable;
  if (!WithoutEmptyLinesAtEnd(after).empty()) {
    result += "\r\n\r\n";
    result += after;
  }
  return result;
}

}  // namespace lp
