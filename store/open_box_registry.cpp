#include "store/open_box_registry.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/sjis_path.h"
#include "store/compaction.h"
#include "store/store_messages.h"

namespace lp {

BoxHandle::BoxHandle(OpenBoxRegistry& registry, CLPOSTDoc& doc) : registry_(&registry), doc_(&doc) {
  registry_->Hold(doc);
}

BoxHandle::BoxHandle(const BoxHandle& other) : registry_(other.registry_), doc_(other.doc_) {
  if (doc_ != nullptr) registry_->Hold(*doc_);
}

BoxHandle& BoxHandle::operator=(const BoxHandle& other) {
  if (this != &other) {
    BoxHandle copy(other);
    *this = std::move(copy);
  }
  return *this;
}

BoxHandle::BoxHandle(BoxHandle&& other) noexcept
    : registry_(std::exchange(other.registry_, nullptr)), doc_(std::exchange(other.doc_, nullptr)) {}

BoxHandle& BoxHandle::operator=(BoxHandle&& other) noexcept {
  if (this != &other) {
    BoxHandle old(std::move(*this));
    registry_ = std::exchange(other.registry_, nullptr);
    doc_ = std::exchange(other.doc_, nullptr);
  }
  return *this;
}

BoxHandle::~BoxHandle() {
  if (doc_ == nullptr) return;
  OpenBoxRegistry& registry = *registry_;
  const IndexFileResult closed = Release();
  // Nobody is left to hear of it otherwise, and the records in memory are gone.
  if (!closed.ok) registry.ui().ShowMessage(closed.message);
}

IndexFileResult BoxHandle::Release() {
  if (doc_ == nullptr) return {};
  CLPOSTDoc& doc = *std::exchange(doc_, nullptr);
  return std::exchange(registry_, nullptr)->LetGo(doc);
}

void JobBoxHold::GiveBack() {
  CLPOSTDoc* box = box_.get();
  if (box == nullptr) return;
  // Notices wait while the box is busy; the busy mark's end tells of the
  // whole reload at once.
  (void)box->Reload();
  box->ClearBusy();
  (void)box_.Release();
}

OpenBoxRegistry::OpenBoxRegistry(Profile& profile, UserInterface& ui, CommandObserver& commands)
    : profile_(profile), ui_(ui), commands_(commands) {}

OpenBoxRegistry::~OpenBoxRegistry() {
  for (const OpenBox& box : boxes_) {
    if (!box.doc->IsModified()) continue;
    const IndexFileResult saved = box.doc->Save();
    if (!saved.ok) ui_.ShowMessage(saved.message);
  }
}

AcquiredBox OpenBoxRegistry::Acquire(std::string_view index_path) {
  if (CLPOSTDoc* open = Find(index_path)) return {BoxHandle(*this, *open), {}};
  auto doc = std::make_unique<CLPOSTDoc>(profile_, ui_, commands_);
  IndexFileResult loaded = doc->Open(index_path);
  if (!loaded.ok) return {BoxHandle(), std::move(loaded)};
  InstallCompactor(*doc);
  CLPOSTDoc& added = *doc;
  boxes_.push_back(OpenBox{std::move(doc), 0});
  return {BoxHandle(*this, added), {}};
}

std::optional<JobBoxHold> OpenBoxRegistry::TakeForJob(std::string_view index_path, std::string* message) {
  CLPOSTDoc* box = Find(index_path);
  if (box != nullptr) {
    if (box->TextFileInUse()) {
      *message = std::string(store_messages::kBoxBusy) + box->PathName();
      return std::nullopt;
    }
    if (box->IsModified()) {
      const IndexFileResult saved = box->Save();
      if (!saved.ok) {
        *message = saved.message;
        return std::nullopt;
      }
    }
  } else {
    // Not loaded: the job's files are read when it gives the box back.
    auto doc = std::make_unique<CLPOSTDoc>(profile_, ui_, commands_);
    doc->OpenAsStaging(index_path);
    InstallCompactor(*doc);
    box = doc.get();
    boxes_.push_back(OpenBox{std::move(doc), 0});
  }
  JobBoxHold hold{BoxHandle(*this, *box)};
  (void)box->MarkBusy();
  return hold;
}

CLPOSTDoc* OpenBoxRegistry::Find(std::string_view index_path) const {
  if (index_path.empty()) return nullptr;
  const std::string full = AbsolutePath(index_path);
  for (const OpenBox& box : boxes_) {
    if (box.doc->PathName() == full) return box.doc.get();
  }
  return nullptr;
}

namespace {

// The part of `path` after the folder `prefix` (with its separator), or
// nullopt when `path` is neither `prefix` itself nor inside it.
std::optional<std::string_view> RestAfter(std::string_view path, std::string_view prefix) {
  if (path.size() < prefix.size() || path.substr(0, prefix.size()) != prefix) return std::nullopt;
  const std::string_view rest = path.substr(prefix.size());
  if (!rest.empty() && !EndsWithPathSeparator(prefix) && rest.front() != kPathSeparator) return std::nullopt;
  return rest;
}

}  // namespace

std::vector<CLPOSTDoc*> OpenBoxRegistry::OpenAtOrUnder(std::string_view path) const {
  std::vector<CLPOSTDoc*> found;
  if (path.empty()) return found;
  const std::string full = AbsolutePath(path);
  for (const OpenBox& box : boxes_) {
    if (RestAfter(box.doc->PathName(), full)) found.push_back(box.doc.get());
  }
  return found;
}

std::vector<CLPOSTDoc*> OpenBoxRegistry::UnsavedBoxes() const {
  std::vector<CLPOSTDoc*> found;
  for (const OpenBox& box : boxes_) {
    if (box.doc->IsModified() && !box.doc->IsBusy()) found.push_back(box.doc.get());
  }
  return found;
}

void OpenBoxRegistry::Relocate(std::string_view old_path, std::string_view new_path) {
  const std::string old_full = AbsolutePath(old_path);
  const std::string new_full = AbsolutePath(new_path);
  for (CLPOSTDoc* doc : OpenAtOrUnder(old_full)) {
    const std::string rest(*RestAfter(doc->PathName(), old_full));
    doc->Relocate(new_full + rest);
  }
}

void OpenBoxRegistry::InstallCompactor(CLPOSTDoc& doc) {
  doc.SetCompactor([this](CLPOSTDoc& box) {
    if (!WalkRunning()) (void)Compact(box);
  });
}

void OpenBoxRegistry::Hold(CLPOSTDoc& doc) {
  for (OpenBox& box : boxes_) {
    if (box.doc.get() == &doc) ++box.holds;
  }
}

IndexFileResult OpenBoxRegistry::LetGo(CLPOSTDoc& doc) {
  const auto found =
      std::find_if(boxes_.begin(), boxes_.end(), [&](const OpenBox& box) { return box.doc.get() == &doc; });
  if (found == boxes_.end() || --found->holds > 0) return {};
  IndexFileResult closed = found->doc->CloseRequest();
  // A box that could not be written stays open without holds: the next
  // save of all open boxes, or the registry's end, tries again.
  if (closed.ok) boxes_.erase(found);
  return closed;
}

std::vector<BoxSaveFailure> OpenBoxRegistry::SaveAllOpenBoxes() {
  std::vector<BoxSaveFailure> failures;
  for (const OpenBox& box : boxes_) {
    // A worker thread's job owns a busy box now: it is neither written
    // here nor may files change under it.
    if (box.doc->IsBusy()) {
      failures.push_back({box.doc->PathName(), std::string(store_messages::kIndexSaveFailed) + ":" +
                                                   box.doc->PathName()});
      continue;
    }
    const IndexFileResult result = box.doc->Save();
    if (!result.ok) failures.push_back({box.doc->PathName(), result.message});
  }
  return failures;
}

bool OpenBoxRegistry::SaveAllOpenBoxesShowingFailures() {
  const std::vector<BoxSaveFailure> failures = SaveAllOpenBoxes();
  for (const BoxSaveFailure& failure : failures) ui_.ShowMessage(failure.message);
  return failures.empty();
}

void OpenBoxRegistry::ReloadAllOpenBoxes() {
  for (const OpenBox& box : boxes_) {
    if (!box.doc->IsBusy()) (void)box.doc->Reload();
  }
}

}  // namespace lp
