#include "net/json_object.h"

#include <cstdint>

namespace lp {
namespace {

constexpr int kMaxDepth = 16;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonObject> Object() {
    JsonObject object;
    Blanks();
    if (!Take('{')) return std::nullopt;
    Blanks();
    if (!Take('}')) {
      for (;;) {
        std::string key;
        Blanks();
        if (!String(key)) return std::nullopt;
        Blanks();
        if (!Take(':')) return std::nullopt;
        Blanks();
        JsonMember member;
        if (!Value(member, 0)) return std::nullopt;
        object[key] = std::move(member);  // a repeated name: the last one counts
        Blanks();
        if (Take('}')) break;
        if (!Take(',')) return std::nullopt;
      }
    }
    Blanks();
    if (at_ != text_.size()) return std::nullopt;
    return object;
  }

 private:
  [[nodiscard]] char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  bool Take(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  void Blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
      ++at_;
    }
  }

  static void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool Hex4(std::uint32_t& value) {
    if (text_.size() - at_ < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      value <<= 4;
      if (c >= '0' && c <= '9') {
        value |= static_cast<std::uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        value |= static_cast<std::uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        value |= static_cast<std::uint32_t>(c - 'A' + 10);
      } else {
        return false;
      }
    }
    return true;
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      switch (text_[at_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          std::uint32_t code = 0;
          if (!Hex4(code)) return false;
          if (code >= 0xD800 && code < 0xDC00) {
            std::uint32_t low = 0;
            if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            return false;
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Number(std::string& out) {
    const std::size_t start = at_;
    (void)Take('-');
    std::size_t digits = 0;
    while (Peek() >= '0' && Peek() <= '9') {
      ++at_;
      ++digits;
    }
    if (digits == 0) return false;
    if (Take('.')) {
      digits = 0;
      while (Peek() >= '0' && Peek() <= '9') {
        ++at_;
        ++digits;
      }
      if (digits == 0) return false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      digits = 0;
      while (Peek() >= '0' && Peek() <= '9') {
        ++at_;
        ++digits;
      }
      if (digits == 0) return false;
    }
    out = std::string(text_.substr(start, at_ - start));
    return true;
  }

  bool Value(JsonMember& member, int depth) {
    if (depth > kMaxDepth) return false;
    Blanks();
    const char c = Peek();
    if (c == '"') {
      member.kind = JsonMember::Kind::String;
      return String(member.text);
    }
    if (c == 't' || c == 'f') {
      member.kind = JsonMember::Kind::Boolean;
      member.text = c == 't' ? "true" : "false";
      return Word(member.text);
    }
    if (c == 'n') {
      member.kind = JsonMember::Kind::Null;
      return Word("null");
    }
    if (c == '{' || c == '[') {
      member.kind = JsonMember::Kind::Nested;
      const char close = c == '{' ? '}' : ']';
      ++at_;
      Blanks();
      if (Take(close)) return true;
      for (;;) {
        if (c == '{') {
          std::string key;
          Blanks();
          if (!String(key)) return false;
          Blanks();
          if (!Take(':')) return false;
        }
        JsonMember inner;
        if (!Value(inner, depth + 1)) return false;
        Blanks();
        if (Take(close)) return true;
        if (!Take(',')) return false;
      }
    }
    member.kind = JsonMember::Kind::Number;
    return Number(member.text);
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<JsonObject> ParseJsonObject(std::string_view text) {
  if (text.size() > kMaxJsonText) return std::nullopt;
  return Reader(text).Object();
}

std::optional<std::string> JsonString(const JsonObject& object, std::string_view name) {
  const auto found = object.find(name);
  if (found == object.end() || found->second.kind != JsonMember::Kind::String) return std::nullopt;
  return found->second.text;
}

}  // namespace lp
