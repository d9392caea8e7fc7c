#pragma once

#include <string_view>

#include "addressbook/card_import.h"

// Contacts in vCard form (".vcf"), as phones, Google Contacts, Apple
// Contacts and Thunderbird export them: versions 2.1 (with Shift_JIS or
// UTF-8 values, quoted-printable or not, as Japanese phones write them),
// 3.0 and 4.0. Each card's formatted name (else its structured name,
// family name first), its preferred (else first) e-mail address and
// telephone number, its first postal address (postal code apart, the rest
// prefecture first), its note and its first category become a card of the
// book.

namespace lp {

// The text (after a byte-order mark and blank lines) begins with
// "BEGIN:VCARD", letters in any case.
[[nodiscard]] bool LooksLikeVCard(std::string_view bytes);

[[nodiscard]] ImportedCards ParseVCards(std::string_view bytes);

// A vCard file or a CSV file, told apart by its content.
[[nodiscard]] ImportedCards ParseAddressFile(std::string_view bytes);

// The cards as vCard 3.0 in UTF-8 (CR LF line ends, long lines folded),
// for phones and contact services: FN, N (a name with a blank is taken as
// family and given name), EMAIL, TEL, ADR (the postal address as its
// street, the postal code), NOTE and CATEGORIES, each when not empty. A
// card whose address field is a list of several lines gives one EMAIL per
// line.
[[nodiscard]] std::string FormatCardsAsVCards(const TCard& cards, CardScope scope);

}  // namespace lp
