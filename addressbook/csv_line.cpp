#include "addressbook/csv_line.h"

#include "codec/japanese_chars.h"

namespace lp {
namespace {

constexpr char kStoredBreak[] = "\x01\x02";

// Offset of the double quote that closes a quoted field whose text starts at
// `from`, or npos. "," and '"' are below every trail byte, so a plain byte
// search never stops inside a double-byte character.
std::size_t FindClosingQuote(std::string_view line, std::size_t from) {
  for (std::size_t i = line.find('"', from); i != std::string_view::npos; i = line.find('"', i + 1)) {
    if (i + 1 == line.size() || line[i + 1] == ',') return i;
  }
  return std::string_view::npos;
}

bool ReadsBackBare(std::string_view text) {
  return text.find(',') == std::string_view::npos && (text.empty() || text.front() != '"');
}

bool ReadsBackQuoted(std::string_view text) { return text.find("\",") == std::string_view::npos; }

}  // namespace

ParsedCsvLine ParseCsvLine(std::string_view line) {
  ParsedCsvLine parsed;
  std::size_t pos = 0;
  while (true) {
    CardField field;
    std::size_t next;  // where the field's separator or the line end lies
    if (pos < line.size() && line[pos] == '"') {
      field.quoted = true;
      next = FindClosingQuote(line, pos + 1);
      if (next == std::string_view::npos) {
        field.text = DecodeFieldLineBreaks(line.substr(pos + 1));
        parsed.fields.push_back(std::move(field));
        parsed.complete = false;
        return parsed;
      }
      field.text = DecodeFieldLineBreaks(line.substr(pos + 1, next - pos - 1));
      ++next;
    } else {
      next = line.find(',', pos);
      if (next == std::string_view::npos) next = line.size();
      field.text = DecodeFieldLineBreaks(line.substr(pos, next - pos));
    }
    parsed.fields.push_back(std::move(field));
    if (next >= line.size()) return parsed;
    pos = next + 1;  // past the ","
  }
}

std::string FormatCsvLine(const Card& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    std::string text = EncodeFieldLineBreaks(fields[i].text);
    bool quoted = fields[i].quoted;
    if (!quoted && !ReadsBackBare(text)) quoted = true;
    if (quoted && !ReadsBackQuoted(text)) {
      for (std::size_t at = text.find("\","); at != std::string::npos; at = text.find("\",", at + 2)) {
        text[at] = '\'';
      }
    }
    if (quoted) line += '"';
    line += text;
    if (quoted) line += '"';
  }
  return line;
}

std::string DecodeFieldLineBreaks(std::string_view stored) {
  std::string text;
  text.reserve(stored.size());
  for (std::size_t i = 0; i < stored.size();) {
    if (stored.substr(i, 2) == kStoredBreak) {
      text += "\r\n";
      i += 2;
      continue;
    }
    const std::size_t length = japanese::CharLengthAt(stored, i);
    text.append(stored.substr(i, length));
    i += length;
  }
  return text;
}

std::string EncodeFieldLineBreaks(std::string_view text) {
  std::string stored;
  stored.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\r' || text[i] == '\n') {
      // A CR or LF of its own would end the card's line in the file.
      i += text.substr(i, 2) == "\r\n" ? 2 : 1;
      stored += kStoredBreak;
      continue;
    }
    const std::size_t length = japanese::CharLengthAt(text, i);
    stored.append(text.substr(i, length));
    i += length;
  }
  return stored;
}

}  // namespace lp
