#include "codec/header_lookup.h"

#include <cstddef>

#include "codec/ascii_case.h"
#include "codec/header_unfolding.h"

namespace lp {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Ids of a folded References field stand apart by any run of blanks and
// TABs; a reply writes them one blank apart.
std::string WithSingleBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (!IsBlank(c)) {
      out += c;
    } else if (!out.empty() && out.back() != ' ') {
      out += ' ';
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::string HeaderValue(CLPOSTDoc& box, int index, std::string_view name) {
  const CMail* record = box.RecordAt(index);
  if (record == nullptr) return {};
  const std::string text = TextShowingError(box.ReadText(record->text_start, record->text_end), box.ui());

  std::string value;
  bool collecting = false;
  std::size_t position = 0;
  while (position < text.size()) {
    const std::size_t newline = text.find('\n', position);
    const std::size_t line_end = newline == std::string::npos ? text.size() : newline;
    std::string_view line(text.data() + position, line_end - position);
    position = newline == std::string::npos ? text.size() : newline + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) break;  // the header ends at the first empty line

    // A folded line begins with a blank; it continues the field even when it
    // holds a ":" of its own (a folded Subject or display name may).
    if (IsHeaderContinuation(line)) {
      if (collecting) AppendUnfolded(value, line);
      continue;
    }
    const std::size_t colon = line.find(':');
    collecting = EqualsIgnoringAsciiCase(line.substr(0, colon), name);
    if (collecting) {
      // The blank after the ":" belongs to the layout, not to the value;
      // a field written without one keeps its first character.
      std::size_t start = colon + 1;
      if (start < line.size() && IsBlank(line[start])) ++start;
      value.assign(line.substr(start));
    }
  }
  return value;
}

std::string ReplyReferences(CLPOSTDoc& box, int index) {
  const CMail* record = box.RecordAt(index);
  if (record == nullptr) return {};
  std::string references = WithSingleBlanks(HeaderValue(box, index, "References"));
  if (references.empty()) return record->message_id;
  // The oldest reference goes so that the chain does not grow without end.
  const std::size_t gap = references.find("> <");
  if (gap != std::string::npos) references.erase(0, gap + 2);
  if (!record->message_id.empty()) {
    references += ' ';
    references += record->message_id;
  }
  return references;
}

}  // namespace lp
