#pragma once

#include <vector>

// The mails a mailbox command works on.

namespace lp {

class MailboxView;

// The selected rows in ascending order, or the caret row alone when no row
// is selected; empty for an empty list.
[[nodiscard]] std::vector<int> SelectedRows(MailboxView& view);

}  // namespace lp
