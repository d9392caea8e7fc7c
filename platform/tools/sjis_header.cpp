// Build tool: turns a header whose texts are written in UTF-8 into the same
// header with every string literal in Shift_JIS (code page 932), the form in
// which the program holds its texts. Non-ASCII bytes become \x escapes, so
// the generated file is plain ASCII and compiles the same with any source
// character set. A character that Shift_JIS lacks stops the build.
//
//   sjis_header INPUT OUTPUT

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/code_page.h"

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

struct Converter {
  std::string input_name;
  int line = 1;
  bool failed = false;

  // The UTF-8 run as escaped Shift_JIS bytes.
  std::string EscapedRun(const std::string& utf8) {
    const std::string sjis = lp::Utf8ToCp932(utf8);
    if (lp::Cp932ToUtf8(sjis) != utf8) {
      std::cerr << input_name << ":" << line << ": text has a character that Shift_JIS lacks: " << utf8 << "\n";
      failed = true;
    }
    std::string out;
    char escape[8];
    for (unsigned char byte : sjis) {
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      out += escape;
    }
    return out;
  }

  std::string Convert(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    enum class State { Code, String, LineComment, BlockComment } state = State::Code;
    bool after_escape = false;  // the last output inside a literal was a \x escape
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\n') ++line;
      switch (state) {
        case State::Code:
          if (c == '"') state = State::String;
          if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') state = State::LineComment;
          if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') state = State::BlockComment;
          if (c == '\'' && i + 2 < text.size()) {  // a character literal: copied whole
            const std::size_t end = text.find('\'', i + (text[i + 1] == '\\' ? 3 : 2));
            if (end != std::string::npos) {
              out.append(text, i, end - i + 1);
              i = end;
              continue;
            }
          }
          out += c;
          after_escape = false;
          break;
        case State::LineComment:
          if (c == '\n') state = State::Code;
          out += c;
          break;
        case State::BlockComment:
          if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
            out += "*/";
            ++i;
            state = State::Code;
            continue;
          }
          out += c;
          break;
        case State::String:
          if (static_cast<unsigned char>(c) >= 0x80) {
            std::size_t end = i;
            while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) ++end;
            out += EscapedRun(text.substr(i, end - i));
            i = end - 1;
            after_escape = true;
            continue;
          }
          // A hex digit after an escape would lengthen it: close and reopen.
          if (after_escape && IsHexDigit(c)) out += "\" \"";
          after_escape = false;
          if (c == '\\' && i + 1 < text.size()) {
            out += c;
            out += text[++i];
            continue;
          }
          if (c == '"') state = State::Code;
          out += c;
          break;
      }
    }
    return out;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: sjis_header INPUT OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  Converter converter{argv[1]};
  const std::string generated =
      "// Generated from " + std::string(argv[1]) + ": edit that file.\n" + converter.Convert(text.str());
  if (converter.failed) return 1;
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << generated;
  return out.good() ? 0 : 1;
}
