#pragma once

#include <ctime>
#include <string>
#include <string_view>

// The header and part texts that the SMTP message and the LAN copy share.
// Values given here are Shift_JIS; no function converts codes.

namespace lp {

inline constexpr char kMailerLines[] = "X-MAILER: Orvex Lanternpost\r\nMIME-Version: 1.0\r\n";

// The value without CR and LF: a line break inside a header field or an
// address (from a mailto link, a template, a pasted text) would start a
// header line or an SMTP command of its own.
[[nodiscard]] std::string WithoutLineBreaks(std::string_view value);

// A display name, subject or file name as a header word: half-width
// katakana made full-width, then one ISO-2022-JP encoded word when the
// text holds a double-byte character; line breaks removed.
[[nodiscard]] std::string HeaderWord(std::string_view value);

// "In-Reply-To:" (the references after their first "> " when they hold
// "> <", else all of them) and "References:" lines; empty without
// references.
[[nodiscard]] std::string ReferenceLines(std::string_view references);

// "Date:" (RFC 5322, with the local zone offset) and "Message-ID:" lines.
[[nodiscard]] std::string DateAndIdLines(std::time_t now, std::string_view message_id);

// The Content-Type line of the message: text/plain, or multipart/mixed
// with `boundary` when it is not empty.
[[nodiscard]] std::string MessageContentTypeLine(std::string_view boundary);

// What comes before the body in a multipart message: the delimiter and the
// text part's header.
[[nodiscard]] std::string TextPartHeader(std::string_view boundary);

// The delimiter and the part header of the attachment named `header_name`
// (already a header word), with the empty line before the data.
[[nodiscard]] std::string AttachmentPartHeader(std::string_view boundary, std::string_view header_name);

// The closing delimiter line, with the line break that precedes it.
[[nodiscard]] std::string ClosingDelimiter(std::string_view boundary);

// The header word of the attachment's file name (the part of the path
// after its last separator).
[[nodiscard]] std::string AttachmentHeaderName(std::string_view attachment_path);

// The end of a message in the spool and in the DATA phase: an empty line
// (which also ends a last line without line break) and the line ".".
inline constexpr char kMessageEnd[] = "\r\n.\r\n";

}  // namespace lp
