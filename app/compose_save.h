#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "app/compose_form.h"
#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

// Storing a composed mail as an outgoing record with its text: queued in
// the send box, kept as sent (not to be sent) in the draft box or where it
// is, or saved in place while the window stays open.

namespace lp {

enum class ComposeSave {
  Send,        // "送信": status 3, into the send box; the window closes
  Save,        // "保存": status 4, from the send box into the draft box when
               // that is in use; the window closes
  SaveEdited,  // "編集メールの保存": status 3 when it was 3 (a new mail
               // counts as 3), else 4; into the send box when 3
};

// Where a save puts the mail and with which status.
struct ComposeSavePlan {
  int status = 0;
  // The box the mail ends up in; empty when it stays in the window's box.
  std::string destination;

  bool operator==(const ComposeSavePlan&) const = default;
};

// `window_box` is the index path of the box the compose window belongs to;
// `edited_status` the status of the edited mail, nullopt for a new mail.
[[nodiscard]] ComposeSavePlan PlanComposeSave(ComposeSave command, std::string_view window_box,
                                              std::optional<int> edited_status, const ComposeWindowSettings& settings);

// Where the saved mail is now.
struct SavedMail {
  std::string box_path;  // index path as the save named it
  std::uint64_t serial = 0;  // its serial there when that box is open, else 0
};

// The compose window's box and the mail it edits, named by its serial: the
// box may be sorted, or lose mails, while the window is open.
struct ComposeTarget {
  CLPOSTDoc& window_box;
  std::uint64_t edited_serial = 0;  // 0 for a new mail
  OpenBoxRegistry* registry = nullptr;  // open boxes a move must keep current
  // The edited mail's status when the window last saw it: what a mail that
  // left the box meanwhile is saved with.
  std::optional<int> edited_status;
};

// Saves the form by `command`, dated `now`. A new mail is appended to the
// box the plan names (its text reaches the disk before the index). An edited
// mail gets its fields and a new text block in place, then moves when the
// plan says so; its reference chain stays. An edited mail that is no longer
// in the window's box is never looked for elsewhere: the user is asked
// whether to save it as a new mail. nullopt (after a message) when the mail
// could not be written (an edited record then keeps its old fields), could
// not be moved (it stays, saved, in the window's box), or was not saved as
// a new mail.
[[nodiscard]] std::optional<SavedMail> SaveComposedMail(const ComposeForm& form, ComposeSave command,
                                                        const ComposeTarget& target,
                                                        const ComposeWindowSettings& settings, std::time_t now);

}  // namespace lp
