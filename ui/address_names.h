#pragma once

#include <QString>

#include "addressbook/address_book.h"
#include "store/mail_record.h"
#include "ui/mail_list_model.h"

// The address book seen from the mail list: the name it gives a sender or
// a recipient, and the card a mail's sender would make.

namespace lp {

// The name of the card whose mail address is the field's one address; a
// field of several addresses keeps its own text. The book must outlive
// the lookup.
[[nodiscard]] MailListModel::NameLookup AddressBookNames(const AddressBook& book);

struct MailSender {
  QString name;  // the display name, or the address when there is none
  QString address;
};
// The sender of the From field of a mail.
[[nodiscard]] MailSender SenderOf(const CMail& mail);

}  // namespace lp
