#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_book.h"
#include "addressbook/card_table.h"

// Address lists brought in from a CSV file and written out for other
// programs. A file of this program's own format (Shift_JIS, its header
// line, line breaks as 0x01 0x02) is read as the book reads it; any other
// CSV (RFC 4180 quoting, in UTF-8, UTF-16 with a byte-order mark, or
// Shift_JIS) is read by its column names, in Japanese or English as mail
// programs and contact services write them (氏名, 姓/名, Display Name,
// First/Last Name, Primary Email, E-mail 1 - Value, ...). A file whose
// first line is already an address is read by position, in the book's
// column order.

namespace lp {

enum class CardImportProblem {
  None,
  Empty,      // the file holds no line
  NoColumns,  // no column names a name or a mail address, and no line starts with cards
};

struct ImportedCards {
  // Seven Shift_JIS texts per card, in the book's column order.
  std::vector<std::vector<std::string>> cards;
  // Cards with a character Shift_JIS cannot hold (it became "?").
  std::size_t lossy_cards = 0;
  CardImportProblem problem = CardImportProblem::None;
};

[[nodiscard]] ImportedCards ParseAddressCsv(std::string_view bytes);

struct CardMerge {
  std::size_t added = 0;
  std::size_t duplicates = 0;  // a card of that mail address was already there
  std::size_t empty = 0;       // neither a name nor a mail address
};

// Appends the cards whose mail address the book does not hold yet (letters
// compared without case); a card without an address is added unless a card
// of the same name and no address exists.
CardMerge AddImportedCards(AddressBook& book, const std::vector<std::vector<std::string>>& cards);

// The cards as RFC 4180 CSV in UTF-8 with a byte-order mark, CR LF line
// ends, the header line first: what spreadsheets and other mail programs
// read.
[[nodiscard]] std::string FormatCardsAsUtf8Csv(const TCard& cards, CardScope scope);

}  // namespace lp
