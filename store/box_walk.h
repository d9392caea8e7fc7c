#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/user_interface.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

// A walk over many boxes (the search of every box, the text export of
// every box) runs on a worker thread and sees the boxes as the user sees
// them: a box open in a window as its document holds it (sorted, with the
// deletions, moves and marks not yet saved), every other box as its index
// file on disk. The open boxes' records are copied on the thread that owns
// them when the walk is planned, with their serials, so that a match names
// its mail by identity.

namespace lp {

class BoxWalkSources {
 public:
  // On the thread that owns `registry` (may be null: every box from disk).
  // `box_list` is the list of boxes and folders in walking order.
  [[nodiscard]] static BoxWalkSources Plan(std::vector<std::string> box_list, const OpenBoxRegistry* registry);

  [[nodiscard]] const std::vector<std::string>& box_list() const { return box_list_; }
  // The copied records of the box at list position `index`, or nullptr when
  // it was not open.
  [[nodiscard]] const CLPOSTDoc::Records* OpenRecords(std::size_t index) const;

 private:
  std::vector<std::string> box_list_;
  std::map<std::size_t, CLPOSTDoc::Records> open_;
};

// One box as the walk visits it: its records in list order (serials are
// the open document's; 0 for a box read from disk) and its text file.
struct WalkedBox {
  std::size_t index = 0;  // in the box list
  const std::string& path;
  const std::string& text_path;
  const CLPOSTDoc::Records& records;
};

enum class WalkEnd { Done, Cancelled, Stopped };

struct WalkResult {
  WalkEnd end = WalkEnd::Done;
  std::size_t box = 0;  // Cancelled or Stopped: the box list position it ended at
};

// Walks the box list from position `first`: folders, boxes `wanted` turns
// down and boxes whose index is empty or does not load are passed over.
// Before each box the cancel ("中止") and the skip ("次へ": leave the box)
// are polled. `visit` returns false to stop the walk there.
[[nodiscard]] WalkResult WalkBoxes(const BoxWalkSources& sources, std::size_t first, SkippableProgress* progress,
                                   const std::function<bool(const std::string& path)>& wanted,
                                   const std::function<bool(const WalkedBox& box)>& visit);

// The row of `box` that holds the mail a walk saw as `seen`: the record
// with its serial when that still has its stored fields, else the first
// record with the same stored fields; -1 when the box no longer holds it.
[[nodiscard]] int RowOfWalkedMail(const CLPOSTDoc& box, const CMail& seen);

}  // namespace lp
