#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

// Transfer encodings of mail: Base64 (text and attachment lines),
// quoted-printable, uuencode, and the form encoding of a mailto query.
// Decoders take one line without its CR LF. They never reject input:
// malformed text decodes to whatever the arithmetic gives, as mail from
// careless senders has always been shown that way.

namespace lp {

// Base64 of the bytes up to the first NUL (or the whole view), no line breaks.
[[nodiscard]] std::string Base64EncodeText(std::string_view text);
// Base64 of exactly these bytes; 57 bytes make one 76-character attachment line.
[[nodiscard]] std::string Base64EncodeBlock(std::string_view bytes);

// Every byte of the Base64 text, NUL bytes included. Characters map to
// values arithmetically without validation; an incomplete last group of
// fewer than four characters is ignored; a "=" in the third or fourth place
// of a group ends the decoding after that group's whole bytes.
[[nodiscard]] std::string Base64DecodeBytes(std::string_view text);
// Appends what Base64DecodeBytes gives to `out`, for callers that collect
// the lines of a part and write them in large blocks.
void Base64DecodeAppend(std::string_view text, std::string& out);
// As Base64DecodeBytes, but the result ends before the first decoded NUL:
// callers treat it as text (encoded words, the CRAM-MD5 challenge).
[[nodiscard]] std::string Base64DecodeText(std::string_view text);
// Appends the decoded bytes of one line to `file`; false when writing fails.
[[nodiscard]] bool Base64DecodeToFile(std::string_view line, File& file);
// One Base64 line of UTF-8 text, as Shift_JIS.
[[nodiscard]] std::string Base64Utf8LineToSjis(std::string_view line);

// "=XY" becomes the byte 0xXY (either case of hex digit); a "=" with fewer
// than two characters after it is dropped, which removes a soft line break.
// "_" stays "_": only encoded words of the "Q" form read it as a space.
[[nodiscard]] std::string QuotedPrintableDecode(std::string_view line);

inline constexpr int kUudecodeEndLine = -1;
inline constexpr int kUudecodeWriteFailed = -2;
// Decodes one uuencoded line into `file`. Returns the number of bytes
// written, kUudecodeEndLine for a line whose length character gives 0 (the
// "`" or " " line before "end"), or kUudecodeWriteFailed.
[[nodiscard]] int UudecodeLineToFile(std::string_view line, File& file);

// The query of a mailto link: "%XY" gives the byte 0xXY, "+" a space and
// "&" a line break (CR LF), so each field lands on its own line.
[[nodiscard]] std::string DecodeFormText(std::string_view text);

}  // namespace lp
