#pragma once

#include <string>
#include <string_view>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/user_interface.h"
#include "rules/rules_messages.h"
#include "store/mail_record.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// Putting a new outgoing mail into a box that may or may not be open in a
// window (the send box, as a rule). The text reaches the disk before the
// index that points at it, so a crash never leaves a record without its
// text.

namespace lp {

struct OutgoingMailTarget {
  std::string_view box_path;  // index path of the box, Shift_JIS
  // Where an open document of that box may be found: the registry's boxes,
  // and `open_box` when the caller holds one that is not registered.
  OpenBoxRegistry* registry = nullptr;
  CLPOSTDoc* open_box = nullptr;
  WriteStepHook steps;
  // Shown when the mail cannot be kept.
  std::string_view failure_message = kOutgoingBoxOpenFailed;
};

// Appends `record` with `text` as a new mail at the end of the box. An open
// document of the box gets the mail (its observers hear of it; it is saved);
// otherwise the box is loaded, appended to and saved (a missing index file
// is created empty first). False, after the target's failure message or the
// index's own error, when the mail could not be kept.
bool AppendOutgoingMail(Profile& profile, UserInterface& ui, CommandObserver& commands,
                        const OutgoingMailTarget& target, CMail record, std::string_view text);

}  // namespace lp
