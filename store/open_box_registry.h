#pragma once

#include <string_view>
#include <vector>

#include "store/mailbox_document.h"

// The boxes open in windows, shared by the desktop application and the
// mailbox operations. An operation that writes another box's files on disk
// first saves every open box (so none of them later overwrites the change)
// and afterwards loads them again (so every window shows it).

namespace lp {

// Told when the records of a box changed (the mail list views refresh).
class RecordsChangedObserver {
 public:
  virtual ~RecordsChangedObserver() = default;
  virtual void OnRecordsChanged(CLPOSTDoc& box) = 0;
};

class OpenBoxRegistry {
 public:
  // A box registers when its first window opens and unregisters when its
  // last one closes. Registering twice has no further effect.
  void Register(CLPOSTDoc& box);
  void Unregister(CLPOSTDoc& box);
  void AddObserver(RecordsChangedObserver& observer);
  void RemoveObserver(RecordsChangedObserver& observer);

  // The open box with this index path (made absolute), or nullptr.
  [[nodiscard]] CLPOSTDoc* Find(std::string_view index_path) const;
  [[nodiscard]] const std::vector<CLPOSTDoc*>& Boxes() const { return boxes_; }

  // Writes the index of every open box that has a path. A failure is shown
  // through that box's user interface; false when any box failed, and the
  // caller must then not change files on disk (reloading would drop the
  // unsaved records).
  [[nodiscard]] bool SaveAllOpenBoxes();
  // Loads every open box with a path again (a box whose file does not load
  // stays as it was) and tells the observers about each. The compaction
  // wish and the Content-ID map of a box survive the reload.
  void ReloadAllOpenBoxes();

  void NotifyRecordsChanged(CLPOSTDoc& box);

 private:
  std::vector<CLPOSTDoc*> boxes_;
  std::vector<RecordsChangedObserver*> observers_;
};

}  // namespace lp
