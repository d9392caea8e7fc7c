#pragma once

#include <string>
#include <string_view>

#include "config/profile.h"

// A box's unread mark, section "Read" of the settings: 1 while the box holds
// unread mail, 0 when it holds none. The key is the box's path relative to
// the data directory (the folder of the settings file), so a data directory
// that is copied or moved keeps its marks; a box outside it keeps its
// absolute path. A mark stored under the older absolute key is moved to the
// relative key the first time it is read.

namespace lp {

inline constexpr char kUnreadMarkSection[] = "Read";

// The key of a box (Shift_JIS path, absolute or relative to the data directory).
[[nodiscard]] std::string UnreadMarkKey(const Profile& profile, std::string_view box_path);
// The stored mark, or -1 when none is stored.
[[nodiscard]] int ReadUnreadMark(Profile& profile, std::string_view box_path);
bool WriteUnreadMark(Profile& profile, std::string_view box_path, bool unread);

}  // namespace lp
