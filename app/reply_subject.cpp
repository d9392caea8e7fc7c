#include "app/reply_subject.h"

#include <cstddef>
#include <string>

#include "codec/ascii_case.h"
#include "codec/japanese_chars.h"

namespace lp {
namespace {

// A counter never grows past this, so a hostile subject cannot overflow it.
constexpr long kMaxCounter = 999999999;

// Offset of the first `token` that starts on a character of its own (never
// on the trail byte of a double-byte character), or npos.
std::size_t FindOnCharacter(std::string_view text, std::string_view token, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += japanese::CharLengthAt(text, i)) {
    if (text.substr(i, token.size()) == token) return i;
  }
  return std::string_view::npos;
}

// The leading decimal digits of `text`; 0 when there are none.
long LeadingNumber(std::string_view text) {
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > kMaxCounter) return kMaxCounter;
  }
  return value;
}

// "Re" + open + (the counter between `open` and `close`, plus one) + close
// + the rest; `subject` unchanged when `close` does not stand at
// `min_close` or later.
std::string RaisedCounter(std::string_view subject, std::string_view open, std::string_view close,
                          std::size_t min_close) {
  const std::size_t counter_start = 2 + open.size();
  const std::size_t close_at = FindOnCharacter(subject, close, counter_start);
  if (close_at == std::string_view::npos || close_at < min_close) return std::string(subject);
  const long counter = LeadingNumber(subject.substr(counter_start, close_at - counter_start));
  std::string result = "Re";
  result += open;
  result += std::to_string(counter + 1);
  result += close;
  result += subject.substr(close_at + close.size());
  return result;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string MakeReplySubject(std::string_view subject, ListTag list_tag) {
  if (list_tag == ListTag::Drop && subject.starts_with('[')) {
    const std::size_t close = FindOnCharacter(subject, "]", 1);
    if (close != std::string_view::npos) subject.remove_prefix(close + 1);
  }
  if (subject.size() < 3) return "Re:" + std::string(subject);
  if (StartsWithIgnoringAsciiCase(subject, "Re:")) return "Re[2]:" + std::string(subject.substr(3));
  if (StartsWithIgnoringAsciiCase(subject, "Re[")) return RaisedCounter(subject, "[", "]:", 4);
  if (StartsWithIgnoringAsciiCase(subject, "Re^")) return RaisedCounter(subject, "^", ":", 4);
  if (StartsWithIgnoringAsciiCase(subject, "Re")) {
    if (IsDigit(subject[2])) return RaisedCounter(subject, "", ":", 3);
    return std::string(subject);
  }
  return "Re:" + std::string(subject);
}

}  // namespace lp
