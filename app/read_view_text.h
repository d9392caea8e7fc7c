#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/mailbox_document.h"

// What a read window shows of one stored mail, and the text operations of
// the reading views. All texts are Shift_JIS with CR LF line ends.

namespace lp {

// How a received mail's body is shown: readable (the text version of a
// mail with a text and an HTML version, text made from the HTML of an
// HTML-only one), or its source as stored.
enum class ShownForm { Readable, Source };

// The text of record `index`: an outgoing mail (status 3 or 4) gets a
// header block of To, From, Subject, Cc and Bcc (those two only when not
// empty) and the date, an empty line, then its text with every header
// line; any other mail shows its text as the "Mail"/"Header" setting says,
// in the form asked for.
[[nodiscard]] MailText ReadViewText(CLPOSTDoc& box, int index, ShownForm form = ShownForm::Readable);

// The window title: Subject + " by " + From.
[[nodiscard]] std::string ReadViewTitle(const CMail& mail);

// The record's attachment list ("\n"-separated paths) as paths, without
// empty entries (a stray CR at a line end is dropped too).
[[nodiscard]] std::vector<std::string> AttachmentPaths(std::string_view list);

// "シフトJIS化": every line of `text` decoded again (JIS, EUC-JP, UTF-8
// or UTF-7 brought to Shift_JIS) and ended with CR LF.
[[nodiscard]] std::string RedecodeLines(std::string_view text);

}  // namespace lp
