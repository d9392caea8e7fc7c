#pragma once

#include <string_view>

#include "platform/file_system.h"

// "rec.log": the dialogue of the last POP3 session. Lines sent and pieces
// received are written as they are, except that the password never reaches
// the file and NUL bytes become spaces. Writing the log is best effort: a
// log that cannot be written never stops a receive.

namespace lp {

class ReceiveLog {
 public:
  // Truncates (or creates) the log.
  void Open(std::string_view sjis_path);
  void Close() { file_.Close(); }
  // A command line as sent; "PASS ..." is written as "PASS ******\r\n".
  void Sent(std::string_view line);
  void Received(std::string_view bytes);

 private:
  File file_;
};

}  // namespace lp
