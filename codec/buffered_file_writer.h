#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// A file written in large blocks: the analysis writes a mail's text and
// attachments a line at a time, and one system call per line would cost
// more than the decoding. The position counts buffered bytes too, so text
// offsets taken from it are exact.

namespace lp {

class BufferedFileWriter {
 public:
  static constexpr std::size_t kBlockBytes = 256 * 1024;

  BufferedFileWriter() = default;
  BufferedFileWriter(const BufferedFileWriter&) = delete;
  BufferedFileWriter& operator=(const BufferedFileWriter&) = delete;
  ~BufferedFileWriter() { Close(); }

  // Opens for appending; the position starts at the file's length.
  [[nodiscard]] bool OpenAppend(std::string_view sjis_path);
  // Takes over an open file whose position is `position` (an attachment
  // file just created).
  void Adopt(File file, std::uint64_t position);

  [[nodiscard]] bool IsOpen() const { return file_.IsOpen(); }
  [[nodiscard]] const std::string& Path() const { return file_.Path(); }
  [[nodiscard]] std::uint64_t Position() const { return position_; }
  // The position up to which the file surely holds what was written.
  [[nodiscard]] std::uint64_t WrittenPosition() const { return written_; }
  // True once a write, flush or close failed; later writes are dropped.
  [[nodiscard]] bool Failed() const { return failed_; }
  // The system's text for the first failure (e.g. "No space left on device").
  [[nodiscard]] const std::string& ErrorText() const { return error_text_; }
  // The last two bytes written are CR LF (or nothing was written).
  [[nodiscard]] bool AtLineStart() const { return tail_ == "\r\n" || tail_.empty(); }

  void Write(std::string_view bytes);
  // Lets `produce` append to the pending block directly (decoders that
  // append, such as Base64DecodeAppend), without an intermediate string.
  template <typename Produce>
  void AppendWith(Produce&& produce) {
    const std::size_t before = pending_.size();
    produce(pending_);
    Account(before);
  }

  // Writes the pending block; the file then holds everything written.
  bool Flush();
  // The file itself, for writers that need it directly: call Flush first,
  // and report their failures through Fail.
  [[nodiscard]] File& file() { return file_; }
  // Records a failure of the last system call on the file.
  void Fail();
  // Flushes and closes; false when anything written did not reach the file.
  bool Close();

 private:
  void Account(std::size_t before);

  File file_;
  std::string pending_;
  std::uint64_t position_ = 0;
  std::uint64_t written_ = 0;
  std::string tail_;
  bool failed_ = false;
  std::string error_text_;
};

}  // namespace lp
