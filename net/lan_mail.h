#pragma once

#include <string_view>

#include "net/outgoing_message.h"

// The copy of an outgoing mail for a recipient on the LAN: appended to the
// spool "inbox.log" in the recipient's directory, where that recipient's
// receive picks it up like mail fetched by POP3. The copy is plain
// Shift_JIS: no code conversion, no encoded words except the attachment's
// file name, and no dot-stuffing, because the spool reader removes
// dot-stuffing only from POP3 messages (those beginning with "+OK"). The
// one body line that would still end the copy early, a line that is
// exactly ".", is written as ". " (see WritePlainLines).

namespace lp {

// Whether `directory`'s "inbox.log" opens for writing, or, while there is
// none, whether the directory exists; when not, it is reported to the user. Checked for every destination before anyone gets
// the mail, so that a wrong directory leaves the mail unsent for all.
[[nodiscard]] bool CanWriteLanMail(std::string_view directory, const ComposeContext& context);

// Appends one copy to `directory`'s "inbox.log". A spool that cannot be
// opened or written is reported to the user and skipped; a copy that
// failed part way is cut off again so that the spool holds whole messages
// only. Returns whether the copy was appended.
bool WriteLanMail(const OutgoingMessage& message, std::string_view directory, const ComposeContext& context);

}  // namespace lp
