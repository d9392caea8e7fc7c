#include "store/mail_status.h"

#include <vector>

#include "codec/date_header.h"
#include "store/held_mail.h"
#include "store/store_messages.h"

namespace lp {
namespace {

// Applies `change` to each selected record that exists and tells the box.
template <typename Change>
void ChangeRecords(CLPOSTDoc& box, std::span<const int> selection, Change change) {
  for (int index : selection) {
    CMail* record = box.RecordAt(index);
    if (record == nullptr) continue;
    change(*record);
    box.NoteRecordChanged(index);
  }
}

}  // namespace

void SetStatus(CLPOSTDoc& box, std::span<const int> selection, int status) {
  ChangeRecords(box, selection, [status](CMail& record) { record.status = status; });
  // The box is saved even when the selection named no record.
  box.SetModified();
  box.UpdateUnreadMark();
}

bool MarkReadOnReading(CLPOSTDoc& box, int index) {
  CMail* record = box.RecordAt(index);
  if (record == nullptr || !record->IsUnread()) return false;
  record->status = kStatusRead;
  box.NoteRecordChanged(index);
  box.UpdateUnreadMark();
  return true;
}

void ToggleStatus(CLPOSTDoc& box, int index) {
  const int indexes[] = {index};
  ChangeRecords(box, indexes, [](CMail& record) {
    switch (record.status) {
      case kStatusRead: record.status = kStatusUnread; break;
      case kStatusUnread: record.status = kStatusRead; break;
      case kStatusUnsent: record.status = kStatusSent; break;
      case kStatusSent: record.status = kStatusUnsent; break;
      default: break;
    }
  });
  box.UpdateUnreadMark();
}

int InitialLabel(const CLPOSTDoc& box, std::span<const int> selection) {
  if (selection.size() >= 2) return 0;
  const CMail* record = box.RecordAt(box.current_index());
  return record ? record->label : 0;
}

bool SetLabel(CLPOSTDoc& box, std::span<const int> selection, int label) {
  if (label < 0 || label > kMaxLabel) return false;
  ChangeRecords(box, selection, [label](CMail& record) { record.label = label; });
  box.SetModified();
  return true;
}

bool SetJapanTimeDates(CLPOSTDoc& box, std::span<const int> selection, const DateHeaderLookup& date_header) {
  std::vector<int> selected(selection.begin(), selection.end());
  if (selected.empty()) selected.push_back(box.current_index());
  const HeldMails held(box, selected);
  if (box.ui().Ask(store_messages::kAskJapanTime, MessageButtons::OkCancel) != Answer::Ok) return false;
  if (!date_header) return true;
  for (const int index : held.Rows(box)) {
    if (box.RecordAt(index) == nullptr) continue;
    const std::string value = date_header(box, index);
    if (value.empty()) continue;
    // The lookup may read the box; the record is fetched again after it.
    box.RecordAt(index)->date = static_cast<std::int32_t>(ParseDateHeader("Date: " + value));
    // Saved with the box: a changed date that is never written is lost.
    box.NoteRecordChanged(index);
  }
  return true;
}

}  // namespace lp
