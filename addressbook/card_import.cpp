#include "addressbook/card_import.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "addressbook/addressbook_messages.h"
#include "addressbook/import_text.h"
#include "codec/japanese_text.h"
#include "platform/code_page.h"

namespace lp {
namespace {

using Row = std::vector<std::string>;

// RFC 4180 records: "," between fields, a double-quoted field may hold
// commas and line breaks, "" inside it stands for one double quote. A line
// break inside a field becomes CR LF, as the book keeps it; empty lines
// are skipped.
std::vector<Row> ParseRfc4180(std::string_view text) {
  std::vector<Row> rows;
  Row row;
  std::string field;
  bool quoted = false;
  bool field_was_quoted = false;
  auto end_field = [&] {
    row.push_back(std::move(field));
    field.clear();
    field_was_quoted = false;
  };
  auto end_row = [&] {
    end_field();
    if (row.size() > 1 || !row.front().empty()) rows.push_back(std::move(row));
    row.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else if (c == '\r' || c == '\n') {
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        field += "\r\n";
      } else {
        field += c;
      }
    } else if (c == '"' && field.empty() && !field_was_quoted) {
      quoted = true;
      field_was_quoted = true;
    } else if (c == ',') {
      end_field();
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      end_row();
    } else {
      field += c;
    }
  }
  if (!field.empty() || !row.empty() || field_was_quoted) end_row();
  return rows;
}

std::string NormalisedColumnName(std::string_view name) {
  const auto first = name.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = name.find_last_not_of(" \t");
  std::string normalised(name.substr(first, last - first + 1));
  for (char& c : normalised) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return normalised;
}

// Column names other programs give each of the book's columns (lower
// case), the most telling first. Names are taken from the first of a
// column's sources that is not empty.
struct ColumnNames {
  std::size_t column;
  std::vector<std::string_view> names;
};
const std::array<ColumnNames, 7>& KnownColumns() {
  static const std::array<ColumnNames, 7> kColumns = {{
      {kNameColumn, {"氏名", "名前", "表示名", "display name", "full name", "name"}},
      {kAddressColumn,
       {"メールアドレス", "電子メール アドレス", "電子メールアドレス", "eメール", "primary email", "e-mail address",
        "email address", "e-mail 1 - value", "email", "e-mail", "mail", "メール", "secondary email",
        "e-mail 2 address", "e-mail 2 - value"}},
      {kPostalCodeColumn,
       {"郵便番号", "自宅の郵便番号", "home zipcode", "home postal code", "postal code", "zip code", "zip",
        "address 1 - postal code", "business postal code", "work zipcode"}},
      {kPostalAddressColumn,
       {"住所", "自宅の住所", "home address", "address", "address 1 - formatted", "home street", "work address",
        "business street"}},
      {kTelephoneColumn,
       {"電話番号", "電話", "自宅電話", "携帯電話", "phone", "telephone", "home phone", "mobile number", "mobile phone",
        "phone 1 - value", "work phone", "business phone"}},
      {kMemoColumn, {"メモ", "備考", "notes", "note", "memo"}},
      {kCategoryColumn, {"カテゴリ", "カテゴリー", "分類", "category", "categories"}},
  }};
  return kColumns;
}
const std::vector<std::string_view>& FamilyNameColumns() {
  static const std::vector<std::string_view> kNames = {"姓", "last name", "family name", "surname"};
  return kNames;
}
const std::vector<std::string_view>& GivenNameColumns() {
  static const std::vector<std::string_view> kNames = {"名", "first name", "given name"};
  return kNames;
}

// Positions of the source columns named by `names`, in the order of names.
std::vector<std::size_t> SourcesOf(const std::vector<std::string>& header,
                                   const std::vector<std::string_view>& names) {
  std::vector<std::size_t> sources;
  for (std::string_view name : names) {
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (header[i] == name && std::find(sources.begin(), sources.end(), i) == sources.end()) {
        sources.push_back(i);
      }
    }
  }
  return sources;
}

std::string FirstNonEmpty(const Row& row, const std::vector<std::size_t>& sources) {
  for (std::size_t source : sources) {
    if (source < row.size() && !row[source].empty()) return row[source];
  }
  return {};
}

struct ColumnMap {
  std::array<std::vector<std::size_t>, kCategoryColumn + 1> sources;
  std::vector<std::size_t> family;
  std::vector<std::size_t> given;
  [[nodiscard]] bool names_a_card() const {
    return !sources[kNameColumn].empty() || !sources[kAddressColumn].empty() || !family.empty() || !given.empty();
  }
};

ColumnMap MapColumns(const Row& header_row) {
  std::vector<std::string> header;
  for (const std::string& name : header_row) header.push_back(NormalisedColumnName(name));
  ColumnMap map;
  for (const ColumnNames& known : KnownColumns()) map.sources[known.column] = SourcesOf(header, known.names);
  map.family = SourcesOf(header, FamilyNameColumns());
  map.given = SourcesOf(header, GivenNameColumns());
  return map;
}

ColumnMap PositionalMap() {
  ColumnMap map;
  for (std::size_t column = 0; column < map.sources.size(); ++column) map.sources[column] = {column};
  return map;
}

