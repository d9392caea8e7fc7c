#pragma once

#include <string_view>

#include "codec/codec_messages.h"
#include "codec/spool_analyser.h"

// The command that analyses a file the user picked into the open box.

namespace lp {

// Analyses `spool_path` into `box`: shows the failure message when no mail
// came of it, then updates the box's unread mark and marks it modified.
// Returns AnalyseSpool's result.
int AnalyseFileIntoBox(CLPOSTDoc& box, std::string_view spool_path, MessageIdObserver* message_ids = nullptr);

}  // namespace lp
