#pragma once

#include <string>
#include <string_view>

// The Message-ID of an outgoing mail: "<" random part "@" domain ">".

namespace lp {

// The domain after the last "@" of `address` (an address part, blanks
// around it ignored), when it is a plain ASCII domain; otherwise a reserved
// name that can never be anyone's.
[[nodiscard]] std::string MessageIdDomain(std::string_view address);

// A new id for a mail from `address`: 128 bits from the system's
// cryptographic random source as 32 hexadecimal digits, then "@" and the
// domain. Ids of two mails never meet, whatever the clock says.
[[nodiscard]] std::string NewMessageId(std::string_view address);

}  // namespace lp
