#pragma once

#include <cstdint>
#include <optional>
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
// AnalyseSpool's result when a write failed after the analysis had begun
// (disk full, quota) to an attachment file or to the box's text file.
inline constexpr int kAnalyseWriteFailed = -2;

// AnalyseSpoolWithProgress's result when its progress asked to cancel; the
// box is left as after a failed write.
inline constexpr int kAnalyseCancelled = -3;

// Deepest nesting of multipart containers that is followed; deeper
// containers are read as text of the part that holds them.
inline constexpr std::size_t kMaxMultipartDepth = 64;

// The Message-Id and date that the analysis gives a message's record, from
// the values of the message's last "Message-Id" and "Date" fields (nullopt
// when absent). `date` is nullopt when no usable date is given: the record
// then takes the time of the analysis (or 0 without any Date field).
struct AnalysedIdentity {
  std::string message_id;
  std::optional<std::int32_t> date;
};
[[nodiscard]] AnalysedIdentity IdentityOfHeader(std::optional<std::string_view> message_id_value,
                                                std::optional<std::string_view> date_value);

// Appends one record per message of the spool to `box` and returns their
// number: 0 when the spool cannot be opened or holds no message,
// kAnalyseTextFileFailed when the box's text file cannot be appended to,
// kAnalyseWriteFailed when a write, flush or close failed on the way. After
// a failed write the box is as it was: no record is added, the text file is
// cut back and the attachment files of this analysis are removed, so that
// the spool (which the caller keeps) can be analysed again; the message
// naming the file and the system's reason has been shown through the box's
// user interface. The box is marked modified; saving it is the caller's task.
//
// Attachments go to the directory of the setting "System"/"AttachDir"
// (created when missing); no existing file is ever replaced. Messages that
// begin with a POP3 "+OK" line have their dot-stuffing removed. Any bytes
// are accepted: memory stays bounded whatever the spool holds, and records
// and text blocks stored before are never touched.
[[nodiscard]] int AnalyseSpool(CLPOSTDoc& box, std::string_view spool_path,
                               MessageIdObserver* message_ids = nullptr);

// Attachments one message may save; the parts past them are not saved and
// the mail's text has a note in the place of each.
inline constexpr int kMaxAttachmentsPerMessage = 1000;

struct SpoolAnalysisResult {
  int count = 0;        // as AnalyseSpool's result, or kAnalyseCancelled
  std::string message;  // why a write failed (Shift_JIS), not yet shown
  // Parts not saved because their message had kMaxAttachmentsPerMessage
  // attachments already.
  int dropped_attachments = 0;
};

// AnalyseSpool for a job that may run on a worker thread: nothing is shown
// (the caller shows `message` on its own thread), the part of the spool
// read so far goes to `progress` (a range in KiB) and its cancel is polled
// between lines. It touches only `box` (which the job holds busy), the
// box's files, new files in the attachment directory and settings read
// through the thread-safe Profile; `message_ids` is told on the job's thread.
[[nodiscard]] SpoolAnalysisResult AnalyseSpoolWithProgress(CLPOSTDoc& box, std::string_view spool_path,
                                                           Progress* progress,
                                                           MessageIdObserver* message_ids = nullptr);

}  // namespace lp
