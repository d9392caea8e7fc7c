#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/orvex_file.h"

// Copying text blocks between mailbox text files through large buffers, so
// that copying many mails costs about as much as copying the bytes. Errors
// throw COrvexFileException like the file object underneath.

namespace lp {

class BufferedTextWriter;

// Reads forward through a window of the file; a seek inside the window
// costs nothing, which keeps records stored in file order cheap to visit.
class BufferedTextReader {
 public:
  explicit BufferedTextReader(COrvexFile& file);

  void Seek(std::uint64_t offset);
  [[nodiscard]] std::uint64_t Position() const { return window_start_ + cursor_; }

  // Copies up to `count` bytes from the position to `out`; returns how many
  // there were (fewer at the end of the file).
  std::uint64_t CopyBytes(std::uint64_t count, BufferedTextWriter& out);

  // Copies the lines of a block from `start` to `out` as a mail text copy
  // does: each line with its ending made "\r\n", until the end of the file
  // or until the position has reached `end` after a line.
  void CopyLines(std::uint64_t start, std::uint64_t end, BufferedTextWriter& out);

 private:
  // Makes at least one unread byte available; false at the end of the file.
  bool Fill();

  COrvexFile& file_;
  std::vector<char> buffer_;
  std::uint64_t window_start_ = 0;  // file offset of buffer_[0]
  std::size_t cursor_ = 0;          // read position inside the buffer
  std::size_t filled_ = 0;          // valid bytes in the buffer
  std::uint64_t file_position_ = 0;
  bool file_position_known_ = false;
};

// Appends to a file through a buffer. The position counts buffered bytes.
class BufferedTextWriter {
 public:
  // `position` is where the file's next byte will land (its length when it
  // was opened for appending).
  BufferedTextWriter(COrvexFile& file, std::uint64_t position);

  void Write(std::string_view bytes);
  void Flush();
  [[nodiscard]] std::uint64_t Position() const { return position_; }

 private:
  COrvexFile& file_;
  std::string buffer_;
  std::uint64_t position_ = 0;
};

}  // namespace lp
