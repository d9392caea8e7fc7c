#include "addressbook/vcard_import.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "addressbook/import_text.h"
#include "codec/mime_encoding.h"
#include "platform/code_page.h"

namespace lp {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Upper(text.substr(0, prefix.size())) == prefix;
}

// One property line: its name, its parameters (upper case, "TYPE=HOME" or
// a bare "HOME" as 2.1 writes them) and its raw value.
struct Property {
  std::string name;
  std::vector<std::string> params;
  std::string value;

  [[nodiscard]] bool Has(std::string_view param) const {
    return std::find(params.begin(), params.end(), param) != params.end();
  }
  [[nodiscard]] std::optional<std::string> Param(std::string_view key) const {
    for (const std::string& param : params) {
      if (param.size() > key.size() && param.starts_with(key) && param[key.size()] == '=') {
        return param.substr(key.size() + 1);
      }
    }
    return std::nullopt;
  }
  [[nodiscard]] bool QuotedPrintable() const {
    return Has("QUOTED-PRINTABLE") || Param("ENCODING") == "QUOTED-PRINTABLE";
  }
  // Marked as the preferred one of its kind: "PREF", "TYPE=PREF", or a
  // "PREF=n" of version 4.0; a list of types ("TYPE=HOME,PREF") counts too.
  [[nodiscard]] bool Preferred() const {
    for (const std::string& param : params) {
      if (param == "PREF" || param.starts_with("PREF=")) return true;
      if (param.starts_with("TYPE=") && ("," + param.substr(5) + ",").find(",PREF,") != std::string::npos) return true;
    }
    return false;
  }
};

std::optional<Property> ParseProperty(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  Property property;
  std::string_view head = line.substr(0, colon);
  property.value = std::string(line.substr(colon + 1));
  std::size_t semicolon = head.find(';');
  std::string_view name = head.substr(0, semicolon);
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) name = name.substr(dot + 1);  // a group
  property.name = Upper(name);
  while (semicolon != std::string_view::npos) {
    head = head.substr(semicolon + 1);
    semicolon = head.find(';');
    std::string param = Upper(head.substr(0, semicolon));
    param.erase(std::remove(param.begin(), param.end(), '"'), param.end());
    property.params.push_back(std::move(param));
  }
  return property;
}

// Logical lines: a physical line that begins with a blank goes on the one
// before (without that blank), and so does the line after a
// quoted-printable one that ends in "=" (a soft break). Each byte is looked
// at a bounded number of times, however often a line is folded: the head
// of a logical line (before its first ":") is searched only in what was
// added since the last look, and decided once.
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t searched = 0;  // bytes of lines.back() looked at for the ":"
  bool head_known = false;   // the ":" of lines.back() was found
  bool quoted_printable = false;
  bool soft_break = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    if (text.starts_with("\r\n")) {
      text.remove_prefix(2);
    } else if (!text.empty()) {
      text.remove_prefix(1);
    }
    if (soft_break && !lines.empty()) {
      lines.back().pop_back();  // the "="
      lines.back() += line;
    } else if (!lines.empty() && (line.starts_with(' ') || line.starts_with('\t'))) {
      lines.back() += line.substr(1);
    } else if (!line.empty()) {
      lines.emplace_back(line);
      searched = 0;
      head_known = false;
      quoted_printable = false;
    } else {
      soft_break = false;
      continue;
    }
    const std::string& whole = lines.back();
    if (!head_known) {
      const std::size_t colon = whole.find(':', std::min(searched, whole.size()));
      searched = whole.size();
      if (colon != std::string::npos) {
        head_known = true;
        quoted_printable = Upper(std::string_view(whole).substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
      }
    }
    soft_break = quoted_printable && whole.ends_with('=');
  }
  return lines;
}

