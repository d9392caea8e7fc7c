#include "addressbook/address_book.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <unordered_map>

#include "codec/japanese_text.h"
#include "platform/file_system.h"
#include "store/object_archive.h"

namespace lp {
namespace {

constexpr char kCannotOpenFile[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x81\x46";  // ファイルが開けません：
constexpr char kCategorySection[] = "AdrCategory";
constexpr std::uint16_t kOldRecordVersion = 100;

std::string CategoryKey(int index) {
  char key[16];
  std::snprintf(key, sizeof key, "Name%02d", index);
  return key;
}

}  // namespace

std::vector<OldAddress> ParseOldAddressBook(std::string_view data) {
  std::vector<OldAddress> records;
  ObjectArchiveReader reader(data, {"CAddress", 1});
  // Tag, version and two empty strings.
  const std::uint32_t count = reader.ReadCount(2 + 2 + 1 + 1);
  for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
    if (!reader.BeginItem() || reader.ReadWord() != kOldRecordVersion) break;
    OldAddress record;
    if (!reader.ReadString(record.name) || !reader.ReadString(record.address)) break;
    records.push_back(std::move(record));
  }
  return records;
}

AddressBook::AddressBook() { cards_.Reset(kNewAddressBookHeader, false); }

CardFileStatus AddressBook::Load(const Profile& profile, UserInterface& ui, std::string_view old_book_path) {
  path_ = profile.GetString("System", "AdrFile", kDefaultAddressBookFile);
  const bool header_less = profile.GetInt("System", "Item", 0) == 1;
  writable_ = true;
  const CardFileStatus status = cards_.Load(path_, header_less, kNewAddressBookHeader);
  if (status == CardFileStatus::Unreadable) {
    writable_ = false;
    ui.ShowMessage(kCannotOpenFile + path_);
  } else if (status == CardFileStatus::Missing) {
    if (std::optional<std::string> old_book = ReadCardFileText(old_book_path)) {
      for (OldAddress& record : ParseOldAddressBook(*old_book)) {
        cards_.AddCard({std::move(record.name), std::move(record.address)});
      }
    }
  }
  return status;
}

bool AddressBook::Save(UserInterface& ui) const {
  if (!writable_ || !cards_.Save(path_, CardScope::AllCards)) {
    ui.ShowMessage(kCannotOpenFile + path_);
    return false;
  }
  return true;
}

std::vector<std::string> AddressBook::LoadCategories(const Profile& profile) const {
  std::vector<std::string> categories;
  const int count = std::clamp(profile.GetInt(kCategorySection, "Count", 0), 0, kMaxCategories);
  for (int i = 0; i < count; ++i) categories.push_back(profile.GetString(kCategorySection, CategoryKey(i)));
  for (const Card& card : cards_.Cards()) {
    if (card.size() <= kCategoryColumn) continue;
    const std::string& category = card[kCategoryColumn].text;
    if (!category.empty() && std::find(categories.begin(), categories.end(), category) == categories.end()) {
      categories.push_back(category);
    }
  }
  return categories;
}

bool AddressBook::SaveCategories(Profile& profile, const std::vector<std::string>& categories) {
  const std::string count = std::to_string(categories.size());
  std::vector<std::string> keys;
  keys.reserve(categories.size());
  for (std::size_t i = 0; i < categories.size(); ++i) keys.push_back(CategoryKey(static_cast<int>(i)));
  std::vector<ProfileEntry> entries{{kCategorySection, "Count", count}};
  for (std::size_t i = 0; i < categories.size(); ++i) entries.push_back({kCategorySection, keys[i], categories[i]});
  return profile.WriteStrings(entries);
}

int AddressBook::CategoryIndex(const Profile& profile) { return profile.GetInt(kCategorySection, "Index", 0); }

bool AddressBook::SaveCategoryIndex(Profile& profile, int index) {
  return profile.WriteInt(kCategorySection, "Index", index);
}

void AddressBook::ApplyCategoryFilter(int index, const std::vector<std::string>& categories) {
  if (index <= 0 || static_cast<std::size_t>(index) > categories.size()) {
    cards_.ClearFilter();
  } else {
    cards_.SetFilter(kCategoryColumn, categories[static_cast<std::size_t>(index) - 1]);
  }
}

std::size_t AddressBook::RenameCategory(std::string_view old_name, std::string_view new_name) {
  return cards_.ReplaceColumnValue(kCategoryColumn, old_name, new_name);
}

std::size_t AddressBook::ClearCategory(std::string_view name) {
  return cards_.ReplaceColumnValue(kCategoryColumn, name, {});
}

std::size_t AddressBook::AddSender(std::string name, std::string address, std::string category) {
  std::vector<std::string> texts(kCategoryColumn + 1);
  texts[kNameColumn] = RemoveChar(RemoveChar(name, '\r'), '\n');
  texts[kAddressColumn] = RemoveChar(RemoveChar(address, '\r'), '\n');
  texts[kCategoryColumn] = std::move(category);
  return cards_.AddCard(std::move(texts));
}

std::optional<std::string> AddressBook::FindAddressList(std::string_view field) const {
  if (field.empty()) return std::nullopt;
  for (std::size_t i = 0; i < cards_.Cards().size(); ++i) {
    if (cards_.Field(i, kNameColumn) == field) return cards_.Field(i, kAddressColumn);
  }
  return std::nullopt;
}

bool CardHoldsText(const TCard& cards, std::size_t card, std::string_view sjis_text,
                   std::initializer_list<std::size_t> columns) {
  if (sjis_text.empty()) return true;
  constexpr unsigned kFolding = IgnoreWidth | IgnoreCase | IgnoreKana;
  return std::any_of(columns.begin(), columns.end(), [&](std::size_t column) {
    return FindJapaneseText(cards.Field(card, column), sjis_text, kFolding) >= 0;
  });
}

std::optional<std::string> AsciiAddressKey(std::string_view address) {
  std::string key(address);
  for (char& c : key) {
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

const std::unordered_map<std::string, std::size_t>& AddressBook::AddressIndex() const {
  if (indexed_revision_ != cards_.Revision()) {
    address_index_.clear();
    for (std::size_t i = 0; i < cards_.Cards().size(); ++i) {
      const std::string& address = cards_.Field(i, kAddressColumn);
      if (address.empty()) continue;
      if (std::optional<std::string> key = AsciiAddressKey(address)) address_index_.try_emplace(std::move(*key), i);
    }
    indexed_revision_ = cards_.Revision();
  }
  return address_index_;
}

std::optional<std::size_t> AddressBook::FindCardByAddress(std::string_view address) const {
  if (address.empty()) return std::nullopt;
  // Case folding never makes other characters equal to ASCII ones: an ASCII
  // address can only be a card's ASCII address.
  if (const std::optional<std::string> key = AsciiAddressKey(address)) {
    const auto& index = AddressIndex();
    const auto found = index.find(*key);
    if (found == index.end()) return std::nullopt;
    return found->second;
  }
  for (std::size_t i = 0; i < cards_.Cards().size(); ++i) {
    const std::string& card_address = cards_.Field(i, kAddressColumn);
    if (card_address.size() == address.size() && CompareJapaneseText(card_address, address, IgnoreCase) == 0) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::string> AddressBook::NameForAddress(std::string_view address) const {
  const std::optional<std::size_t> card = FindCardByAddress(address);
  if (!card || cards_.Field(*card, kNameColumn).empty()) return std::nullopt;
  return cards_.Field(*card, kNameColumn);
}

}  // namespace lp
