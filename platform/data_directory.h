#pragma once

#include <optional>
#include <string>

// The data directory holds the settings file, the mailboxes and every work
// file, and is the process's working directory while the program runs.

namespace lp {

// Native (UTF-8) path chosen from, in order: the --data-dir option, the
// environment variable LANTERNPOST_HOME, $XDG_DATA_HOME/lanternpost,
// ~/.local/share/lanternpost. Empty when none can be formed.
[[nodiscard]] std::string ResolveDataDirectory(const std::optional<std::string>& option);

// Creates the directory (with its parents) when missing and makes it the
// current directory. On failure returns false with the reason in `error`.
[[nodiscard]] bool EnterDataDirectory(const std::string& native_path, std::string* error);

}  // namespace lp
