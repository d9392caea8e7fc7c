#pragma once

#include <string_view>

#include "codec/spool_analyser.h"

// The command that analyses a file the user picked into the open box.

namespace lp {

// "解析に失敗しました"
inline constexpr std::string_view kMessageAnalysisFailed = "\x89\xF0\x90\xCD\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// Analyses `spool_path` into `box`: shows the failure message when no mail
// came of it, then updates the box's unread mark and marks it modified.
// Returns AnalyseSpool's result.
int AnalyseFileIntoBox(CLPOSTDoc& box, std::string_view spool_path, MessageIdObserver* message_ids = nullptr);

}  // namespace lp
