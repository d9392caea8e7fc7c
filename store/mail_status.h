#pragma once

#include <functional>
#include <span>
#include <string>

#include "store/mailbox_document.h"

// Status, label and date changes of the selected mails. A selection is a
// list of record indexes (the list view passes them ascending); indexes out
// of range are ignored. The box's observers hear of every changed record.

namespace lp {

// Sets the status of each selected record; UpdateUnreadMark; modified.
void SetStatus(CLPOSTDoc& box, std::span<const int> selection, int status);
// A mail being read (opened in a read window, shown in the preview with
// [View] PreRead on, shown in the browser): an unread one becomes read, the
// box is marked modified and its unread mark updated. False when it was
// not unread (nothing changes).
bool MarkReadOnReading(CLPOSTDoc& box, int index);
// The click on the status icon: 1<->0 and 3<->4, others unchanged.
void ToggleStatus(CLPOSTDoc& box, int index);

// Where the label dialog starts: the current record's label when fewer than
// two records are selected, else 0.
[[nodiscard]] int InitialLabel(const CLPOSTDoc& box, std::span<const int> selection);
// Sets the label (0 to 10) of each selected record; false for a label out
// of range (nothing changes).
bool SetLabel(CLPOSTDoc& box, std::span<const int> selection, int label);

// The "Date" header value of a record. The header lookup belongs to the
// analysis layer, which sits above the store, so the caller passes it in
// (the desktop application passes lp::HeaderValue(box, index, "Date")).
using DateHeaderLookup = std::function<std::string(CLPOSTDoc& box, int index)>;

// Asks first; on OK gives each record selected when it asked (the caret
// record when none is selected), wherever it stands now, the date of its Date header brought to Japan time. Records
// without a Date header keep their date. False when the user cancelled.
bool SetJapanTimeDates(CLPOSTDoc& box, std::span<const int> selection,
                       const DateHeaderLookup& date_header);

}  // namespace lp
