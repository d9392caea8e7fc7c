#pragma once

#include <string>

// The question asked before each mail is fetched when the account confirms
// every mail: what it shows of the mail on the server, and its four answers.

namespace lp {

struct MailSummary {
  int number = 0;         // server message number
  std::string to;         // decoded, Shift_JIS
  std::string from;
  std::string subject;
  std::string body;       // at most the first 100 body lines, CR LF between them
};

enum class ConfirmAnswer {
  Receive,  // fetch it (it stays on the server)
  Delete,   // delete it on the server without fetching it
  Stop,     // end the session here
  Skip,     // leave it on the server and go on with the next
};

}  // namespace lp