// The value as UTF-8 text, still escaped.
std::string DecodedValue(const Property& property) {
  if (!property.QuotedPrintable()) return property.value;
  const std::string bytes = QuotedPrintableDecode(property.value);
  const std::string charset = property.Param("CHARSET").value_or("");
  if (charset == "UTF-8") return bytes;
  const bool shift_jis = charset == "SHIFT_JIS" || charset == "SHIFT-JIS" || charset == "SJIS" ||
                         charset == "CP932" || charset == "WINDOWS-31J";
  if (shift_jis || (charset.empty() && !IsNonAsciiUtf8(bytes))) return Cp932ToUtf8(bytes);
  return bytes;
}

// The components of a structured value (split at ";" not escaped),
// unescaped: "\n" is a line break, "\," "\;" "\\" stand for their second
// character.
std::vector<std::string> Components(std::string_view value, char separator) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      parts.back() += next == 'n' || next == 'N' ? std::string("\r\n") : std::string(1, next);
    } else if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

std::string Unescaped(std::string_view value) { return Components(value, '\0').front(); }

std::string Trimmed(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) {
    const std::string text = Trimmed(part);
    if (text.empty()) continue;
    if (!joined.empty()) joined += ' ';
    joined += text;
  }
  return joined;
}

// The parts of one card as it is read.
class CardBuilder {
 public:
  void Take(const Property& property) {
    const std::string value = DecodedValue(property);
    if (property.name == "FN") {
      formatted_name_ = Trimmed(Unescaped(value));
    } else if (property.name == "N") {
      const std::vector<std::string> parts = Components(value, ';');
      // Family name, given name, additional names.
      std::vector<std::string> name;
      for (std::size_t i = 0; i < std::min<std::size_t>(parts.size(), 3); ++i) name.push_back(parts[i]);
      structured_name_ = Joined(name);
    } else if (property.name == "EMAIL") {
      Keep(email_, email_preferred_, Trimmed(Unescaped(value)), property.Preferred());
    } else if (property.name == "TEL") {
      Keep(telephone_, telephone_preferred_, Trimmed(Unescaped(value)), property.Preferred());
    } else if (property.name == "ADR" && postal_address_.empty() && postal_code_.empty()) {
      const std::vector<std::string> parts = Components(value, ';');
      const auto part = [&parts](std::size_t i) { return i < parts.size() ? parts[i] : std::string(); };
      postal_code_ = Trimmed(part(5));
      // Region (prefecture), locality, street, extended: as a Japanese
      // address is written.
      postal_address_ = Joined({part(4), part(3), part(2), part(1), part(0)});
    } else if (property.name == "NOTE" && memo_.empty()) {
      memo_ = Unescaped(value);
    } else if (property.name == "CATEGORIES" && category_.empty()) {
      category_ = Trimmed(Components(value, ',').front());
    }
  }

  [[nodiscard]] std::vector<std::string> Card() const {
    std::vector<std::string> card(kCategoryColumn + 1);
    card[kNameColumn] = formatted_name_.empty() ? structured_name_ : formatted_name_;
    card[kAddressColumn] = email_;
    card[kPostalCodeColumn] = postal_code_;
    card[kPostalAddressColumn] = postal_address_;
    card[kTelephoneColumn] = telephone_;
    card[kMemoColumn] = memo_;
    card[kCategoryColumn] = category_;
    return card;
  }

 private:
  static void Keep(std::string& kept, bool& kept_preferred, std::string value, bool preferred) {
    if (value.empty() || kept_preferred || (!kept.empty() && !preferred)) return;
    kept = std::move(value);
    kept_preferred = preferred;
  }

  std::string formatted_name_;
  std::string structured_name_;
  std::string email_;
  bool email_preferred_ = false;
  std::string telephone_;
  bool telephone_preferred_ = false;
  std::string postal_code_;
  std::string postal_address_;
  std::string memo_;
  std::string category_;
};

// A text value escaped: "\\", ",", ";" and line breaks.
std::string Escaped(std::string_view text) {
  std::string escaped;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      escaped += "\\n";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\\' || c == ',' || c == ';') {
      escaped += '\\';
      escaped += c;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// A content line folded after at most 75 bytes, never inside a UTF-8
// character; the lines that go on begin with a blank.
void AppendFolded(std::string_view line, std::string& out) {
  constexpr std::size_t kMaxLine = 75;
  std::size_t limit = kMaxLine;
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out += line.substr(0, cut);
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = kMaxLine - 1;
  }
  out += line;
  out += "\r\n";
}

