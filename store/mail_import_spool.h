#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// The work spool of an import: messages written in large blocks, with the
// means to go back within the message being written (a duplicate found at
// its end is taken out again; its status line gets its digest afterwards).

namespace lp {

class ImportSpool {
 public:
  static constexpr std::size_t kBlockBytes = 1024 * 1024;

  // Creates or empties the file.
  [[nodiscard]] bool Open(std::string_view sjis_path);
  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] std::uint64_t Position() const { return flushed_ + pending_.size(); }
  [[nodiscard]] bool Failed() const { return failed_; }
  [[nodiscard]] const std::string& ErrorText() const { return error_text_; }

  void Write(std::string_view bytes);
  // Overwrites bytes written before at `offset` (same length).
  void Patch(std::uint64_t offset, std::string_view bytes);
  // Drops everything from `offset` on.
  void CutBackTo(std::uint64_t offset);
  // Writes everything out and closes; false when something failed.
  [[nodiscard]] bool Close();
  // Empties the file for the next piece of the import.
  [[nodiscard]] bool Restart() { return Open(path_); }

 private:
  bool FlushPending();
  void Fail();

  File file_;
  std::string path_;
  std::string pending_;
  std::uint64_t flushed_ = 0;
  bool failed_ = false;
  std::string error_text_;
};

}  // namespace lp
