#pragma once

#include <string>
#include <string_view>

// What a reader is shown of a received mail: its stored text (header
// lines, an empty line, the decoded body) with the body made readable. The
// analysis stores the text parts of a MIME mail one after another without
// their part headers, so a mail sent with a text and an HTML version holds
// both, and an HTML-only mail holds markup.
//
// For a mail whose Content-Type is multipart or text/html and whose body
// holds an HTML version (from "<!DOCTYPE html" or "<html" through
// "</html>"; else, in a multipart mail, from a line that starts with a
// common tag to a last line that ends one):
// - with text before it (a MIME preamble line does not count): that text,
//   the text version, then what follows the HTML (the notes of saved
//   attachments);
// - without: readable text made from the HTML (HtmlToText), then what
//   follows it.
// In a multipart mail the note of a saved attachment always starts a line.
// Every other text comes back as it is, and so does the header. Input and
// output are Shift_JIS with CR LF line ends (a JIS or EUC-JP body comes
// back in Shift_JIS when it is made readable).

namespace lp {

[[nodiscard]] std::string ReadableMailText(std::string_view stored_text);

}  // namespace lp
