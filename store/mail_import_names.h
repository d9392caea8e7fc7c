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

// A destination folder as the user writes it ("Old/Thunderbird", the ".lp"
// of each name optional, UTF-8) as our Shift_JIS folder path
// ("Old.lp/Thunderbird.lp"); empty for the data directory itself.
[[nodiscard]] std::string FolderPathFromUtf8(std::string_view utf8_folder);

}  // namespace lp
