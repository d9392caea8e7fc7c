#include "store/offset_check.h"

#include <algorithm>

#include "platform/file_system.h"
#include "store/store_messages.h"

namespace lp {
namespace {

constexpr std::size_t kLookAhead = 20;

}  // namespace

bool CheckOffsets(CLPOSTDoc& box) {
  File file;
  if (box.TextFilePath().empty() || !file.Open(box.TextFilePath(), File::Mode::Read)) {
    box.ui().ShowMessage(store_messages::kTargetBoxOpenFailed);
    return false;
  }
  // Views hear of each repaired record, but the repair alone does not make
  // the box modified.
  const bool was_modified = box.IsModified();
  for (int i = 0; i < box.Count(); ++i) {
    CMail& record = *box.RecordAt(i);
    if (!file.Seek(record.text_start)) {
      box.ui().ShowMessage(store_messages::kTextFileSeekFailed);
      box.SetModified(was_modified);
      return false;
    }
    char head[kLookAhead];
    const std::int64_t got = file.ReadFull(head, sizeof head);
    if (got <= 0) continue;
    const char* end = head + got;
    const char* found = std::find_if(static_cast<const char*>(head), end, [](char c) { return c == '+' || c == 'X'; });
    if (found != end) {
      record.text_start += static_cast<std::uint32_t>(found - head);
      box.NoteRecordChanged(i);
    }
  }
  box.SetModified(was_modified);
  return true;
}

}  // namespace lp
