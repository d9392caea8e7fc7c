#include "codec/address_display.h"

#include "platform/sjis_char.h"

namespace lp {

void AddressDisplayWriter::Append(std::string_view sjis_text, std::string& out) {
  out.reserve(out.size() + sjis_text.size());
  for (std::size_t i = 0; i < sjis_text.size(); ++i) {
    const char c = sjis_text[i];
    if (IsSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < sjis_text.size()) {
      out.append(sjis_text.substr(i, 2));
      ++i;
      continue;
    }
    switch (context_) {
      case Context::Plain:
        if (c == '"') {
          context_ = Context::Quoted;
          continue;
        }
        if (c == '<') context_ = Context::Angle;
        if (c == '(') {
          context_ = Context::Comment;
          comment_depth_ = 1;
        }
        break;
      case Context::Quoted:
        if (c == '"') {
          context_ = Context::Plain;
          continue;
        }
        if (c == '\\' && i + 1 < sjis_text.size()) {
          // The pair stands for its second character; a double-byte one is
          // copied whole on the next turn.
          if (!IsSjisLeadByte(static_cast<unsigned char>(sjis_text[i + 1]))) out += sjis_text[++i];
          continue;
        }
        break;
      case Context::Angle:
        if (c == '>') context_ = Context::Plain;
        break;
      case Context::Comment:
        if (c == '\\' && i + 1 < sjis_text.size() && !IsSjisLeadByte(static_cast<unsigned char>(sjis_text[i + 1]))) {
          out.append(sjis_text.substr(i, 2));  // an escaped parenthesis stays in the comment
          ++i;
          continue;
        }
        if (c == '(') ++comment_depth_;
        if (c == ')' && --comment_depth_ == 0) context_ = Context::Plain;
        break;
    }
    out += c;
  }
}

std::string AddressFieldForDisplay(std::string_view sjis_field) {
  std::string shown;
  AddressDisplayWriter writer;
  writer.Append(sjis_field, shown);
  // An empty name ("" <a@example.jp>) leaves a blank in front.
  const std::size_t first = shown.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : shown.substr(first);
}

}  // namespace lp
