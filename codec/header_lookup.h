#pragma once

#include <string>
#include <string_view>

#include "store/mailbox_document.h"

// Header fields of a stored mail, read back from its text block.

namespace lp {

// The value of header field `name` (compared without regard to ASCII case)
// in the stored text of record `index`; empty when the field is absent.
[[nodiscard]] std::string HeaderValue(CLPOSTDoc& box, int index, std::string_view name);

// The reference chain for a reply to record `index`.
[[nodiscard]] std::string ReplyReferences(CLPOSTDoc& box, int index);

}  // namespace lp
