#pragma once

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/user_interface.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

namespace lp {

// Asks first; then disposes of the attachment files of every mail in the
// trash box, writes its index empty (the count 0x0000) and only then
// truncates its text file, reports "削除を完了しました" and reloads the open
// boxes. False when the user cancelled or a file could not be written.
bool EmptyTrash(Profile& profile, UserInterface& ui, CommandObserver& commands, OpenBoxRegistry& registry,
                const WriteStepHook& steps = {});

}  // namespace lp
