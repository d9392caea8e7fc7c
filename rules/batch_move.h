#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// Moving a batch of mails out of a box one decision at a time, as the sort
// rules and the direct-mail filter do: each mail is copied to its
// destination at once (text flushed, then the destination index written),
// and only at the end do the copied mails leave the box, which is then
// saved. A crash anywhere leaves every mail in its box, its destination or
// both.

namespace lp {

// Box index paths compare as on the file system the data comes from:
// without regard to ASCII case, a double-byte character as one unit, a
// relative path taken against the data directory. Empty paths never match.
[[nodiscard]] bool IsSameBoxPath(std::string_view a, std::string_view b);

class BatchMove {
 public:
  // A destination open in `registry` (when given) takes its copies into
  // its open document, so that its windows show them and no later save of
  // it drops them.
  BatchMove(CLPOSTDoc& box, OpenBoxRegistry* registry, WriteStepHook steps);

  // Copies mail `index` to the box at `destination` and marks it for
  // removal; false when the copy failed (the mailbox layer said why), the
  // mail is already marked or does not exist. A destination that
  // failed once is not tried again in the batch, so that the user hears of
  // it once rather than for every mail.
  bool Copy(int index, std::string_view destination);
  [[nodiscard]] bool IsMarked(int index) const;
  // Removes the marked mails (the box's observers hear of each run of
  // neighbouring rows), saves the box and updates its unread mark.
  // Returns the number of mails removed.
  std::size_t Finish();

 private:
  CLPOSTDoc& box_;
  OpenBoxRegistry* registry_;
  WriteStepHook steps_;
  std::vector<int> marked_;
  std::vector<bool> flags_;  // by index: marked
  std::vector<std::string> failed_destinations_;  // absolute paths
};

}  // namespace lp
