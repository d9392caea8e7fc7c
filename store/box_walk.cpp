#include "store/box_walk.h"

#include <tuple>
#include <utility>

#include "store/box_list.h"

namespace lp {
namespace {

bool SameMail(const CMail& a, const CMail& b) {
  const auto fields = [](const CMail& m) {
    return std::tie(m.text_start, m.text_end, m.date, m.message_id, m.subject, m.from, m.to);
  };
  return fields(a) == fields(b);
}

}  // namespace

BoxWalkSources BoxWalkSources::Plan(std::vector<std::string> box_list, const OpenBoxRegistry* registry) {
  BoxWalkSources sources;
  sources.box_list_ = std::move(box_list);
  if (registry == nullptr) return sources;
  for (std::size_t i = 0; i < sources.box_list_.size(); ++i) {
    const std::string& path = sources.box_list_[i];
    if (IsFolderPath(path)) continue;
    const CLPOSTDoc* open = registry->Find(path);
    if (open == nullptr) continue;
    CLPOSTDoc::Records copy;
    copy.reserve(static_cast<std::size_t>(open->Count()));
    for (int row = 0; row < open->Count(); ++row) copy.push_back(std::make_unique<CMail>(*open->RecordAt(row)));
    sources.open_.emplace(i, std::move(copy));
  }
  return sources;
}

const CLPOSTDoc::Records* BoxWalkSources::OpenRecords(std::size_t index) const {
  const auto found = open_.find(index);
  return found == open_.end() ? nullptr : &found->second;
}

WalkResult WalkBoxes(const BoxWalkSources& sources, std::size_t first, SkippableProgress* progress,
                     const std::function<bool(const std::string& path)>& wanted,
                     const std::function<bool(const WalkedBox& box)>& visit) {
  const std::vector<std::string>& list = sources.box_list();
  for (std::size_t index = first; index < list.size(); ++index) {
    const std::string& path = list[index];
    if (IsFolderPath(path) || (wanted && !wanted(path))) continue;
    if (progress != nullptr && progress->CancelRequested()) return {WalkEnd::Cancelled, index};
    if (progress != nullptr && progress->SkipRequested()) continue;
    CLPOSTDoc::Records loaded;
    const CLPOSTDoc::Records* records = sources.OpenRecords(index);
    if (records == nullptr) {
      if (!LoadIndexFile(path, loaded).ok) continue;
      records = &loaded;
    }
    if (records->empty()) continue;
    const std::string text_path = TextFilePathOf(path);
    if (!visit(WalkedBox{index, path, text_path, *records})) return {WalkEnd::Stopped, index};
  }
  return {WalkEnd::Done, list.size()};
}

int RowOfWalkedMail(const CLPOSTDoc& box, const CMail& seen) {
  if (seen.serial != 0) {
    const int row = box.IndexOfSerial(seen.serial);
    if (row >= 0 && SameMail(*box.RecordAt(row), seen)) return row;
  }
  for (int row = 0; row < box.Count(); ++row) {
    if (SameMail(*box.RecordAt(row), seen)) return row;
  }
  return -1;
}

}  // namespace lp
