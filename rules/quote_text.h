#pragma once

#include <string>
#include <string_view>

namespace lp {

// The text cut at CR LF, every line (empty ones too) preceded by `mark`
// ("ReplyMark") and ended with CR LF; a last line without CR LF gets the
// mark and no CR LF. Used for forwarded and replied mail.
[[nodiscard]] std::string QuoteText(std::string_view text, std::string_view mark);

}  // namespace lp
