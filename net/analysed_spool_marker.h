#pragma once

#include <string>
#include <string_view>

#include "store/mailbox_document.h"

// Between the save of the box that holds a spool's mail and the removal of
// the spool lies a moment in which a crash leaves both: the next analysis
// would add the same mail a second time. So before the save a marker beside
// the spool names the text block of the last mail the analysis added, and
// the spool's length. When a marker is found later, the box tells whether
// that save happened: only a saved index holds a record of that block.

namespace lp {

// Writes the marker (flushed to the disk) for the mails the analysis added
// to `box` from index `first_new` on. False when it cannot be written.
[[nodiscard]] bool MarkSpoolAnalysed(std::string_view spool_path, const CLPOSTDoc& box, int first_new);

// Removes the marker once the spool is gone or the save failed.
void ClearSpoolMark(std::string_view spool_path);

enum class LeftoverSpool {
  None,          // no marker: analyse the spool as usual
  AlreadyInBox,  // a crash came after the save: the spool was removed now
  Unknown,       // the marker did not match; it was removed, the spool stays
};

// Settles what a crash left between the save and the removal of the spool.
// Call before anything appends to the spool.
LeftoverSpool SettleAnalysedSpool(std::string_view spool_path, const CLPOSTDoc& box);

}  // namespace lp
