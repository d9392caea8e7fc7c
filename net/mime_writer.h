#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "codec/buffered_file_writer.h"
#include "platform/user_interface.h"

// Writing the lines of an outgoing message: text converted to ISO-2022-JP
// for SMTP, plain Shift_JIS for a LAN copy, the multipart boundary and the
// Base64 lines of an attachment.
//
// A line break in a text is CR LF, or a lone LF or CR: each is written as
// CR LF, so that no bare LF reaches an SMTP server (where it could end the
// data early) and every line gets its dot-stuffing. A last piece after the
// final line break is written without one. Long lines are neither folded
// nor cut.

namespace lp {

enum class DotStuffing { Off, On };

// Each line converted with SjisToJis and followed by CR LF. Half-width
// katakana become full-width first: ISO-2022-JP has no half-width
// katakana, and receivers show them garbled. With stuffing on, a line
// beginning with "." gets one more "." in front.
void WriteConvertedLines(std::string_view sjis_text, DotStuffing stuffing, BufferedFileWriter& out);

// Each line as it is (a LAN copy carries Shift_JIS), followed by CR LF. A
// line that is exactly "." is written ". ": the spool reader ends a message
// at a "." line and removes dot-stuffing only from POP3 messages, so the
// one line that would end the copy early gets a blank that keeps every
// reader from taking it for the end.
void WritePlainLines(std::string_view sjis_text, BufferedFileWriter& out);

// "======Boundary=" and 15 random decimal digits.
[[nodiscard]] std::string MakeBoundary();
// The same digits for the same seed.
[[nodiscard]] std::string MakeBoundary(std::uint64_t seed);

// Bytes of a file per Base64 line: 57 bytes make 76 characters.
inline constexpr std::size_t kBase64LineBytes = 57;

enum class AttachmentWrite {
  Written,     // every byte of the file is in the lines
  Unreadable,  // the file could not be opened or read at all: nothing written
  ReadFailed,  // reading stopped part way: the lines hold only the start
};

// Writes the file at `sjis_path` as Base64 lines of 57 bytes each followed
// by CR LF; the last line is shorter, and empty when the size is a multiple
// of 57. When the file cannot be read the user is told
// "添付ファイルが開けません".
[[nodiscard]] AttachmentWrite WriteBase64Attachment(std::string_view sjis_path, BufferedFileWriter& out,
                                                    UserInterface& ui);

}  // namespace lp
