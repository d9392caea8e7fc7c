#pragma once

#include <string>
#include <string_view>

#include "store/mailbox_document.h"

// The analysis of received mail: a spool of messages (as a POP3 session or
// a LAN sender leaves it) becomes mail records and text blocks of a box,
// attachment files in the attachment directory and Content-ID references.

namespace lp {

// Told every Message-Id the analysis reads; the connection accounts keep
// the last one as the current account's "MessageID".
class MessageIdObserver {
 public:
  virtual ~MessageIdObserver() = default;
  virtual void OnMessageIdAnalysed(std::string_view sjis_message_id) = 0;
};

// AnalyseSpool's result when the box's text file cannot be appended to.
inline constexpr int kAnalyseTextFileFailed = -1;

// Appends one record per message of the spool to `box` and returns their
// number: 0 when the spool cannot be opened or holds no message,
// kAnalyseTextFileFailed when the box's text file cannot be appended to.
// The box is marked modified; saving it is the caller's task.
[[nodiscard]] int AnalyseSpool(CLPOSTDoc& box, std::string_view spool_path,
                               MessageIdObserver* message_ids = nullptr);

}  // namespace lp
