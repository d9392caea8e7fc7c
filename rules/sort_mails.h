#pragma once

#include <span>
#include <string>

#include "rules/rules_messages.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// Running the auto-sort rules over mails of a box: in table order each
// matching rule may forward the mail, answer it from a file, and move it;
// forwarding and answering go on to the next rule, the first successful
// move ends the rules for that mail.

namespace lp {

struct SortOptions {
  // The current account's sender text ("Name <Adr>", or Adr alone): the
  // From of the mails that forward and reply rules create.
  std::string sender_text;
  // Show "%d通の送信メールを作成しました" when mails were created (and the
  // "View"/"MailMes" setting is 1). The receive pipeline reports them itself.
  bool show_notice = false;
  // The boxes open in windows: saved before mail moves into other boxes and
  // loaded again afterwards, so that none overwrites a moved mail. Without
  // a registry no other box may be open.
  OpenBoxRegistry* registry = nullptr;
  WriteStepHook steps;
};

// Applies the rules of the settings file to the listed mails of `box`, in
// list order, and returns the number of outgoing mails created in the send
// box ("System"/"SendFile"). Moved mails leave `box` at the end, highest
// index first, after every copy is on disk; the box is then saved, so a
// crash at any point leaves each mail in one box or both, never in none.
int SortMails(CLPOSTDoc& box, std::span<const int> mails, const SortOptions& options);

enum class SortScope {
  Selection,  // the selected mails, or the current one when none is given
  WholeBox,
};

// The mailbox view's commands: asks first, then sorts with the notice on
// the mails selected when it asked, wherever they stand now.
// Returns the number of outgoing mails created (0 when the user declined).
int SortMailsCommand(CLPOSTDoc& box, std::span<const int> selection, SortScope scope, SortOptions options);

}  // namespace lp
