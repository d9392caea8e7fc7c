#include "codec/html_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "codec/ascii_case.h"
#include "codec/japanese_text.h"

// Every byte this reader looks at to find its way ("<", ">", "&", ";",
// quotes, "=", "/" and the blanks) lies below 0x40, where no Shift_JIS trail
// byte does: scanning byte by byte never splits a double-byte character.

namespace lp {
namespace {

constexpr char kListBullet[] = "\x81\x45";  // "・"
constexpr char kRule[] = "--------------------";
// Deeper nesting is still read, but indents no further.
constexpr std::size_t kMaxIndentDepth = 8;
constexpr int kMaxQuoteDepth = 8;
constexpr std::size_t kMaxEntityName = 32;
constexpr char32_t kReplacement = 0xFFFD;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }
bool IsNameChar(char c) { return IsAsciiAlnum(c) || c == '-' || c == '_' || c == ':'; }
// A byte that starts a Japanese character (double-byte or half-width kana).
bool IsJapaneseStart(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// ---- Character references -------------------------------------------------

struct NamedReference {
  std::string_view name;
  char32_t code_point;
};

// The references mail writers use; any other name stays as written.
constexpr std::array<NamedReference, 62> kNamedReferences = {{
    {"amp", U'&'},         {"lt", U'<'},          {"gt", U'>'},          {"quot", U'"'},
    {"apos", U'\''},       {"nbsp", 0xA0},        {"ensp", 0x2002},      {"emsp", 0x2003},
    {"thinsp", 0x2009},    {"zwnj", 0x200C},      {"zwj", 0x200D},       {"shy", 0xAD},
    {"lrm", 0x200E},       {"rlm", 0x200F},       {"copy", 0xA9},        {"reg", 0xAE},
    {"trade", 0x2122},     {"yen", 0xA5},         {"pound", 0xA3},       {"cent", 0xA2},
    {"euro", 0x20AC},      {"sect", 0xA7},        {"para", 0xB6},        {"deg", 0xB0},
    {"plusmn", 0xB1},      {"times", 0xD7},       {"divide", 0xF7},      {"micro", 0xB5},
    {"middot", 0xB7},      {"bull", 0x2022},      {"hellip", 0x2026},    {"mdash", 0x2014},
    {"ndash", 0x2013},     {"minus", 0x2212},     {"lsquo", 0x2018},     {"rsquo", 0x2019},
    {"ldquo", 0x201C},     {"rdquo", 0x201D},     {"sbquo", 0x201A},     {"bdquo", 0x201E},
    {"laquo", 0xAB},       {"raquo", 0xBB},       {"lsaquo", 0x2039},    {"rsaquo", 0x203A},
    {"larr", 0x2190},      {"uarr", 0x2191},      {"rarr", 0x2192},      {"darr", 0x2193},
    {"hArr", 0x21D4},      {"rArr", 0x21D2},      {"hearts", 0x2665},    {"spades", 0x2660},
    {"clubs", 0x2663},     {"diams", 0x2666},     {"iexcl", 0xA1},       {"iquest", 0xBF},
    {"not", 0xAC},         {"frac12", 0xBD},      {"frac14", 0xBC},      {"frac34", 0xBE},
    {"dagger", 0x2020},    {"Dagger", 0x2021},
}};

// Names a browser also takes without the closing ";".
constexpr std::array<std::string_view, 7> kNamesWithoutSemicolon = {"amp", "lt", "gt", "quot", "nbsp", "copy", "reg"};

// Characters without a Shift_JIS form get a close one; some have a
// Shift_JIS form under another code point.
struct Substitute {
  char32_t code_point;
  std::string_view text;
};
constexpr std::array<Substitute, 20> kSubstitutes = {{
    {0xA0, " "},           {0x2002, " "},         {0x2003, " "},         {0x2009, " "},
    {0xA9, "(C)"},         {0xAE, "(R)"},         {0x2122, "(TM)"},      {0x20AC, "EUR"},
    {0xA5, "\x81\x8F"},    {0xA3, "\x81\x92"},    {0xA2, "\x81\x91"},    {0xAC, "\x81\xCA"},
    {0xB7, "\x81\x45"},    {0x2022, "\x81\x45"},  {0x2013, "-"},         {0x2014, "\x81\x5C"},
    {0xAB, "\x81\xE1"},    {0xBB, "\x81\xE2"},    {0x2039, "<"},         {0x203A, ">"},
}};

// Invisible characters that newsletters put between words.
bool IsInvisible(char32_t c) {
  return c == 0xAD || c == 0x34F || (c >= 0x200B && c <= 0x200F) || c == 0x2060 || c == 0xFEFF;
}

// References to 0x80-0x9F mean the Windows-1252 characters there.
char32_t FromWindows1252(char32_t c) {
  static constexpr std::array<char32_t, 32> kTable = {
      0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
      0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  return c >= 0x80 && c <= 0x9F ? kTable[c - 0x80] : c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The Shift_JIS text of one referenced character.
std::string CharacterText(char32_t c) {
  c = FromWindows1252(c);
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (IsInvisible(c)) return {};
  if (c < 0x80) {
    // Control characters other than the blanks show nothing.
    if (c < 0x20 && !IsBlank(static_cast<char>(c))) return {};
    return std::string(1, static_cast<char>(c));
  }
  for (const Substitute& substitute : kSubstitutes) {
    if (substitute.code_point == c) return std::string(substitute.text);
  }
  std::string utf8;
  AppendUtf8(utf8, c);
  return Utf8ToSjis(utf8);
}

struct Reference {
  std::string text;
  bool blank = false;  // an ASCII blank, which collapses like a written one
};

// The character reference at `html[pos]` ("&"): its text, with `pos` moved
// past it. A "&" that starts no known reference stands for itself.
Reference DecodeReference(std::string_view html, std::size_t& pos) {
  std::size_t i = pos + 1;
  if (i < html.size() && html[i] == '#') {
    ++i;
    const bool hex = i < html.size() && (html[i] == 'x' || html[i] == 'X');
    if (hex) ++i;
    const std::size_t digits_start = i;
    char32_t value = 0;
    bool overflow = false;
    while (i < html.size()) {
      const char c = html[i];
      int digit = -1;
      if (IsAsciiDigit(c)) {
        digit = c - '0';
      } else if (hex && c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else if (hex && c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
      }
      if (digit < 0) break;
      if (!overflow) value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (value > 0x10FFFF) overflow = true;
      ++i;
    }
    if (i == digits_start) {
      ++pos;
      return {"&"};
    }
    if (i < html.size() && html[i] == ';') ++i;
    pos = i;
    const char32_t c = overflow ? kReplacement : value;
    return {CharacterText(c), c < 0x80 && IsBlank(static_cast<char>(c))};
  }
  std::size_t end = i;
  while (end < html.size() && end - i < kMaxEntityName && IsAsciiAlnum(html[end])) ++end;
  const std::string_view name = html.substr(i, end - i);
  const bool semicolon = end < html.size() && html[end] == ';';
  for (const NamedReference& reference : kNamedReferences) {
    if (reference.name != name) continue;
    if (!semicolon && std::find(kNamesWithoutSemicolon.begin(), kNamesWithoutSemicolon.end(), name) ==
                          kNamesWithoutSemicolon.end()) {
      break;
    }
    pos = semicolon ? end + 1 : end;
    return {CharacterText(reference.code_point)};
  }
  ++pos;
  return {"&"};
}

// An attribute value with its references decoded.
std::string DecodeAttribute(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size();) {
    if (value[i] == '&') {
      out += DecodeReference(value, i).text;
    } else {
      out += value[i++];
    }
  }
  return out;
}

// ---- Output ----------------------------------------------------------------

// The text as a reader sees it, built from the flow of the page: blanks
// collapse, blocks start lines, quotes and lists give each line its marks.
class PlainTextWriter {
 public:
  // Collapsible blanks; `line_break` when the run held a line break (which
  // vanishes between two Japanese characters).
  void Blank(bool line_break) {
    if (line_started_ && blank_ != BlankKind::Space) blank_ = line_break ? BlankKind::LineBreak : BlankKind::Space;
  }

  // Visible characters, written as they are.
  void Content(std::string_view text) {
    if (text.empty()) return;
    ResolveBreaks();
    if (!line_started_) {
      StartLine();
    } else if (blank_ == BlankKind::Space ||
               (blank_ == BlankKind::LineBreak && !(last_japanese_ && IsJapaneseStart(text.front())))) {
      out_ += ' ';
    }
    blank_ = BlankKind::None;
    out_ += text;
    content_quote_depth_ = quote_depth_;
    line_ends_ = 0;
    started_ = true;
    const std::string_view last = LastCharacter(text);
    last_japanese_ = !last.empty() && IsJapaneseStart(last.front());
  }

  // A block starts or ends: the next text begins after `line_ends` line
  // ends (2: an empty line between).
  void Block(int line_ends) {
    wanted_line_ends_ = std::max(wanted_line_ends_, line_ends);
    blank_ = BlankKind::None;
  }

  // <br>, or a line end in preformatted text.
  void LineBreak() {
    ResolveBreaks();
    if (started_) EndLine();
    blank_ = BlankKind::None;
  }

  void SetListMarker(std::string marker) { marker_ = std::move(marker); }
  void EnterList() { ++list_depth_; }
  void LeaveList() {
    if (list_depth_ > 0) --list_depth_;
  }
  void EnterQuote() { ++quote_depth_; }
  void LeaveQuote() {
    if (quote_depth_ > 0) --quote_depth_;
  }

  [[nodiscard]] std::size_t Mark() const { return out_.size(); }
  [[nodiscard]] std::string_view Since(std::size_t mark) const {
    return std::string_view(out_).substr(std::min(mark, out_.size()));
  }

  // The text with blanks at line ends removed, at most one empty line in a
  // row and none at either end.
  [[nodiscard]] std::string Finish() const {
    std::string result;
    result.reserve(out_.size());
    std::size_t empty_lines = 0;
    bool any = false;
    std::size_t pos = 0;
    while (pos <= out_.size()) {
      std::size_t end = out_.find("\r\n", pos);
      if (end == std::string::npos) end = out_.size();
      std::string_view line = std::string_view(out_).substr(pos, end - pos);
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
      if (line.empty()) {
        ++empty_lines;
      } else {
        if (any) result += empty_lines > 0 ? "\r\n\r\n" : "\r\n";
        result += line;
        any = true;
        empty_lines = 0;
      }
      pos = end + 2;
    }
    return result;
  }

 private:
  enum class BlankKind { None, Space, LineBreak };

  void ResolveBreaks() {
    if (started_) {
      while (line_ends_ < wanted_line_ends_) EndLine();
    }
    wanted_line_ends_ = 0;
  }

  void EndLine() {
    // An empty line between quoted lines keeps their marks.
    const int marks = std::min({quote_depth_, content_quote_depth_, kMaxQuoteDepth});
    if (!line_started_ && marks > 0) out_.append(static_cast<std::size_t>(marks), '>');
    out_ += "\r\n";
    line_started_ = false;
    if (line_ends_ < 2) ++line_ends_;
    blank_ = BlankKind::None;
  }

  void StartLine() {
    if (quote_depth_ > 0) {
      out_.append(static_cast<std::size_t>(std::min(quote_depth_, kMaxQuoteDepth)), '>');
      out_ += ' ';
    }
    const std::size_t depth = std::min(list_depth_, kMaxIndentDepth);
    if (!marker_.empty()) {
      out_.append(depth > 0 ? 2 * (depth - 1) : 0, ' ');
      out_ += marker_;
      marker_.clear();
    } else {
      out_.append(2 * depth, ' ');
    }
    line_started_ = true;
  }

  std::string out_;
  bool started_ = false;       // some text was written
  bool line_started_ = false;  // the current line has its marks and text
  int line_ends_ = 0;          // line ends since the last text (counted up to 2)
  int wanted_line_ends_ = 0;
  BlankKind blank_ = BlankKind::None;
  bool last_japanese_ = false;
  std::size_t list_depth_ = 0;
  int quote_depth_ = 0;
  int content_quote_depth_ = 0;  // the quote depth of the last text
  std::string marker_;
};

// ---- Reading the markup -----------------------------------------------------

struct Attribute {
  std::string name;  // lower case
  std::string_view value;
};

struct Tag {
  std::string name;  // lower case
  std::vector<Attribute> attributes;
  bool closing = false;

  [[nodiscard]] const Attribute* Find(std::string_view attribute) const {
    for (const Attribute& a : attributes) {
      if (a.name == attribute) return &a;
    }
    return nullptr;
  }
};

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements whose content a reader never sees.
bool HidesContent(std::string_view name) {
  return OneOf(name, {"script", "style", "title", "template", "noscript", "svg", "object", "iframe", "xml", "noframes",
                      "textarea", "select"});
}

bool IsVoid(std::string_view name) {
  return OneOf(name, {"br", "img", "hr", "meta", "link", "input", "col", "area", "base", "wbr", "source", "embed",
                      "param", "track"});
}

// Blocks set off by an empty line.
bool IsParagraphBlock(std::string_view name) {
  return OneOf(name, {"p", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote", "pre", "table", "dl", "hr", "figure"});
}

// Blocks that start a line of their own.
bool IsLineBlock(std::string_view name) {
  return OneOf(name, {"div", "li", "tr", "dt", "dd", "section", "article", "header", "footer", "nav", "main",
                      "aside", "center", "form", "address", "caption", "figcaption", "details", "summary",
                      "fieldset", "legend", "body", "html", "tbody", "thead", "tfoot"});
}

bool IsHiddenByAttributes(const Tag& tag) {
  if (tag.Find("hidden") != nullptr) return true;
  const Attribute* style = tag.Find("style");
  if (style == nullptr) return false;
  std::string compact;
  for (const char c : style->value) {
    if (!IsBlank(c)) compact += AsciiToLower(c);
  }
  return compact.find("display:none") != std::string::npos || compact.find("mso-hide:all") != std::string::npos;
}

// Where a link goes, as a reader may use it: nothing for links within the
// page, scripts and inline data.
std::string LinkAddress(const Tag& tag) {
  const Attribute* href = tag.Find("href");
  if (href == nullptr) return {};
  std::string address;
  for (const char c : DecodeAttribute(href->value)) {
    if (c != '\r' && c != '\n' && c != '\t') address += c;
  }
  const std::size_t first = address.find_first_not_of(' ');
  const std::size_t last = address.find_last_not_of(' ');
  if (first == std::string::npos) return {};
  address = address.substr(first, last - first + 1);
  if (address.front() == '#' || StartsWithIgnoringAsciiCase(address, "javascript:") ||
      StartsWithIgnoringAsciiCase(address, "data:")) {
    return {};
  }
  return address;
}

std::string_view TrimmedBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// `text` with its blanks at either end removed and every run of blanks
// inside made one space.
std::string CollapsedBlanks(std::string_view text) {
  text = TrimmedBlanks(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsBlank(text[i])) {
      out += text[i];
    } else if (!IsBlank(text[i - 1])) {
      out += ' ';
    }
  }
  return out;
}

class HtmlReader {
 public:
  explicit HtmlReader(std::string_view html) : html_(html) {}

  std::string Read() {
    while (pos_ < html_.size()) {
      if (html_[pos_] == '<') {
        ReadMarkup();
      } else {
        std::size_t end = html_.find('<', pos_);
        if (end == std::string_view::npos) end = html_.size();
        ReadText(html_.substr(pos_, end - pos_));
        pos_ = end;
      }
    }
    CloseLink();
    return out_.Finish();
  }

 private:
  struct List {
    bool ordered;
    long next;
  };

  void ReadText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (IsBlank(c)) {
        const std::size_t start = i;
        while (i < text.size() && IsBlank(text[i])) ++i;
        Blanks(text.substr(start, i - start));
      } else if (c == '&') {
        const Reference decoded = DecodeReference(text, i);
        if (decoded.blank) {
          Blanks(decoded.text);
        } else {
          Content(decoded.text);
        }
      } else {
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != '&') ++i;
        Content(text.substr(start, i - start));
      }
    }
  }

  void Blanks(std::string_view blanks) {
    if (pre_depth_ == 0) {
      out_.Blank(blanks.find('\n') != std::string_view::npos);
      return;
    }
    for (const char c : blanks) {
      if (c == '\n') {
        if (skip_pre_line_end_) {
          skip_pre_line_end_ = false;
          continue;
        }
        out_.LineBreak();
      } else if (c != '\r') {
        out_.Content(std::string_view(&c, 1));
      }
      skip_pre_line_end_ = false;
    }
  }

  void Content(std::string_view text) {
    skip_pre_line_end_ = false;
    out_.Content(text);
  }

  void ReadMarkup() {
    const std::string_view rest = html_.substr(pos_);
    if (rest.substr(0, 4) == "<!--") {
      SkipPast("-->", pos_ + 4);
    } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?')) {
      SkipPast(">", pos_ + 2);
    } else if (rest.size() > 2 && rest[1] == '/' && IsAsciiLetter(rest[2])) {
      Tag tag;
      tag.closing = true;
      pos_ += 2;
      tag.name = ReadName();
      SkipPast(">", pos_);
      EndTag(tag);
    } else if (rest.size() > 1 && IsAsciiLetter(rest[1])) {
      Tag tag;
      ++pos_;
      tag.name = ReadName();
      if (!ReadAttributes(tag)) return;  // a tag cut off at the end shows nothing
      StartTag(tag);
    } else {
      // A "<" that starts no markup is text.
      Content("<");
      ++pos_;
    }
  }

  std::string ReadName() {
    std::string name;
    while (pos_ < html_.size() && IsNameChar(html_[pos_])) name += AsciiToLower(html_[pos_++]);
    return name;
  }

  // Reads up to and past the ">" that ends the tag; false when the text
  // ends first.
  bool ReadAttributes(Tag& tag) {
    while (pos_ < html_.size()) {
      const char c = html_[pos_];
      if (c == '>') {
        ++pos_;
        return true;
      }
      if (IsBlank(c) || c == '/' || c == '=' || c == '"' || c == '\'') {
        ++pos_;
        continue;
      }
      Attribute attribute;
      while (pos_ < html_.size() && !IsBlank(html_[pos_]) && html_[pos_] != '>' && html_[pos_] != '=' &&
             html_[pos_] != '/') {
        attribute.name += AsciiToLower(html_[pos_++]);
      }
      std::size_t look = pos_;
      while (look < html_.size() && IsBlank(html_[look])) ++look;
      if (look < html_.size() && html_[look] == '=') {
        pos_ = look + 1;
        while (pos_ < html_.size() && IsBlank(html_[pos_])) ++pos_;
        if (pos_ < html_.size() && (html_[pos_] == '"' || html_[pos_] == '\'')) {
          const char quote = html_[pos_++];
          const std::size_t end = html_.find(quote, pos_);
          if (end == std::string_view::npos) {
            pos_ = html_.size();
            return false;
          }
          attribute.value = html_.substr(pos_, end - pos_);
          pos_ = end + 1;
        } else {
          const std::size_t start = pos_;
          while (pos_ < html_.size() && !IsBlank(html_[pos_]) && html_[pos_] != '>') ++pos_;
          attribute.value = html_.substr(start, pos_ - start);
        }
      }
      if (tag.attributes.size() < 64) tag.attributes.push_back(std::move(attribute));
    }
    return false;
  }

  void SkipPast(std::string_view end, std::size_t from) {
    const std::size_t found = from <= html_.size() ? html_.find(end, from) : std::string_view::npos;
    pos_ = found == std::string_view::npos ? html_.size() : found + end.size();
  }

  // Position of the next "<name" or "</name" (as `closing` says) from
  // `from`, with the name ending there; npos when there is none.
  std::size_t FindTag(std::string_view name, bool closing, std::size_t from) const {
    const std::string opener = closing ? "</" : "<";
    for (std::size_t at = html_.find(opener, from); at != std::string_view::npos; at = html_.find(opener, at + 1)) {
      const std::size_t name_start = at + opener.size();
      const std::size_t name_end = name_start + name.size();
      if (name_end <= html_.size() && EqualsIgnoringAsciiCase(html_.substr(name_start, name.size()), name) &&
          (name_end == html_.size() || !IsNameChar(html_[name_end]))) {
        return at;
      }
    }
    return std::string_view::npos;
  }

  // Moves past the end tag of `name`; to the end when there is none.
  void SkipToEndTag(std::string_view name) {
    const std::size_t end = FindTag(name, true, pos_);
    if (end == std::string_view::npos) {
      pos_ = html_.size();
    } else {
      SkipPast(">", end);
    }
  }

  // Moves past the end of an element of `name` whose start tag was just
  // read, counting elements of the same name nested in it.
  void SkipElement(std::string_view name) {
    // Each search goes on from where the last one stopped: linear however
    // deep the nesting.
    int depth = 1;
    std::size_t open = FindTag(name, false, pos_);
    std::size_t close = FindTag(name, true, pos_);
    for (;;) {
      if (close == std::string_view::npos) {
        pos_ = html_.size();
        return;
      }
      if (open != std::string_view::npos && open < close) {
        ++depth;
        SkipPast(">", open);
      } else {
        SkipPast(">", close);
        if (--depth == 0) return;
      }
      if (open != std::string_view::npos && open < pos_) open = FindTag(name, false, pos_);
      if (close < pos_) close = FindTag(name, true, pos_);
    }
  }

  void StartTag(const Tag& tag) {
    const std::string& name = tag.name;
    if (name == "head") {
      // Its content is for the browser; a body that starts without the
      // head's end tag ends it.
      const std::size_t end = FindTag("head", true, pos_);
      const std::size_t body = FindTag("body", false, pos_);
      if (body != std::string_view::npos && (end == std::string_view::npos || body < end)) {
        pos_ = body;
      } else {
        SkipToEndTag("head");
      }
      return;
    }
    if (HidesContent(name)) {
      SkipToEndTag(name);
      return;
    }
    if (!IsVoid(name) && IsHiddenByAttributes(tag)) {
      SkipElement(name);
      return;
    }
    if (IsParagraphBlock(name)) out_.Block(2);
    if (IsLineBlock(name)) out_.Block(1);
    if (name == "br") {
      out_.LineBreak();
    } else if (name == "hr") {
      out_.Content(kRule);
      out_.Block(2);
    } else if (name == "img") {
      if (const Attribute* alt = tag.Find("alt")) {
        const std::string text = CollapsedBlanks(DecodeAttribute(alt->value));
        if (!text.empty()) Content("[" + text + "]");
      }
    } else if (name == "a") {
      CloseLink();
      link_address_ = LinkAddress(tag);
      link_mark_ = out_.Mark();
    } else if (name == "ul" || name == "ol") {
      out_.Block(lists_.empty() ? 2 : 1);
      long start = 1;
      if (const Attribute* value = tag.Find("start")) start = ParseNumber(value->value, 1);
      lists_.push_back({name == "ol", start});
      out_.EnterList();
    } else if (name == "li") {
      std::string marker = kListBullet;
      if (!lists_.empty() && lists_.back().ordered) {
        if (const Attribute* value = tag.Find("value")) lists_.back().next = ParseNumber(value->value, lists_.back().next);
        marker = std::to_string(lists_.back().next++) + ". ";
      }
      out_.SetListMarker(std::move(marker));
    } else if (name == "blockquote") {
      out_.EnterQuote();
    } else if (name == "pre") {
      ++pre_depth_;
      skip_pre_line_end_ = true;
    } else if (name == "td" || name == "th") {
      out_.Blank(false);
    }
  }

  void EndTag(const Tag& tag) {
    const std::string& name = tag.name;
    if (IsParagraphBlock(name)) out_.Block(2);
    if (IsLineBlock(name)) out_.Block(1);
    if (name == "a") {
      CloseLink();
    } else if (name == "ul" || name == "ol") {
      if (!lists_.empty()) {
        lists_.pop_back();
        out_.LeaveList();
      }
      out_.Block(lists_.empty() ? 2 : 1);
    } else if (name == "blockquote") {
      out_.LeaveQuote();
    } else if (name == "pre") {
      if (pre_depth_ > 0) --pre_depth_;
    } else if (name == "td" || name == "th") {
      out_.Blank(false);
    }
  }

  // After a link's text: its address, unless the text already is it.
  void CloseLink() {
    if (link_address_.empty()) return;
    std::string address = std::move(link_address_);
    link_address_.clear();
    if (StartsWithIgnoringAsciiCase(address, "mailto:")) address.erase(0, 7);
    const std::string_view text = TrimmedBlanks(out_.Since(link_mark_));
    if (text == address || EqualsIgnoringAsciiCase(text, address)) return;
    out_.Blank(false);
    out_.Content("<" + address + ">");
  }

  static long ParseNumber(std::string_view text, long fallback) {
    text = TrimmedBlanks(text);
    long value = 0;
    std::size_t digits = 0;
    for (const char c : text) {
      if (!IsAsciiDigit(c) || digits >= 9) break;
      value = value * 10 + (c - '0');
      ++digits;
    }
    return digits > 0 ? value : fallback;
  }

  std::string_view html_;
  std::size_t pos_ = 0;
  PlainTextWriter out_;
  std::vector<List> lists_;
  int pre_depth_ = 0;
  bool skip_pre_line_end_ = false;
  std::string link_address_;
  std::size_t link_mark_ = 0;
};

}  // namespace

std::string HtmlToText(std::string_view sjis_html) { return HtmlReader(sjis_html).Read(); }

}  // namespace lp
