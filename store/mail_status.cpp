#include "store/mail_status.h"

#include <vector>

#include "codec/date_header.h"
#include "store/store_messages.h"

namespace lp {
namespace {

void Changed(CLPOSTDoc& box, OpenBoxRegistry* registry) {
  box.SetModified();
  if (registry) registry->NotifyRecordsChanged(box);
}

}  // namespace

void SetStatus(CLPOSTDoc& box, std::span<const int> selection, int status, OpenBoxRegistry* registry) {
  for (int index : selection) {
    if (CMail* record = box.RecordAt(index)) record->status = status;
  }
  box.UpdateUnreadMark();
  Changed(box, registry);
}

void ToggleStatus(CLPOSTDoc& box, int index, OpenBoxRegistry* registry) {
  CMail* record = box.RecordAt(index);
  if (!record) return;
  switch (record->status) {
    case kStatusRead: record->status = kStatusUnread; break;
    case kStatusUnread: record->status = kStatusRead; break;
    case kStatusUnsent: record->status = kStatusSent; break;
    case kStatusSent: record->status = kStatusUnsent; break;
    default: break;
  }
  box.UpdateUnreadMark();
  Changed(box, registry);
}

int InitialLabel(const CLPOSTDoc& box, std::span<const int> selection) {
  if (selection.size() >= 2) return 0;
  const CMail* record = box.RecordAt(box.current_index());
  return record ? record->label : 0;
}

bool SetLabel(CLPOSTDoc& box, std::span<const int> selection, int label, OpenBoxRegistry* registry) {
  if (label < 0 || label > kMaxLabel) return false;
  for (int index : selection) {
    if (CMail* record = box.RecordAt(index)) record->label = label;
  }
  Changed(box, registry);
  return true;
}

bool SetJapanTimeDates(CLPOSTDoc& box, std::span<const int> selection, const DateHeaderLookup& date_header,
                       OpenBoxRegistry* registry) {
  if (box.ui().Ask(store_messages::kAskJapanTime, MessageButtons::OkCancel) != Answer::Ok) return false;
  std::vector<int> indexes(selection.begin(), selection.end());
  if (indexes.empty()) indexes.push_back(box.current_index());
  for (int index : indexes) {
    CMail* record = box.RecordAt(index);
    if (!record || !date_header) continue;
    const std::string value = date_header(box, index);
    if (value.empty()) continue;
    record->date = static_cast<std::int32_t>(ParseDateHeader("Date: " + value));
    // Saved with the box: a changed date that is never written is lost.
    box.SetModified();
  }
  if (registry) registry->NotifyRecordsChanged(box);
  return true;
}

}  // namespace lp
