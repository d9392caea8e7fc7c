#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/spool_analyser.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"
#include "store/write_steps.h"

// The analysis of received spools split so that its long part can run on a
// worker thread while the receive box stays in use: the spools are analysed
// into a staging document that appends to the box's text file (reserved
// meanwhile) but holds its own records; the box takes the records over on
// its own thread and only then is its index written and a spool removed.

namespace lp {

struct StagedSpool {
  std::string path;
  MessageIdObserver* message_ids = nullptr;  // told of its Message-Ids (on the analysing thread)
  int count = 0;        // AnalyseSpool's result; < 0 the analysis failed
  int first = 0;        // its first record among the staged records
  bool marked = false;  // the marker beside it names its last mail
};

struct StagedReceive {
  std::string index_path;  // the box's index (absolute)
  std::vector<StagedSpool> spools;
  CLPOSTDoc::Records records;       // in spool order
  std::vector<CContentID> content_ids;
  // Staged records whose HTML text holds an IFRAME (looked for only when
  // the virus check is on).
  std::vector<int> iframe_records;
  // The text file could not be flushed: the spool that failed and every
  // later one stay unanalysed; `message` says why.
  bool write_failed = false;
  std::string message;  // Shift_JIS
};

// On the box's thread: the spools to analyse into `box`, each settled
// first (one whose mails a save before a crash already holds is removed
// and left out). Paths that do not exist are kept: their analysis finds
// nothing.
[[nodiscard]] StagedReceive PlanStagedReceive(const CLPOSTDoc& box, std::vector<StagedSpool> spools);

// On any thread: analyses the planned spools one after another, flushes
// the text file after each and marks the spool. Touches only the box's
// text file, attachment files, the spools' markers and settings through the
// thread-safe Profile; `progress` (may be null) gets the part read in KiB.
void AnalyseStagedReceive(StagedReceive& staged, Profile& profile, UserInterface& ui,
                          CommandObserver& commands, Progress* progress, const WriteStepHook& steps = {});

struct StagedCommit {
  int first_new = 0;  // the box's count before the staged records
  int added = 0;
  std::vector<std::uint64_t> serials;         // of the added records
  std::vector<std::uint64_t> iframe_serials;  // of those whose HTML holds an IFRAME
  // Taken when the index is written on another thread; `written` is then
  // that write's outcome.
  std::optional<CLPOSTDoc::IndexSnapshot> snapshot;
  IndexFileResult written;
  bool saved = true;  // false: the index could not be written; nothing was added
};

// On the box's thread: appends the staged records in one insertion. With
// `take_snapshot` the index to write is taken as a snapshot, for
// WriteIndexSnapshot on any thread; without, SettleStagedSpools saves.
[[nodiscard]] StagedCommit TakeStagedRecords(CLPOSTDoc& box, StagedReceive& staged, bool take_snapshot);

// On the box's thread, after the snapshot was written (or saving now):
// removes each analysed spool (and its marker). When the index could not
// be written the added records leave again, the markers go and the spools
// stay for the next receive; the message is shown through `ui`. `removed`
// (when given) gets per spool whether it is gone.
void SettleStagedSpools(CLPOSTDoc& box, StagedReceive& staged, StagedCommit& commit, UserInterface& ui,
                        std::vector<bool>* removed = nullptr, const WriteStepHook& steps = {});

}  // namespace lp
