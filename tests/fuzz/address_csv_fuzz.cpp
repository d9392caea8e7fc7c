// Fuzz target for address lists brought into the address book: any bytes
// as a CSV file of this program or of another one, or as vCards. Every card read has the
// book's seven columns; merging them into a book accounts for each card
// once; the book written in its own format reads back with as many cards,
// written as UTF-8 CSV it reads back, and written as vCards it gives no
// card more.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "addressbook/addressbook_messages.h"
#include "addressbook/card_import.h"
#include "addressbook/vcard_import.h"

namespace {

// Names the broken promise before stopping, so that a crash says which.
void Check(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "address_csv_fuzz: %s\n", promise);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const lp::ImportedCards imported = lp::ParseAddressFile(input);
  Check(imported.problem == lp::CardImportProblem::None || imported.cards.empty(), "a refused file gives no card");
  Check(imported.lossy_cards <= imported.cards.size(), "no more lossy cards than cards");
  for (const auto& card : imported.cards) Check(card.size() == lp::kCategoryColumn + 1, "seven columns per card");

  lp::AddressBook book;
  const lp::CardMerge merge = lp::AddImportedCards(book, imported.cards);
  Check(merge.added + merge.duplicates + merge.empty == imported.cards.size(), "every card accounted for once");
  Check(book.Cards().Cards().size() == merge.added, "the book holds what was added");

  lp::TCard own;
  own.Parse(book.Cards().Format(lp::CardScope::AllCards), false, lp::kNewAddressBookHeader);
  // A book without cards writes its header alone, which reads as one empty card.
  const std::size_t expected_own = merge.added == 0 ? 1 : merge.added;
  Check(own.Cards().size() == expected_own, "the own format reads back with as many cards");

  const lp::ImportedCards again = lp::ParseAddressCsv(lp::FormatCardsAsUtf8Csv(book.Cards(), lp::CardScope::AllCards));
  Check(again.problem == lp::CardImportProblem::None || merge.added == 0, "the UTF-8 export reads back");

  // A name of blanks alone is no name in a vCard: no more cards, not always as many.
  const std::string vcards = lp::FormatCardsAsVCards(book.Cards(), lp::CardScope::AllCards);
  Check(lp::ParseAddressFile(vcards).cards.size() <= merge.added, "the vCard export reads back no extra card");
  return 0;
}
