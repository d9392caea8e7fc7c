#include "ui/address_names.h"

#include <string>
#include <vector>

#include "codec/address_display.h"
#include "net/address_field.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

const AddressListLookup kNoLists = [](std::string_view) { return std::optional<std::vector<std::string>>(); };

}  // namespace

MailListModel::NameLookup AddressBookNames(const AddressBook& book) {
  return [&book](std::string_view field) -> std::optional<std::string> {
    std::vector<std::string> entries;
    (void)SplitAddressField(field, entries, kNoLists);
    if (entries.size() != 1) return std::nullopt;
    return book.NameForAddress(BareAddress(entries.front()));
  };
}

MailSender SenderOf(const CMail& mail) {
  MailSender sender;
  sender.address = FromSjis(BareAddress(mail.from));
  sender.name = FromSjis(AddressFieldForDisplay(DisplayNamePart(mail.from))).trimmed();
  if (sender.name.isEmpty()) sender.name = sender.address;
  return sender;
}

}  // namespace lp
