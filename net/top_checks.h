#pragma once

#include <string>
#include <string_view>

#include "platform/mail_confirmation.h"

// What the POP3 session reads from a TOP response (raw, as the server sent
// it: the "+OK" line, dot-stuffed lines and the closing "."): the
// Message-Id that checks the remembered position, the inline-frame check and
// the summary shown when each mail is confirmed.

namespace lp {

// The value of the first Message-Id header (name in any case), trimmed;
// empty when there is none.
[[nodiscard]] std::string FirstMessageId(std::string_view top_response);

// True for a multipart/alternative mail whose lines carry "<IFRAME "
// (in any case): such mail is not fetched.
[[nodiscard]] bool HasInlineFrame(std::string_view top_response);

[[nodiscard]] MailSummary SummariseTop(std::string_view top_response, int number);

}  // namespace lp
