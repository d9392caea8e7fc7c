#pragma once

#include <string>
#include <string_view>

// Readable plain text made from an HTML text, for reading HTML-only mail
// in a text view: no markup and nothing of scripts, styles or the head;
// block elements become paragraphs and lines, <br> a line break, list items
// get a "・" or their number, a block quote ">" marks, a link is followed by
// its address in angle brackets (unless its text is the address), an image
// by its alt text in brackets; character references are decoded and
// whitespace collapses as a browser would collapse it (a line break between
// two Japanese characters disappears). Nothing is fetched and nothing is
// run. Input and output are Shift_JIS; output lines end in CR LF, at most
// one empty line stands between paragraphs, and there is no empty line at
// either end. Malformed HTML gives what a browser would show of it as far as
// this can tell, never an error; the work is linear in the input.

namespace lp {

[[nodiscard]] std::string HtmlToText(std::string_view sjis_html);

}  // namespace lp
