#pragma once

#include <string_view>

// The desktop's trash (freedesktop.org trash on Linux): what goes there can
// be restored by the user, as from the Windows recycle bin.
//
// An item on the home's file system goes to the home trash,
// $XDG_DATA_HOME/Trash (~/.local/share/Trash), which is made when it is
// missing. An item on another file system goes to that file system's
// $topdir/.Trash/$uid (when the administrator provided a sticky .Trash) or
// $topdir/.Trash-$uid. Nothing else ever receives trash folders.

namespace lp {

enum class TrashOutcome {
  Moved,    // in the trash now
  NoTrash,  // no trash can take it (none can be made, another file system); it stays
  Failed,   // the item is missing or could not be moved; it stays
};

// Moves a file or a whole directory (Shift_JIS path) to the trash.
[[nodiscard]] TrashOutcome TrashItem(std::string_view sjis_path);

// True when the item went to the trash.
[[nodiscard]] inline bool MoveToTrash(std::string_view sjis_path) {
  return TrashItem(sjis_path) == TrashOutcome::Moved;
}

}  // namespace lp
