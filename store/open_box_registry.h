#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"

// The open boxes of the process, owned by their absolute index path: every
// window, pipeline and send run that works on a box shares its one
// document, so no stale copy can save over another's records. An operation
// that writes another box's files on disk first saves every open box (so
// none of them later overwrites the change) and afterwards loads them again
// (so every user sees it).

namespace lp {

class OpenBoxRegistry;

// One user's hold on a shared box document. Copies are further holds; when
// the last hold goes, the box is closed (compaction when wanted, then a save
// when modified) and the registry forgets it. The registry must outlive its
// handles.
class BoxHandle {
 public:
  BoxHandle() = default;
  BoxHandle(const BoxHandle& other);
  BoxHandle& operator=(const BoxHandle& other);
  BoxHandle(BoxHandle&& other) noexcept;
  BoxHandle& operator=(BoxHandle&& other) noexcept;
  // A close that fails here is shown through the registry's user interface.
  ~BoxHandle();

  [[nodiscard]] CLPOSTDoc* get() const { return doc_; }
  [[nodiscard]] CLPOSTDoc& operator*() const { return *doc_; }
  [[nodiscard]] CLPOSTDoc* operator->() const { return doc_; }
  [[nodiscard]] explicit operator bool() const { return doc_ != nullptr; }

  // Lets go of the box now. When this was the last hold, the outcome of
  // closing it (its message is for the caller to show); else success.
  [[nodiscard]] IndexFileResult Release();

 private:
  friend class OpenBoxRegistry;
  BoxHandle(OpenBoxRegistry& registry, CLPOSTDoc& doc);

  OpenBoxRegistry* registry_ = nullptr;
  CLPOSTDoc* doc_ = nullptr;
};

// A job's hold on a box it writes through files of its own (a mail
// import): for as long as the hold lasts the box is in the registry and
// busy, whether or not a window has it open. A window that opens it
// meanwhile gets the busy document (no rows until the job ends); copies
// into it, renames, moves and deletions are refused as for any busy box.
class JobBoxHold {
 public:
  explicit JobBoxHold(BoxHandle box) : box_(std::move(box)) {}
  JobBoxHold(JobBoxHold&&) noexcept = default;
  JobBoxHold& operator=(JobBoxHold&& other) noexcept {
    if (this != &other) {
      GiveBack();
      box_ = std::move(other.box_);
    }
    return *this;
  }
  JobBoxHold(const JobBoxHold&) = delete;
  JobBoxHold& operator=(const JobBoxHold&) = delete;
  ~JobBoxHold() { GiveBack(); }

  // On the owning thread once the job ended: loads the box from its files
  // (a box the job did not create stays empty), clears the busy mark (its
  // windows hear of the reload) and lets go.
  void GiveBack();
  [[nodiscard]] CLPOSTDoc* get() const { return box_.get(); }

 private:
  BoxHandle box_;
};

// What Acquire gives: the handle, or (empty handle) why the box did not load.
struct AcquiredBox {
  BoxHandle box;
  IndexFileResult load;
};

// The index of a box that could not be written, with the reason.
struct BoxSaveFailure {
  std::string path;
  std::string message;  // Shift_JIS, names the file
};

class OpenBoxRegistry {
 public:
  // The services every document of this registry is made with.
  OpenBoxRegistry(Profile& profile, UserInterface& ui, CommandObserver& commands);
  ~OpenBoxRegistry();
  OpenBoxRegistry(const OpenBoxRegistry&) = delete;
  OpenBoxRegistry& operator=(const OpenBoxRegistry&) = delete;

  // The shared document of the box at `index_path` (made absolute), loaded
  // on its first acquisition and handed to every later one as it is. A box
  // whose index does not load gives an empty handle and the reason.
  [[nodiscard]] AcquiredBox Acquire(std::string_view index_path);

  // On the owning thread, before a job starts writing the box at
  // `index_path` (which need not exist yet): the box taken for the job. An
  // open box with unsaved changes is saved first, so that the job starts
  // from what the user sees. Nullopt, with the reason in `message`
  // (Shift_JIS), when another job holds it or it could not be saved.
  [[nodiscard]] std::optional<JobBoxHold> TakeForJob(std::string_view index_path, std::string* message);

  // The open box with this index path (made absolute), or nullptr; no hold.
  [[nodiscard]] CLPOSTDoc* Find(std::string_view index_path) const;
  [[nodiscard]] std::size_t OpenCount() const { return boxes_.size(); }
  // The open boxes at `path` or inside the folder `path` (absolute paths
  // compared as the file system does).
  [[nodiscard]] std::vector<CLPOSTDoc*> OpenAtOrUnder(std::string_view path) const;
  // The open boxes with changes not yet saved that no job holds now.
  [[nodiscard]] std::vector<CLPOSTDoc*> UnsavedBoxes() const;
  // After the box or folder at `old_path` was renamed or moved to
  // `new_path`: its open boxes (those inside a folder too) follow.
  void Relocate(std::string_view old_path, std::string_view new_path);

  // Writes the index of every open box. The failures (a box busy with a
  // worker thread's job is one) are returned for the caller to show; while
  // there are any, the caller must not change files on disk (reloading
  // would drop the unsaved records).
  [[nodiscard]] std::vector<BoxSaveFailure> SaveAllOpenBoxes();
  // SaveAllOpenBoxes that shows each failure through the registry's user
  // interface; true when every box was saved.
  [[nodiscard]] bool SaveAllOpenBoxesShowingFailures();
  // Loads every open box again (a box whose file does not load stays as it
  // was); see CLPOSTDoc::Reload for what survives.
  void ReloadAllOpenBoxes();

  // A walk over many boxes (search, text export) reads their files on a
  // worker thread: while one runs, no open box is compacted on closing
  // (its wish waits for a later close), and callers that compact ask
  // WalkRunning first. Calls on the owning thread.
  void BeginWalk() { ++walks_; }
  void EndWalk() {
    if (walks_ > 0) --walks_;
  }
  [[nodiscard]] bool WalkRunning() const { return walks_ > 0; }

  [[nodiscard]] UserInterface& ui() { return ui_; }

 private:
  friend class BoxHandle;
  struct OpenBox {
    std::unique_ptr<CLPOSTDoc> doc;
    int holds = 0;
  };

  // Compaction on closing, held off while a walk runs.
  void InstallCompactor(CLPOSTDoc& doc);
  void Hold(CLPOSTDoc& doc);
  [[nodiscard]] IndexFileResult LetGo(CLPOSTDoc& doc);

  Profile& profile_;
  UserInterface& ui_;
  CommandObserver& commands_;
  std::vector<OpenBox> boxes_;
  int walks_ = 0;
};

}  // namespace lp
