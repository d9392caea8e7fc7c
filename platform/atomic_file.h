#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

// Whole-file replacement that a crash cannot tear: the new content goes to
// a temporary file in the target's directory, is flushed to the disk and is
// then renamed over the target. Readers see the old file or the new one.

namespace lp {

class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  // Abandons an uncommitted replacement: the temporary file is removed and
  // the target stays as it was.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file beside `target` (Shift_JIS path).
  [[nodiscard]] bool Begin(std::string_view target);
  [[nodiscard]] bool Write(std::string_view bytes);
  // Flushes, renames over the target and flushes the directory entry.
  [[nodiscard]] bool Commit();
  void Abandon();

  // Position in the new content (bytes written so far).
  [[nodiscard]] std::uint64_t Written() const { return written_; }
  [[nodiscard]] const std::string& TemporaryPath() const { return temporary_; }
  [[nodiscard]] const std::string& ErrorText() const { return error_; }

 private:
  bool Fail();

  File file_;
  std::string target_;
  std::string temporary_;
  std::string error_;
  std::uint64_t written_ = 0;
  bool failed_ = false;
};

// Replaces the whole file at `target` with `content`; false (and the old
// file untouched) on failure, with the reason in `error` when given.
[[nodiscard]] bool ReplaceFileAtomically(std::string_view target, std::string_view content,
                                         std::string* error = nullptr);

}  // namespace lp
