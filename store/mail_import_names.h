#pragma once

#include <string>
#include <string_view>

// Names of boxes and folders made from the folder names of other mail
// programs.

namespace lp {

// The Shift_JIS box (or folder) name for a folder name in the file system's
// UTF-8: characters Shift_JIS lacks and characters a file name cannot hold
// (\ / : * ? " < > | and control characters) become "_", leading dots and
// trailing dots and blanks go, and an empty result becomes "_".
[[nodiscard]] std::string BoxNameFromFolderName(std::string_view utf8_name);

}  // namespace lp
