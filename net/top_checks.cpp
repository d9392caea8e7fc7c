#include "net/top_checks.h"

#include <algorithm>
#include <vector>

#include "codec/encoded_words.h"
#include "codec/japanese_text.h"

namespace lp {
namespace {

constexpr int kSummaryBodyLines = 100;

struct TopLines {
  std::vector<std::string_view> header;  // header lines, continuation lines included
  std::vector<std::string_view> body;
};

// Splits the response after its status line into header and body lines,
// undoing the dot-stuffing and leaving out the closing ".".
TopLines SplitTop(std::string_view response) {
  TopLines lines;
  bool first = true;
  bool in_body = false;
  while (!response.empty()) {
    const std::size_t end = response.find('\n');
    std::string_view line = response.substr(0, end);
    response = end == std::string_view::npos ? std::string_view() : response.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      continue;
    }
    if (line == ".") break;
    if (!line.empty() && line.front() == '.') line.remove_prefix(1);
    if (in_body) {
      lines.body.push_back(line);
    } else if (line.empty()) {
      in_body = true;
    } else {
      lines.header.push_back(line);
    }
  }
  return lines;
}

bool NameIs(std::string_view line, std::string_view name) {
  if (line.size() <= name.size() || line[name.size()] != ':') return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char a = line[i] >= 'A' && line[i] <= 'Z' ? static_cast<char>(line[i] + 32) : line[i];
    const char b = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
    if (a != b) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The unfolded value of the first header `name`, or nothing.
std::string HeaderValue(const std::vector<std::string_view>& header, std::string_view name) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (!NameIs(header[i], name)) continue;
    std::string value(Trim(header[i].substr(name.size() + 1)));
    for (std::size_t j = i + 1; j < header.size() && (header[j].front() == ' ' || header[j].front() == '\t'); ++j) {
      value += ' ';
      value.append(Trim(header[j]));
    }
    return value;
  }
  return {};
}

std::string DecodedHeader(const std::vector<std::string_view>& header, std::string_view name) {
  return DecodeEncodedWords(ConvertToSjis(HeaderValue(header, name)));
}

}  // namespace

std::string FirstMessageId(std::string_view top_response) {
  const TopLines lines = SplitTop(top_response);
  for (const std::string_view line : lines.header) {
    if (NameIs(line, "message-id")) return std::string(Trim(line.substr(11)));
  }
  return {};
}

bool HasInlineFrame(std::string_view top_response) {
  const TopLines lines = SplitTop(top_response);
  bool alternative = false;
  for (const std::string_view line : lines.header) {
    if (FindJapaneseText(line, "Content-Type: multipart/alternative;", IgnoreCase) >= 0) alternative = true;
  }
  if (!alternative) return false;
  for (const std::string_view line : lines.body) {
    if (FindJapaneseText(line, "<IFRAME ", IgnoreCase) >= 0) return true;
  }
  return false;
}

MailSummary SummariseTop(std::string_view top_response, int number) {
  const TopLines lines = SplitTop(top_response);
  MailSummary summary;
  summary.number = number;
  summary.to = DecodedHeader(lines.header, "to");
  summary.from = DecodedHeader(lines.header, "from");
  summary.subject = DecodedHeader(lines.header, "subject");
  const std::size_t count = std::min<std::size_t>(lines.body.size(), kSummaryBodyLines);
  std::string body;
  for (std::size_t i = 0; i < count; ++i) {
    body.append(lines.body[i]);
    body += "\r\n";
  }
  summary.body = ConvertToSjis(body);
  return summary;
}

}  // namespace lp
