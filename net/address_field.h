#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The To, Cc and Bcc fields of an outgoing mail as recipient entries, and
// the parts of one entry. An entry stays as the user typed it (no blanks
// are trimmed); all texts are Shift_JIS.

namespace lp {

// The entries of the address-book list whose name is exactly `field` (the
// lines of the file the list names, or the list's own lines), or nullopt
// when no list has that name. The address book expands the list and tells
// the user about a list file it cannot read.
using AddressListLookup = std::function<std::optional<std::vector<std::string>>(std::string_view field)>;

// With "<": the text between the last "<" and the last ">" (to the end when
// no ">" follows). Otherwise with "(": everything before the first "(",
// trailing blanks kept. Otherwise the whole entry.
[[nodiscard]] std::string_view AddressPart(std::string_view entry);
// With "<": everything before the first "<", blanks kept. Otherwise the
// text between the first "(" and the first ")" after it. Otherwise empty.
[[nodiscard]] std::string_view DisplayNamePart(std::string_view entry);
// The address part without the blanks around it, as it goes between "<"
// and ">" and into the envelope ("addr (Name)" leaves a blank behind).
[[nodiscard]] std::string_view BareAddress(std::string_view entry);
// The address part names a directory: the mail goes to that LAN directory,
// not by SMTP. An address with an "@" whose domain part holds no path
// separator is a mail address ("sales/jp@example.co.jp"); any other
// address part with a separator outside a double-byte character is a
// directory.
[[nodiscard]] bool IsLanDestination(std::string_view entry);

// Appends the entries of a To, Cc or Bcc field to `entries`, in field
// order, duplicates included. A field that is the name of an address list
// gives the list's members; any other field is cut at the commas outside
// double quotes (an empty last piece is dropped). Returns whether an
// appended entry is not a LAN destination, that is whether an SMTP
// connection is needed.
bool SplitAddressField(std::string_view field, std::vector<std::string>& entries, const AddressListLookup& lists);

}  // namespace lp
