#pragma once

#include "config/profile.h"
#include "platform/user_interface.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

namespace lp {

// Asks first; then disposes of the attachment files of every mail in the
// trash box, writes its index empty (the count 0x0000) and only then
// truncates its text file, and reports "削除を完了しました". An open trash
// box is emptied in place. False when the user cancelled or a file could
// not be written.
bool EmptyTrash(Profile& profile, UserInterface& ui, OpenBoxRegistry& registry, const WriteStepHook& steps = {});

}  // namespace lp
