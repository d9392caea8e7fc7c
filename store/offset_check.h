#pragma once

#include "store/mailbox_document.h"

namespace lp {

// Repairs text starts that point a few bytes before the first line of their
// block: within the first 20 bytes at the start, the first "+" or "X" found
// becomes the start. The box is not marked modified; the corrected offsets
// are saved with the next change. False (with a message) when the text file
// cannot be opened or a seek fails.
bool CheckOffsets(CLPOSTDoc& box);

}  // namespace lp
