#pragma once

#include <string>

#include "config/profile.h"
#include "store/mailbox_document.h"

// The sent, trash and draft boxes that the settings ask for, and the test
// whether a box is the trash box.

namespace lp {

// For each of the sent box ("SmailDone" on), trash box ("Trash" on) and
// draft box ("Draft" on): creates its index file empty unless it can be
// opened for reading. Settings are read from the profile each time.
void EnsureFixedBoxes(const Profile& profile);

// The full trash path: the data directory (the current directory) joined
// with the "TrashFile" setting.
[[nodiscard]] std::string TrashBoxPath(const Profile& profile);
[[nodiscard]] bool IsTrashBox(const CLPOSTDoc& box, const Profile& profile);
// Deleting sends mail to the trash box ("Trash", default on).
[[nodiscard]] bool TrashEnabled(const Profile& profile);

// A box's name as shown: the file name without directory and extension.
[[nodiscard]] std::string BoxDisplayName(std::string_view index_path);

}  // namespace lp
