#pragma once

#include <string>

#include "app/background_job.h"
#include "store/mail_import.h"

// The import of other programs' mail as work for a worker thread (the
// desktop's thread pool, or a BackgroundJob-like runner). It holds no box
// busy: it writes boxes of its own below the destination, which the owner
// reloads afterwards if one of them is open.

namespace lp {

// Imports the folders of `scan`; `report` (owned by the caller, read after
// the work ended) receives the whole report. The result counts the mails
// imported, is Cancelled or Failed as the report says, and carries the
// report's lines (Shift_JIS, CR LF between them) as its message.
[[nodiscard]] JobWork MailImportWork(MailImportRequest request, MailSourceScan scan, Profile& profile,
                                     UserInterface& ui, MailImportReport& report);

// The report's lines joined by CR LF.
[[nodiscard]] std::string ReportText(const MailImportReport& report);

}  // namespace lp
