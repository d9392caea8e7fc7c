#pragma once

#include <string_view>

#include "store/mailbox_document.h"
#include "store/mail_record.h"

// Sorting the mail list of a box. The order is the one users have always
// seen: a heap sort (not stable) under the comparison of the chosen key.

namespace lp {

enum class SortKey {
  Date = 0,     // earlier first
  From = 1,     // then date
  Subject = 2,  // then date
  To = 3,       // then date
  Label = 4,    // then date
  Status = 5,   // then date
  Thread = 6,   // subject without its "Re:" part, then that part's length
};

// Number of keys; an int key outside [0, kSortKeyCount) is no key.
inline constexpr int kSortKeyCount = 7;

// Negative, zero or positive as a sorts before, equal to or after b under
// `key`. This is the comparison the sort applies.
[[nodiscard]] int CompareMails(const CMail& a, const CMail& b, SortKey key);

// Text comparison of keys 1 to 3: ASCII letters without regard to case, a
// double-byte character counting as one unit (its two bytes as one 16-bit
// value, so every double-byte character sorts after every single byte).
[[nodiscard]] int CompareSortText(std::string_view a, std::string_view b);

// Reorders the records of the box in place and marks it modified; the caret
// row and the command mail number stay where they were. False (and nothing
// changes) for a key outside 0 to 6, or when `progress` asked to cancel
// before the records moved. Touches only `box`, so a job may run it on a
// worker thread while the box is busy.
bool Sort(CLPOSTDoc& box, int key, Progress* progress = nullptr);

}  // namespace lp
