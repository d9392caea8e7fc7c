#include "store/trash_box.h"

#include <string>

#include "platform/file_system.h"
#include "store/fixed_boxes.h"
#include "store/mail_delete.h"
#include "store/mailbox_document.h"
#include "store/store_messages.h"

namespace lp {

bool EmptyTrash(Profile& profile, UserInterface& ui, CommandObserver& commands, OpenBoxRegistry& registry,
                const WriteStepHook& steps) {
  if (ui.Ask(store_messages::kAskEmptyTrash, MessageButtons::OkCancel) != Answer::Ok) return false;
  NoteWriteStep(steps, "save open boxes");
  if (!registry.SaveAllOpenBoxes()) return false;

  const std::string path = TrashBoxPath(profile);
  CLPOSTDoc trash(profile, ui, commands);
  // A missing trash box is simply empty; one that does not load is never
  // overwritten.
  if (PathExists(path)) {
    const IndexFileResult loaded = trash.Open(path);
    if (!loaded.ok) {
      ui.ShowMessage(loaded.message);
      return false;
    }
  }
  for (int i = 0; i < trash.Count(); ++i) DisposeAttachments(*trash.RecordAt(i), profile, ui);
  while (trash.Count() > 0) trash.RemoveAt(trash.Count() - 1);

  // The empty index goes first: a crash before the text file is cut only
  // leaves unreferenced text behind.
  NoteWriteStep(steps, "save empty index");
  const IndexFileResult saved = trash.Save(path);
  if (!saved.ok) {
    ui.ShowMessage(saved.message);
    return false;
  }
  NoteWriteStep(steps, "truncate text");
  File text;
  if (!text.Open(TextFilePathOf(path), File::Mode::Write) || !text.Close()) {
    ui.ShowMessage(std::string(store_messages::kFileWriteFailed) + ":" + TextFilePathOf(path));
  }
  ui.ShowMessage(store_messages::kDeleteCompleted);
  registry.ReloadAllOpenBoxes();
  return true;
}

}  // namespace lp
