#pragma once

#include <string>

#include "store/mailbox_document.h"
#include "store/write_steps.h"

// Compaction: the text file is rewritten with only the blocks that records
// point at, in record order, and the records are pointed at their new
// places. See compaction_journal.h for how the two files are replaced so
// that a crash at any point leaves a box whose index matches its text.

namespace lp {

// Shows a progress window titled with the box name. On success the box is
// marked modified and its compaction wish cleared. A file error is shown
// (the exception's text) and, like the progress window's cancel, leaves the
// box's files and records as they were; false then.
bool Compact(CLPOSTDoc& box, const WriteStepHook& steps = {});

struct CompactionResult {
  bool ok = false;
  // Why it failed (Shift_JIS), not yet shown; empty after a cancel or when
  // another compaction held the work files.
  std::string message;
};

// Compact for a job that may run on a worker thread while the box is busy:
// nothing is shown, `progress` (may be null) counts records and its cancel
// is polled. The work files are shared by all boxes, so while one
// compaction runs another one gives up at once (not ok, no message) and the
// box keeps its compaction wish.
[[nodiscard]] CompactionResult CompactWithProgress(CLPOSTDoc& box, Progress* progress,
                                                   const WriteStepHook& steps = {});

// Makes closing the box compact it first when compaction is wanted (the
// box's "AutoCompact" setting decides when the wish is noted).
void InstallAutoCompact(CLPOSTDoc& box);

}  // namespace lp
