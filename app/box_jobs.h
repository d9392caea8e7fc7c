#pragma once

#include <string>

#include "app/background_job.h"
#include "codec/spool_analyser.h"

// The long operations on one box, as work for a BackgroundJob (or a thread
// pool). Each leaves what must happen on the owning thread afterwards
// (saving, unread marks, showing the message) to the owner.

namespace lp {

// Analyses the spool into the box; count = mails added. A failed write
// rolls the box back (Failed, with the message); a cancel as well
// (Cancelled). `message_ids` is told on the worker thread.
[[nodiscard]] JobWork AnalyseSpoolWork(CLPOSTDoc& box, std::string spool_path,
                                       MessageIdObserver* message_ids = nullptr);

// Compacts the box's text file; count = records. Cancelled leaves the box
// as it was; Failed carries the message. Done may carry a message too (the
// text was compacted but the index had to be written in place and failed).
[[nodiscard]] JobWork CompactWork(CLPOSTDoc& box);

// Sorts the box by `key` (SortKey values); count = records.
[[nodiscard]] JobWork SortWork(CLPOSTDoc& box, int key);

}  // namespace lp