void AppendProperty(std::string_view name, std::string_view value, std::string& out) {
  AppendFolded(std::string(name) + ":" + std::string(value), out);
}

void AppendVCard(const Card& card, std::string& out) {
  const auto field = [&card](std::size_t column) {
    return column < card.size() ? Cp932ToUtf8(card[column].text) : std::string();
  };
  const std::string name = field(kNameColumn);
  out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  AppendProperty("FN", Escaped(name), out);
  const std::size_t blank = name.find(' ');
  const std::string family = blank == std::string::npos ? name : name.substr(0, blank);
  const std::string given = blank == std::string::npos ? std::string() : Trimmed(name.substr(blank + 1));
  AppendProperty("N", Escaped(family) + ";" + Escaped(given) + ";;;", out);
  const std::string address_field = field(kAddressColumn);
  std::string_view addresses = address_field;
  while (!addresses.empty()) {
    const std::size_t end = addresses.find_first_of("\r\n");
    const std::string entry = Trimmed(std::string(addresses.substr(0, end)));
    if (!entry.empty()) AppendProperty("EMAIL;TYPE=INTERNET", Escaped(entry), out);
    addresses = end == std::string_view::npos ? std::string_view() : addresses.substr(end + 1);
  }
  if (const std::string telephone = field(kTelephoneColumn); !telephone.empty()) {
    AppendProperty("TEL", Escaped(telephone), out);
  }
  const std::string code = field(kPostalCodeColumn);
  const std::string postal = field(kPostalAddressColumn);
  if (!code.empty() || !postal.empty()) AppendProperty("ADR", ";;" + Escaped(postal) + ";;;" + Escaped(code) + ";", out);
  if (const std::string memo = field(kMemoColumn); !memo.empty()) AppendProperty("NOTE", Escaped(memo), out);
  if (const std::string category = field(kCategoryColumn); !category.empty()) {
    AppendProperty("CATEGORIES", Escaped(category), out);
  }
  out += "END:VCARD\r\n";
}

}  // namespace

bool LooksLikeVCard(std::string_view bytes) {
  const std::string text = DecodeImportText(bytes.substr(0, std::min<std::size_t>(bytes.size(), 256)));
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string::npos && StartsWithNoCase(std::string_view(text).substr(first), "BEGIN:VCARD");
}

ImportedCards ParseVCards(std::string_view bytes) {
  ImportedCards imported;
  std::optional<CardBuilder> card;
  bool any_card = false;
  // A card ends at its END:VCARD; one whose END is missing (a file cut
  // short, a writer that forgot it) ends where the next card or the file
  // begins or ends, and is taken as far as it goes.
  const auto finish = [&imported, &card] {
    if (!card) return;
    std::vector<std::string> texts = card->Card();
    card.reset();
    if (texts[kNameColumn].empty() && texts[kAddressColumn].empty()) return;
    if (CardToShiftJis(texts)) ++imported.lossy_cards;
    imported.cards.push_back(std::move(texts));
  };
  for (const std::string& line : LogicalLines(DecodeImportText(bytes))) {
    const std::optional<Property> property = ParseProperty(line);
    if (!property) continue;
    if (property->name == "BEGIN" && Upper(property->value) == "VCARD") {
      finish();
      card.emplace();
      any_card = true;
    } else if (property->name == "END" && Upper(property->value) == "VCARD") {
      finish();
    } else if (card) {
      card->Take(*property);
    }
  }
  finish();
  if (!any_card) imported.problem = CardImportProblem::Empty;
  return imported;
}

ImportedCards ParseAddressFile(std::string_view bytes) {
  return LooksLikeVCard(bytes) ? ParseVCards(bytes) : ParseAddressCsv(bytes);
}

std::string FormatCardsAsVCards(const TCard& cards, CardScope scope) {
  std::string out;
  cards.ForEachCard(scope, [&out](const Card& card) { AppendVCard(card, out); });
  return out;
}

}  // namespace lp
