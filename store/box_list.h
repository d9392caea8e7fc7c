#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The box list: the full path of every mailbox and folder below the data
// directory, sorted as the user sees names. A box is an index file "*.lp";
// a folder is a directory whose name also ends in ".lp" and is listed with
// a trailing separator, after its contents. All paths are Shift_JIS.

namespace lp {

// Folders nested deeper than this are not entered (a symbolic link can make
// a directory its own descendant).
inline constexpr int kMaxFolderDepth = 32;
// The scan stops adding entries beyond this many, keeping memory bounded.
inline constexpr std::size_t kMaxBoxListEntries = 1'000'000;

// Appends every "*.lp" entry of `directory`: a directory whose name does
// not begin with "." is scanned first and then recorded with a trailing
// separator; other directories beginning with "." are hidden and skipped.
// Names match ".lp" without regard to ASCII case, so that boxes copied
// from a case-insensitive file system ("受信.LP") are found too. A directory
// that cannot be read adds nothing.
void ScanBoxes(std::string_view directory, std::vector<std::string>& list);

// ScanBoxes of the data directory, sorted with every folding flag.
[[nodiscard]] std::vector<std::string> BuildBoxList(std::string_view data_directory);

// A path with a trailing separator names a folder.
[[nodiscard]] bool IsFolderPath(std::string_view path);
// The name ends in ".lp" (ASCII case ignored).
[[nodiscard]] bool HasBoxExtension(std::string_view name);
// The name the tree shows: the last path component (a folder's trailing
// separator ignored) without ".lp".
[[nodiscard]] std::string BoxNameOf(std::string_view path);

}  // namespace lp