Row CardOf(const Row& row, const ColumnMap& map) {
  Row card(kCategoryColumn + 1);
  for (std::size_t column = 0; column < card.size(); ++column) card[column] = FirstNonEmpty(row, map.sources[column]);
  if (card[kNameColumn].empty()) {
    const std::string family = FirstNonEmpty(row, map.family);
    const std::string given = FirstNonEmpty(row, map.given);
    card[kNameColumn] = family.empty() || given.empty() ? family + given : family + " " + given;
  }
  return card;
}

bool HasOwnHeader(std::string_view utf8_first_line) {
  const Card fields = ParseCsvLine(utf8_first_line).fields;
  return fields.size() > kAddressColumn && fields[kNameColumn].text == "氏名" &&
         fields[kAddressColumn].text == "メールアドレス";
}

ImportedCards ParseOwnFormat(std::string_view sjis_bytes) {
  TCard table;
  table.Parse(sjis_bytes, false, kNewAddressBookHeader);
  ImportedCards imported;
  for (std::size_t card = 0; card < table.Cards().size(); ++card) {
    Row texts(kCategoryColumn + 1);
    for (std::size_t column = 0; column < texts.size(); ++column) texts[column] = table.Field(card, column);
    if (std::all_of(texts.begin(), texts.end(), [](const std::string& text) { return text.empty(); })) continue;
    imported.cards.push_back(std::move(texts));
  }
  return imported;
}

std::string QuotedForCsv(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos && !text.starts_with(' ') && !text.ends_with(' ')) {
    return std::string(text);
  }
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

void AppendUtf8CsvLine(const Card& fields, std::string& out) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += QuotedForCsv(Cp932ToUtf8(fields[i].text));
  }
  out += "\r\n";
}

}  // namespace

ImportedCards ParseAddressCsv(std::string_view bytes) {
  // This program's own file begins with its header in Shift_JIS (the same
  // names in UTF-8 or UTF-16 read differently): read as the book reads it.
  if (HasOwnHeader(Cp932ToUtf8(bytes.substr(0, bytes.find_first_of("\r\n"))))) return ParseOwnFormat(bytes);
  const std::string text = DecodeImportText(bytes);

  ImportedCards imported;
  const std::vector<Row> rows = ParseRfc4180(text);
  if (rows.empty()) {
    imported.problem = CardImportProblem::Empty;
    return imported;
  }
  ColumnMap map = MapColumns(rows.front());
  std::size_t first_card = 1;
  if (!map.names_a_card()) {
    const Row& first = rows.front();
    if (std::none_of(first.begin(), first.end(), [](const std::string& f) { return f.find('@') != f.npos; })) {
      imported.problem = CardImportProblem::NoColumns;
      return imported;
    }
    map = PositionalMap();
    first_card = 0;
  }
  for (std::size_t i = first_card; i < rows.size(); ++i) {
    Row card = CardOf(rows[i], map);
    if (card[kNameColumn].empty() && card[kAddressColumn].empty()) continue;
    if (CardToShiftJis(card)) ++imported.lossy_cards;
    imported.cards.push_back(std::move(card));
  }
  return imported;
}

CardMerge AddImportedCards(AddressBook& book, const std::vector<std::vector<std::string>>& cards) {
  CardMerge merge;
  // What the book holds, and what this import adds: the cards go in at the
  // end, so the book's index is made once.
  const std::unordered_map<std::string, std::size_t>& book_addresses = book.AddressIndex();
  std::unordered_set<std::string> ascii_addresses;
  std::vector<std::string_view> other_addresses;
  std::unordered_set<std::string> names_without_address;
  for (std::size_t i = 0; i < book.Cards().Cards().size(); ++i) {
    if (book.Cards().Field(i, kAddressColumn).empty()) names_without_address.insert(book.Cards().Field(i, kNameColumn));
  }
  std::vector<const std::vector<std::string>*> accepted;
  for (const std::vector<std::string>& card : cards) {
    const std::string& name = card.size() > kNameColumn ? card[kNameColumn] : std::string();
    const std::string& address = card.size() > kAddressColumn ? card[kAddressColumn] : std::string();
    if (name.empty() && address.empty()) {
      ++merge.empty;
      continue;
    }
    bool known = false;
    if (address.empty()) {
      known = !names_without_address.insert(name).second;
    } else if (std::optional<std::string> key = AsciiAddressKey(address)) {
      known = book_addresses.contains(*key) || !ascii_addresses.insert(std::move(*key)).second;
    } else {
      known = book.FindCardByAddress(address).has_value() ||
              std::any_of(other_addresses.begin(), other_addresses.end(), [&address](std::string_view other) {
                return other.size() == address.size() && CompareJapaneseText(other, address, IgnoreCase) == 0;
              });
      if (!known) other_addresses.push_back(address);
    }
    if (known) {
      ++merge.duplicates;
    } else {
      accepted.push_back(&card);
    }
  }
  for (const std::vector<std::string>* card : accepted) (void)book.Cards().AddCard(*card);
  merge.added = accepted.size();
  return merge;
}

std::string FormatCardsAsUtf8Csv(const TCard& cards, CardScope scope) {
  std::string out = "\xEF\xBB\xBF";
  AppendUtf8CsvLine(cards.Header(), out);
  cards.ForEachCard(scope, [&out](const Card& card) { AppendUtf8CsvLine(card, out); });
  return out;
}

}  // namespace lp
