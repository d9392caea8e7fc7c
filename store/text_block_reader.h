#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "store/mailbox_document.h"

// Reads the text blocks of one box's text file for loops over many mails
// (search, export). Blocks are read through a large window of the file, so
// mails stored one after another cost one read per window instead of one
// per mail. A block reads as CLPOSTDoc::ReadText gives it: without its
// final "\r\n.\r\n", never more than the file holds.

namespace lp {

class TextBlockReader {
 public:
  // Bytes read at a time (more when one block is larger).
  static constexpr std::size_t kWindowBytes = 4 << 20;

  // False when the text file cannot be opened for reading.
  [[nodiscard]] bool Open(std::string_view text_path);
  [[nodiscard]] bool IsOpen() const { return file_.IsOpen(); }

  // The text of the block [start, end); valid until the next call. On
  // failure the text is empty and `error` says why (Shift_JIS): offsets
  // beyond the file read as a failed seek.
  [[nodiscard]] MailText Read(std::uint32_t start, std::uint32_t end, std::string_view* text);

  // The bytes read last, which hold the block read last; and a number that
  // changes whenever they are replaced (0 before the first read). A caller
  // may test the whole window once instead of each block in it.
  [[nodiscard]] std::string_view window() const { return window_; }
  [[nodiscard]] std::uint64_t window_number() const { return window_number_; }

 private:
  File file_;
  std::uint64_t size_ = 0;
  std::string window_;
  std::uint64_t window_start_ = 0;
  std::uint64_t window_number_ = 0;
};

}  // namespace lp
