#include "app/mail_import_job.h"

#include <utility>

namespace lp {

std::string ReportText(const MailImportReport& report) {
  std::string text;
  for (const std::string& line : ReportLines(report)) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

JobWork MailImportWork(MailImportRequest request, MailSourceScan scan, Profile& profile, UserInterface& ui,
                       MailImportReport& report) {
  return [request = std::move(request), scan = std::move(scan), &profile, &ui, &report](JobProgress& progress) {
    report = ImportMailFolders(request, scan, profile, ui, &progress);
    JobResult result;
    result.count = report.imported;
    result.message = ReportText(report);
    if (report.cancelled) {
      result.outcome = JobOutcome::Cancelled;
    } else if (!report.failure.empty()) {
      result.outcome = JobOutcome::Failed;
    }
    return result;
  };
}

}  // namespace lp
