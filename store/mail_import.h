#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"
#include "platform/user_interface.h"
#include "store/mail_import_source.h"
#include "store/write_steps.h"

// Mail of other programs into our boxes: every source folder becomes a box
// of the same name below a folder of ours, and every message goes through
// the analysis of received mail (texts converted, attachments saved), with
// its own Date and the read state its source gives it.
//
// The messages reach the analysis as a work spool of whole messages, some
// megabytes at a time; after each such piece the box's text is flushed and
// its index saved. A message already in the box (the same Message-Id and
// Date, or the same bytes when it has no Message-Id or no usable Date) is
// not imported again, so an import that was cancelled or killed is simply
// run again. The source is only read.

namespace lp {

// The work spool, in the working directory (the data directory).
inline constexpr char kImportSpool[] = "import.$$$";

struct MailImportRequest {
  std::string native_source;  // a directory tree or an mbox file (UTF-8)
  std::optional<MailSourceFormat> format;  // nullopt: found by shape
  // The folder the boxes go below (Shift_JIS path: the data directory or
  // one of its ".lp" folders); created when missing.
  std::string destination;
  std::string work_spool = kImportSpool;
  WriteStepHook steps;  // told before every step that writes (crash tests)
};

struct ImportedBox {
  std::string native_source;  // the source folder
  std::string box_path;       // Shift_JIS index path
  int imported = 0;
  int already_there = 0;  // duplicates, not imported again
  int deleted = 0;        // messages the source program had deleted (not imported)
  // Attachments not saved: their mail had the most one mail may save.
  int dropped_attachments = 0;
};

struct MailImportReport {
  std::vector<ImportedBox> boxes;
  std::vector<ImportProblem> problems;
  int imported = 0;
  int unreadable = 0;  // messages lost to the problems
  bool cancelled = false;
  // Why the import stopped early (a box could not be written), Shift_JIS.
  std::string failure;
  // Something could not be read or written.
  [[nodiscard]] bool Complete() const { return problems.empty() && failure.empty(); }
};

// The index path each folder's messages go to, below `destination`. A
// folder that has subfolders becomes a folder of ours, and its own
// messages a box of the same name inside it.
[[nodiscard]] std::vector<std::string> PlanBoxPaths(const std::vector<ImportFolder>& folders,
                                                    std::string_view destination);

// Scans the source and imports every folder found. `progress` (may be
// null) gets a range over the folders' bytes, the folder as status text,
// and is polled for a cancel between messages. Runs on any thread: it
// opens its own boxes (none of them may be open elsewhere meanwhile) and
// shows nothing; it writes the boxes' "Read" marks.
[[nodiscard]] MailImportReport ImportMail(const MailImportRequest& request, Profile& profile,
                                          UserInterface& ui, Progress* progress);
// The same for folders scanned before (the overview a window showed).
[[nodiscard]] MailImportReport ImportMailFolders(const MailImportRequest& request, const MailSourceScan& scan,
                                                 Profile& profile, UserInterface& ui, Progress* progress);

// The report as the user reads it (Shift_JIS): one line per box, one per
// problem, then the summary "取り込み: 12,345通, 2通は読めませんでした".
[[nodiscard]] std::vector<std::string> ReportLines(const MailImportReport& report);
[[nodiscard]] std::string SummaryLine(const MailImportReport& report);

// 12345 as "12,345".
[[nodiscard]] std::string GroupedNumber(long long value);

}  // namespace lp
