#pragma once

#include <span>

#include "config/profile.h"
#include "platform/user_interface.h"
#include "store/mail_record.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// Deleting mail: to the trash box, or for good together with the mail's
// attachment files.

namespace lp {

// Disposes of the record's attachment files as the "RemoveAttach" setting
// of section "System" says: 0 (default) to the desktop trash, 1 ask first
// and delete, 2 delete, anything else keep. Only files that received mail
// saved into the attachment directory count: a path that resolves (through
// links, "." or "..") to anywhere else, and every file of a queued or sent
// mail, stay untouched, and nothing is asked when no file is left. Files
// that cannot be removed are skipped.
void DisposeAttachments(const CMail& record, const Profile& profile, UserInterface& ui);

enum class DeleteTarget { TrashSetting, ForGood };

// Asks first; the mails selected when it asked are the ones it works on,
// wherever the box moved them meanwhile. With "Trash" on, outside the trash
// box, they move to the trash box (their attachment files stay); otherwise,
// and always with DeleteTarget::ForGood, they are deleted for good, and then
// their attachment files. False when the user cancelled.
bool DeleteMails(CLPOSTDoc& box, std::span<const int> selection, OpenBoxRegistry& registry,
                 const WriteStepHook& steps = {}, DeleteTarget target = DeleteTarget::TrashSetting);

}  // namespace lp
