#pragma once

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

// Makes closing the box compact it first when compaction is wanted (the
// box's "AutoCompact" setting decides when the wish is noted).
void InstallAutoCompact(CLPOSTDoc& box);

}  // namespace lp
