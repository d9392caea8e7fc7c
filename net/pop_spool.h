#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// The spool the POP3 session appends retrieved messages to ("inbox.log").
// It remembers whether bytes were written since the last flush, so that the
// mail is on the disk before the server may delete it, and how long the file
// is, so that a message's place in it can be noted.

namespace lp {

// Received bytes as the spool and the log store them: NUL becomes a space,
// so that readers that stop at NUL never lose the rest of a line.
[[nodiscard]] std::string NulToSpace(std::string_view bytes);

class PopSpool {
 public:
  // Opens for appending (created when missing).
  [[nodiscard]] bool Open(std::string_view sjis_path);
  [[nodiscard]] bool IsOpen() const { return file_.IsOpen(); }
  [[nodiscard]] bool Append(std::string_view bytes);
  // The file's length: where the next appended byte goes.
  [[nodiscard]] std::uint64_t End() const { return end_; }
  // Flushes to the disk when something was appended since the last flush.
  [[nodiscard]] bool SyncIfNeeded();
  // Flushes, then closes; false when the flush failed.
  bool Close();

 private:
  File file_;
  bool unsynced_ = false;
  std::uint64_t end_ = 0;
};

}  // namespace lp
