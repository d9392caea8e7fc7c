#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// A file whose failures throw, for the long copying loops of mailbox
// maintenance: one handler around the loop shows the exception's text.

namespace lp {

class COrvexFileException : public std::runtime_error {
 public:
  // The text is `message`, ":" and `path` (Shift_JIS).
  COrvexFileException(std::string message, std::string path);

  [[nodiscard]] const std::string& Message() const { return message_; }
  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] std::string Text() const { return what(); }

 private:
  std::string message_;
  std::string path_;
};

class COrvexFile {
 public:
  COrvexFile() = default;
  // Opens at once; throws like Open.
  COrvexFile(std::string_view sjis_path, File::Mode mode);
  // Closes without throwing; call Close() to see a close failure.
  ~COrvexFile() = default;
  COrvexFile(const COrvexFile&) = delete;
  COrvexFile& operator=(const COrvexFile&) = delete;

  void Open(std::string_view sjis_path, File::Mode mode);
  // Up to `size` bytes; returns the count read, 0 at the end of the file.
  std::size_t Read(void* buffer, std::size_t size);
  void Write(std::string_view bytes);
  void Seek(std::uint64_t offset);
  [[nodiscard]] std::uint64_t Position() const;
  [[nodiscard]] std::uint64_t Length() const;
  void Close();

  [[nodiscard]] bool IsOpen() const { return file_.IsOpen(); }
  [[nodiscard]] const std::string& Path() const { return path_; }

 private:
  [[noreturn]] void Throw(const char* message) const;

  File file_;
  std::string path_;
};

}  // namespace lp
