#include "store/trash_box.h"

#include <string>

#include "platform/file_system.h"
#include "store/fixed_boxes.h"
#include "store/mail_delete.h"
#include "store/mailbox_document.h"
#include "store/store_messages.h"

namespace lp {

bool EmptyTrash(Profile& profile, UserInterface& ui, OpenBoxRegistry& registry, const WriteStepHook& steps) {
  if (ui.Ask(store_messages::kAskEmptyTrash, MessageButtons::OkCancel) != Answer::Ok) return false;
  const std::string path = TrashBoxPath(profile);
  // A missing trash box is simply empty; one that does not load is never
  // overwritten. An open trash box is emptied in place, so every user sees it.
  NoteWriteStep(steps, "open trash");
  if (!CreateEmptyFileIfMissing(path)) {
    ui.ShowMessage(std::string(store_messages::kFileWriteFailed) + ":" + path);
    return false;
  }
  AcquiredBox acquired = registry.Acquire(path);
  if (!acquired.box) {
    ui.ShowMessage(acquired.load.message);
    return false;
  }
  CLPOSTDoc& trash = *acquired.box;
  for (int i = 0; i < trash.Count(); ++i) DisposeAttachments(*trash.RecordAt(i), profile, ui);
  while (trash.Count() > 0) (void)trash.RemoveAt(trash.Count() - 1);

  // The empty index goes first: a crash before the text file is cut only
  // leaves unreferenced text behind.
  NoteWriteStep(steps, "save empty index");
  const IndexFileResult saved = trash.Save();
  if (!saved.ok) {
    ui.ShowMessage(saved.message);
    return false;
  }
  trash.ClearCompactionWanted();
  NoteWriteStep(steps, "truncate text");
  File text;
  if (!text.Open(trash.TextFilePath(), File::Mode::Write) || !text.Close()) {
    ui.ShowMessage(std::string(store_messages::kFileWriteFailed) + ":" + trash.TextFilePath());
  }
  trash.UpdateUnreadMark();
  ui.Report(store_messages::kDeleteCompleted);
  return true;
}

}  // namespace lp
