#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codec/buffered_file_writer.h"
#include "platform/user_interface.h"
#include "store/box_walk.h"
#include "store/mail_record.h"
#include "store/mailbox_document.h"
#include "util/text_out_set.h"

// Writing mail out to a plain text file: the mails of one box or of every
// box that pass a text-export setting, or the selected mails of a box.
// Every mail ends with a line holding a single ".". Runs on any thread: it
// reads the boxes' files and the given box document only. The output goes
// through an ExportOutput (util/export_output.h).

namespace lp {

// Which header lines a received mail keeps.
enum class ExportHeaders {
  Stored,  // the text as the box stores it
  Short,   // the usual lines of the reading views
  All,     // every header line
};

// One mail's text. Outgoing mail (states 3 and 4) gets a header block of
// To, From, Subject, Date (with "+0900") and Cc and Bcc when present, a blank
// line and its stored body; received mail its stored text under `headers`.
[[nodiscard]] std::string MailExportText(const CMail& mail, std::string_view stored_text, ExportHeaders headers);

enum class ExportOutcome { Done, Cancelled, Failed };

struct ExportResult {
  ExportOutcome outcome = ExportOutcome::Done;
  int mails = 0;        // mails written
  std::string message;  // Failed: what to show (Shift_JIS)
};

// The mails of `box` that pass the setting's filters, in list order, with
// the setting's header choice.
[[nodiscard]] ExportResult ExportBoxMails(CLPOSTDoc& box, const CTextOutSet& setting, BufferedFileWriter& out);
// The mails `indexes` of `box` as stored, without the filters.
[[nodiscard]] ExportResult ExportSelectedMails(CLPOSTDoc& box, std::span<const int> indexes, BufferedFileWriter& out);
// Every box of the walk (store/box_walk.h) in its order, the trash box
// left out, the passing mails of each. "中止" ends the export, "次へ"
// leaves the box.
[[nodiscard]] ExportResult ExportAllBoxes(const BoxWalkSources& boxes, std::string_view trash_path,
                                          const CTextOutSet& setting, BufferedFileWriter& out,
                                          SkippableProgress* progress);

}  // namespace lp
