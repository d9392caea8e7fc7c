#pragma once

#include <string_view>

// The desktop's trash (freedesktop.org trash on Linux): what goes there can
// be restored by the user, as from the Windows recycle bin.

namespace lp {

// Moves a file or a whole directory (Shift_JIS path) to the trash. False
// when the item is missing or the trash cannot take it; the item then
// stays where it was.
[[nodiscard]] bool MoveToTrash(std::string_view sjis_path);

}  // namespace lp
