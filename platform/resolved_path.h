#pragma once

#include <optional>
#include <string>
#include <string_view>

// Deciding whether a path names a file inside a given directory, after
// symbolic links, "." and ".." have done their work: a path that merely
// starts with the directory's name proves nothing.

namespace lp {

// The real path (Shift_JIS) of `sjis_path` when it names an existing regular
// file that lies directly in `sjis_directory`, both resolved to their real
// paths; nullopt otherwise (missing, a directory, a link leading elsewhere,
// or a name without an exact Shift_JIS form). A relative path is taken
// against the current directory.
[[nodiscard]] std::optional<std::string> RealPathOfFileDirectlyIn(std::string_view sjis_path,
                                                                  std::string_view sjis_directory);

// `sjis_path` with symbolic links, "." and ".." resolved as far as the path
// exists (a file still to be written keeps its own name below its resolved
// directory), absolute, in Shift_JIS; nullopt for an empty path or one
// without an exact Shift_JIS form. A relative path is taken against the
// current directory.
[[nodiscard]] std::optional<std::string> ResolvedPath(std::string_view sjis_path);

}  // namespace lp
