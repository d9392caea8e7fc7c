#include "rules/outgoing_mail_store.h"

#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {

bool AppendOutgoingMail(Profile& profile, UserInterface& ui, CommandObserver& commands,
                        const OutgoingMailTarget& target, CMail record, std::string_view text) {
  if (target.box_path.empty()) {
    ui.ShowMessage(target.failure_message);
    return false;
  }
  const std::string path = AbsolutePath(target.box_path);
  CLPOSTDoc* box = target.registry != nullptr ? target.registry->Find(path) : nullptr;
  if (box == nullptr && target.open_box != nullptr && target.open_box->PathName() == path) box = target.open_box;

  std::unique_ptr<CLPOSTDoc> loaded;
  if (box == nullptr) {
    loaded = std::make_unique<CLPOSTDoc>(profile, ui, commands);
    // A fixed box that went missing is made again; an existing file that
    // does not load is never replaced.
    if (!CreateEmptyFileIfMissing(path) || !loaded->Open(path).ok) {
      ui.ShowMessage(target.failure_message);
      return false;
    }
    box = loaded.get();
  }

  const bool was_modified = box->IsModified();
  box->Add(std::make_unique<CMail>(std::move(record)));
  NoteWriteStep(target.steps, "append text");
  bool stored = box->StoreTextOfLast(text);
  if (stored) {
    // The text is on the disk before an index that points at it.
    NoteWriteStep(target.steps, "sync text");
    stored = SyncFileToDisk(box->TextFilePath());
  }
  if (!stored) {
    box->RemoveAt(box->Count() - 1);
    box->SetModified(was_modified);
    ui.ShowMessage(target.failure_message);
    return false;
  }

  NoteWriteStep(target.steps, "save index");
  const IndexFileResult saved = box->Save();
  if (!saved.ok) ui.ShowMessage(saved.message);
  // An open box keeps the mail and saves it with its next save; a box
  // loaded here for the purpose has lost it.
  return saved.ok || loaded == nullptr;
}

}  // namespace lp
