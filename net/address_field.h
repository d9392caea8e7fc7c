#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user_interface.h"

// The To, Cc and Bcc fields of an outgoing mail as recipient entries, and
// the parts of one entry. An entry stays as the user typed it (no blanks
// are trimmed); all texts are Shift_JIS.

namespace lp {

// The content of the address-book list whose name is exactly `field`, or
// nullopt when no list has that name. The content is either the path of a
// file of entries or the entries themselves, separated by CR LF.
using AddressListLookup = std::function<std::optional<std::string>(std::string_view field)>;

// Lines of a list file longer than this arrive as several entries.
inline constexpr std::size_t kMaxListFileLineBytes = 254;

// With "<": the text between the last "<" and the last ">" (to the end when
// no ">" follows). Otherwise with "(": everything before the first "(",
// trailing blanks kept. Otherwise the whole entry.
[[nodiscard]] std::string_view AddressPart(std::string_view entry);
// With "<": everything before the first "<", blanks kept. Otherwise the
// text between the first "(" and the first ")" after it. Otherwise empty.
[[nodiscard]] std::string_view DisplayNamePart(std::string_view entry);
// The address part names a directory (it holds a path separator outside a
// double-byte character): the mail goes to that LAN directory, not by SMTP.
[[nodiscard]] bool IsLanDestination(std::string_view entry);

// Appends the entries of a To, Cc or Bcc field to `entries`, in field
// order, duplicates included. A field that is the name of an address list
// gives the list's members; any other field is cut at the commas outside
// double quotes (an empty last piece is dropped). A list file that cannot
// be read is reported through `ui` and gives nothing. Returns whether an
// appended entry is not a LAN destination, that is whether an SMTP
// connection is needed.
bool SplitAddressField(std::string_view field, std::vector<std::string>& entries,
                       const AddressListLookup& lists, UserInterface& ui);

}  // namespace lp
