#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// Reads a spool ("inbox.log" and the like) line by line with bounded memory:
// a line longer than kMaxSpoolLineBytes arrives as several pieces, so a
// spool of binary junk or of megabyte lines never makes a line grow.

namespace lp {

inline constexpr std::size_t kMaxSpoolLineBytes = 4095;

struct SpoolLine {
  std::string text;  // without its line break
  // False for the second and later pieces of a long line: such a piece is
  // never a message terminator and carries no dot-stuffing.
  bool starts_line = true;
  // True when the next piece continues this line (it was cut at the limit).
  bool continues = false;
};

class SpoolLineReader {
 public:
  [[nodiscard]] bool Open(std::string_view sjis_path);
  // Opens a path in the file system's own encoding (another program's file):
  // only a regular file, so a named pipe or a device never makes it wait
  // (errno says why it failed).
  [[nodiscard]] bool OpenNative(std::string_view native_path);
  // The next line (up to kMaxSpoolLineBytes bytes, or through the next LF
  // with the LF and then one CR removed); false at the end of the spool.
  // A piece cut at the limit takes the line break that directly follows it,
  // so a line of exactly the limit never yields an extra empty line.
  [[nodiscard]] bool ReadSpoolLine(SpoolLine& line);
  void Close() { file_.Close(); }
  // The end came from a failed read, not from the end of the file.
  [[nodiscard]] bool ReadFailed() const { return read_failed_; }
  // Bytes of the spool handed out so far (line breaks included).
  [[nodiscard]] std::uint64_t BytesConsumed() const { return bytes_read_ - (end_ - pos_); }

 private:
  // Makes `wanted` unread bytes available when the file still has them;
  // false when nothing is left.
  bool Fill(std::size_t wanted);
  // Consumes "\n" or "\r\n" when it comes next.
  bool SkipLineBreak();
  void Reset();

  File file_;
  std::string buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool continued_ = false;  // the previous piece was cut at the limit
  std::uint64_t bytes_read_ = 0;  // from the file into the buffer
  bool read_failed_ = false;
};

// Removes the dot-stuffing of a POP3 line (RFC 1939): a line beginning with
// "." loses that first dot. The terminator "." must be tested before.
void RemoveDotStuffing(std::string& line);

}  // namespace lp
