#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "addressbook/addressbook_messages.h"
#include "addressbook/card_table.h"
#include "config/profile.h"
#include "platform/user_interface.h"

// The address book: a card table whose columns mean, by position, name,
// mail address, postal code, postal address, telephone, memo and category.
// It lives in the main frame for the whole run: loaded once from [System]
// AdrFile ("lpostadr.csv"), or built from the older "lpostadr.dat", and
// saved after it was edited. It also answers the look-ups of sending (the
// address list named by a To, Cc or Bcc field) and of the mail list (the
// name for an address). Texts are Shift_JIS.

namespace lp {

enum AddressColumn : std::size_t {
  kNameColumn = 0,
  kAddressColumn = 1,
  kPostalCodeColumn = 2,
  kPostalAddressColumn = 3,
  kTelephoneColumn = 4,
  kMemoColumn = 5,
  kCategoryColumn = 6,
};

inline constexpr char kDefaultAddressBookFile[] = "lpostadr.csv";
inline constexpr char kOldAddressBookFile[] = "lpostadr.dat";
// More [AdrCategory] names than this are not read.
inline constexpr int kMaxCategories = 1000;

// The cards of the older binary address book: name and mail address of each
// record, as many as could be read.
struct OldAddress {
  std::string name;
  std::string address;
};
[[nodiscard]] std::vector<OldAddress> ParseOldAddressBook(std::string_view data);

// The key under which an address made of ASCII characters is indexed:
// its letters in lower case. None for an address with other characters
// (those are compared one by one).
[[nodiscard]] std::optional<std::string> AsciiAddressKey(std::string_view address);

// The card holds `sjis_text` in one of `columns`, width, case and kana
// folded as the mail search folds them (so "ｶﾄｳ" and "かとう" find
// "カトウ"); every card holds an empty text.
[[nodiscard]] bool CardHoldsText(const TCard& cards, std::size_t card, std::string_view sjis_text,
                                 std::initializer_list<std::size_t> columns);

class AddressBook {
 public:
  AddressBook();

  [[nodiscard]] TCard& Cards() { return cards_; }
  [[nodiscard]] const TCard& Cards() const { return cards_; }
  // The file Load read, and that Save writes.
  [[nodiscard]] const std::string& Path() const { return path_; }

  // Reads [System] AdrFile (with [System] Item for the header-less mode).
  // When there is no such file, starts a new book and adds a card for every
  // record of `old_book_path` when that can be read. A file that exists but
  // cannot be read is reported and leaves an empty book that Save refuses
  // to write, so that the file is never overwritten. Returns the status of
  // the CSV file.
  CardFileStatus Load(const Profile& profile, UserInterface& ui,
                      std::string_view old_book_path = kOldAddressBookFile);
  // Writes every card to the file of Load. "ファイルが開けません：" and the
  // path when it cannot be written; the book in memory is unchanged.
  bool Save(UserInterface& ui) const;

  // [AdrCategory] Count and Name00 ..., then every non-empty category of a
  // card that is not in the list yet.
  [[nodiscard]] std::vector<std::string> LoadCategories(const Profile& profile) const;
  static bool SaveCategories(Profile& profile, const std::vector<std::string>& categories);
  [[nodiscard]] static int CategoryIndex(const Profile& profile);
  static bool SaveCategoryIndex(Profile& profile, int index);
  // Filter for the category choice: 0 is every card, n the category n - 1
  // of `categories`; an index out of range sets no filter.
  void ApplyCategoryFilter(int index, const std::vector<std::string>& categories);
  // On every card that carries it.
  std::size_t RenameCategory(std::string_view old_name, std::string_view new_name);
  std::size_t ClearCategory(std::string_view name);

  // A card from a mail's sender; an empty category means none. CR and LF
  // are dropped from the name and the address: a From field holds none, and
  // an address with a line break would act as an address list.
  std::size_t AddSender(std::string name, std::string address, std::string category = {});

  // The first card whose mail address equals `address` (letters, ASCII and
  // full-width, compare without case, as mail domains and most mailboxes
  // do); none for an empty address.
  [[nodiscard]] std::optional<std::size_t> FindCardByAddress(std::string_view address) const;
  // Every ASCII mail address of the cards by its AsciiAddressKey, with the
  // first card that has it. Made again once the cards changed.
  [[nodiscard]] const std::unordered_map<std::string, std::size_t>& AddressIndex() const;

  // The mail-address field of the first card whose name equals the whole
  // To, Cc or Bcc field (an empty field names no list): a list file's path
  // or entries separated by CR LF, which the sending side expands.
  [[nodiscard]] std::optional<std::string> FindAddressList(std::string_view field) const;
  // The name of the card FindCardByAddress finds for a bare address; none
  // for an empty name.
  [[nodiscard]] std::optional<std::string> NameForAddress(std::string_view address) const;

 private:
  TCard cards_;
  std::string path_ = kDefaultAddressBookFile;
  bool writable_ = true;
  mutable std::unordered_map<std::string, std::size_t> address_index_;
  mutable std::optional<std::uint64_t> indexed_revision_;
};

}  // namespace lp
