#pragma once

#include "store/mailbox_document.h"

// "cid:" references of received HTML mail pointed at the attachment files
// saved for the parts they name.

namespace lp {

// Replaces, in the display text of record `index`, every "cid:" followed by
// the id of an entry of the box's Content-ID map with that entry's file
// path, and stores the result as the record's new text when anything was
// replaced. Every header line stays in the new text (replies look up
// "References" there). Entries without a file are skipped: replacing their
// reference by nothing would only lose it. Texts of more than 32 MiB are
// left alone. True when a new text was stored.
bool ResolveContentIds(CLPOSTDoc& box, int index);

}  // namespace lp
