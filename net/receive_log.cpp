#include "net/receive_log.h"

#include "net/pop_spool.h"

namespace lp {

void ReceiveLog::Open(std::string_view sjis_path) {
  file_.Close();
  if (!file_.Open(sjis_path, File::Mode::Write)) file_.Close();
}

void ReceiveLog::Sent(std::string_view line) {
  if (!file_.IsOpen()) return;
  // Masked by prefix, whatever the case, so that no spelling of the
  // command can carry the password into the file.
  if (line.size() >= 4 && (line[0] | 0x20) == 'p' && (line[1] | 0x20) == 'a' && (line[2] | 0x20) == 's' &&
      (line[3] | 0x20) == 's') {
    (void)file_.Write("PASS ******\r\n");
    return;
  }
  (void)file_.Write(line);
}

void ReceiveLog::Received(std::string_view bytes) {
  if (!file_.IsOpen()) return;
  (void)file_.Write(NulToSpace(bytes));
}

}  // namespace lp
