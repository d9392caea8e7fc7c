#pragma once

#include <string>
#include <string_view>
#include <vector>

// "Save all" of a read window: copies a mail's attachment files into a
// folder the user chose. Paths are Shift_JIS.

namespace lp {

struct CopiedAttachments {
  std::vector<std::string> written;  // the new files, in the order given
  std::vector<std::string> failed;   // attachments that could not be copied
};

// Copies each file into `folder` under its own name. A file already there
// is never replaced: the copy gets the first free name "name (2).ext",
// "name (3).ext", ... instead.
[[nodiscard]] CopiedAttachments CopyAttachmentsTo(const std::vector<std::string>& paths, std::string_view folder);

}  // namespace lp
