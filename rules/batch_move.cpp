#include "rules/batch_move.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "codec/japanese_text.h"
#include "platform/sjis_path.h"
#include "store/mail_transfer.h"

namespace lp {

bool IsSameBoxPath(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return false;
  const std::string full_a = AbsolutePath(a);
  const std::string full_b = AbsolutePath(b);
  return full_a.size() == full_b.size() && CompareJapaneseText(full_a, full_b, IgnoreCase) == 0;
}

BatchMove::BatchMove(CLPOSTDoc& box, OpenBoxRegistry* registry, WriteStepHook steps)
    : box_(box), registry_(registry), steps_(std::move(steps)) {}

bool BatchMove::Copy(int index, std::string_view destination) {
  const CMail* record = box_.RecordAt(index);
  if (record == nullptr || IsMarked(index)) return false;
  const std::string full_destination = AbsolutePath(destination);
  if (std::find(failed_destinations_.begin(), failed_destinations_.end(), full_destination) !=
      failed_destinations_.end()) {
    return false;
  }
  TransferOptions options;
  options.steps = steps_;
  options.registry = registry_;
  const CMail* records[] = {record};
  if (CopyRecordsTo(box_, records, destination, options) != 1) {
    failed_destinations_.push_back(full_destination);
    return false;
  }
  marked_.push_back(index);
  if (flags_.size() <= static_cast<std::size_t>(index)) flags_.resize(static_cast<std::size_t>(index) + 1);
  flags_[static_cast<std::size_t>(index)] = true;
  return true;
}

bool BatchMove::IsMarked(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < flags_.size() && flags_[static_cast<std::size_t>(index)];
}

std::size_t BatchMove::Finish() {
  const std::size_t removed = marked_.size();
  box_.RemoveIndexes(std::move(marked_));
  marked_.clear();
  flags_.clear();
  if (removed > 0) {
    box_.SetModified();
    box_.NoteCompactionWanted();
    // Saved at once: a crash from here on cannot bring the moved mails back.
    if (!box_.PathName().empty()) {
      NoteWriteStep(steps_, "save box");
      const IndexFileResult saved = box_.Save();
      if (!saved.ok) box_.ui().ShowMessage(saved.message);
    }
  }
  box_.UpdateUnreadMark();
  return removed;
}

}  // namespace lp
