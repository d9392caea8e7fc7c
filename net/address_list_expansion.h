#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_book.h"
#include "net/address_field.h"
#include "platform/user_interface.h"

// The members of an address-book list for the sending side. A list card's
// mail-address field holds either the path of a text file with one entry a
// line, or the entries themselves separated by CR LF.

namespace lp {

// A list file is read up to this size; the rest is ignored.
inline constexpr std::size_t kMaxAddressListFileBytes = 1 << 20;
// A file line longer than this gives several entries of this length, as a
// line-by-line read with a fixed buffer does.
inline constexpr std::size_t kMaxAddressListLine = 254;

// The entries of a list's content. Content with a path separator that does
// not end in one names a file (one trailing CR LF dropped): its non-empty
// lines, without CR and LF; when the file cannot be opened,
// "アドレスファイルがみつかりません - " and the path are shown and no entry
// comes back. Other content: its non-empty CR LF separated pieces.
[[nodiscard]] std::vector<std::string> ExpandAddressList(std::string_view content, UserInterface& ui);

// The look-up SplitAddressField uses: the expanded list whose name is the
// whole field. Both must outlive the returned function.
[[nodiscard]] AddressListLookup MakeAddressListLookup(const AddressBook& book, UserInterface& ui);

}  // namespace lp
