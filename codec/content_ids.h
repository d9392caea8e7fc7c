#pragma once

#include "store/mailbox_document.h"

// "cid:" references of received HTML mail pointed at the attachment files
// saved for the parts they name.

namespace lp {

// Replaces, in the stored text of record `index`, every "cid:" followed by
// the id of an entry of the box's Content-ID map with that entry's file
// path, and stores the result as the record's new text when anything was
// replaced. The rest of the text stays byte for byte: every header line
// (replies look up "References" there) and the codes the display converts. Entries without a file are skipped: replacing their
// reference by nothing would only lose it. Texts of more than 32 MiB are
// left alone. True when a new text was stored.
bool ResolveContentIds(CLPOSTDoc& box, int index);

}  // namespace lp
