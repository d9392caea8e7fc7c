#include "store/open_box_registry.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/sjis_path.h"

namespace lp {

void OpenBoxRegistry::Register(CLPOSTDoc& box) {
  if (std::find(boxes_.begin(), boxes_.end(), &box) == boxes_.end()) boxes_.push_back(&box);
}

void OpenBoxRegistry::Unregister(CLPOSTDoc& box) { std::erase(boxes_, &box); }

void OpenBoxRegistry::AddObserver(RecordsChangedObserver& observer) {
  if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
    observers_.push_back(&observer);
  }
}

void OpenBoxRegistry::RemoveObserver(RecordsChangedObserver& observer) { std::erase(observers_, &observer); }

CLPOSTDoc* OpenBoxRegistry::Find(std::string_view index_path) const {
  if (index_path.empty()) return nullptr;
  const std::string full = AbsolutePath(index_path);
  for (CLPOSTDoc* box : boxes_) {
    if (box->PathName() == full) return box;
  }
  return nullptr;
}

bool OpenBoxRegistry::SaveAllOpenBoxes() {
  bool all_saved = true;
  for (CLPOSTDoc* box : boxes_) {
    if (box->PathName().empty()) continue;
    const IndexFileResult result = box->Save();
    if (!result.ok) {
      box->ui().ShowMessage(result.message);
      all_saved = false;
    }
  }
  return all_saved;
}

void OpenBoxRegistry::ReloadAllOpenBoxes() {
  for (CLPOSTDoc* box : boxes_) {
    if (box->PathName().empty()) continue;
    const bool compaction_wanted = box->CompactionWanted();
    std::vector<CContentID> content_ids = std::move(box->content_ids());
    const std::string path = box->PathName();
    (void)box->Open(path);
    box->content_ids() = std::move(content_ids);
    if (compaction_wanted) box->NoteCompactionWanted();
  }
  // Copied so that an observer may unregister itself.
  const std::vector<CLPOSTDoc*> boxes = boxes_;
  for (CLPOSTDoc* box : boxes) NotifyRecordsChanged(*box);
}

void OpenBoxRegistry::NotifyRecordsChanged(CLPOSTDoc& box) {
  const std::vector<RecordsChangedObserver*> observers = observers_;
  for (RecordsChangedObserver* observer : observers) observer->OnRecordsChanged(box);
}

}  // namespace lp
