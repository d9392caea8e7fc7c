#include "app/compose_save.h"

#include <array>
#include <utility>

#include "app/compose_messages.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "rules/batch_move.h"
#include "rules/outgoing_mail_store.h"
#include "store/mail_transfer.h"
#include "store/write_steps.h"

namespace lp {
namespace {

void TakeFields(const ComposeForm& form, int status, std::time_t now, CMail& record) {
  record.to = form.to;
  record.from = form.from;
  record.subject = form.subject;
  record.cc = form.cc;
  record.bcc = form.bcc;
  record.attachments = form.attach;
  record.signature = form.signature;
  record.status = status;
  record.date = static_cast<std::int32_t>(now);
}

// The serial of the last mail of the box at `path` (where a save has just
// put one), when that box is open.
std::uint64_t LastSerialIfOpen(std::string_view path, const ComposeTarget& target) {
  const std::string absolute = AbsolutePath(path);
  CLPOSTDoc* box = target.registry != nullptr ? target.registry->Find(absolute) : nullptr;
  if (box == nullptr && target.window_box.PathName() == absolute) box = &target.window_box;
  const CMail* last = box != nullptr ? box->RecordAt(box->Count() - 1) : nullptr;
  return last != nullptr ? last->serial : 0;
}

std::optional<SavedMail> SaveNewMail(const ComposeForm& form, const ComposeSavePlan& plan,
                                     const ComposeTarget& target, std::time_t now) {
  CLPOSTDoc& window_box = target.window_box;
  const std::string destination = plan.destination.empty() ? window_box.PathName() : plan.destination;
  CMail record;
  TakeFields(form, plan.status, now, record);
  record.message_id = form.references;
  OutgoingMailTarget outgoing;
  outgoing.box_path = destination;
  outgoing.registry = target.registry;
  outgoing.open_box = &window_box;
  outgoing.failure_message = compose_window_text::kMailWriteFailed;
  if (!AppendOutgoingMail(window_box.profile(), window_box.ui(), window_box.commands(), outgoing, std::move(record),
                          form.body)) {
    return std::nullopt;
  }
  return SavedMail{destination, LastSerialIfOpen(destination, target)};
}

std::optional<SavedMail> SaveEditedMail(const ComposeForm& form, ComposeSave command, const ComposeTarget& target,
                                        int index, const ComposeWindowSettings& settings, std::time_t now) {
  CLPOSTDoc& box = target.window_box;
  CMail* record = box.RecordAt(index);
  const std::uint64_t serial = record->serial;
  const ComposeSavePlan plan = PlanComposeSave(command, box.PathName(), record->status, settings);
  const CMail before = *record;
  TakeFields(form, plan.status, now, *record);
  // The text is on the disk before an index that points at it.
  if (!box.StoreText(index, form.body) || !SyncFileToDisk(box.TextFilePath())) {
    *record = before;
    box.NoteRecordChanged(index);
    box.ui().ShowMessage(compose_window_text::kMailWriteFailed);
    return std::nullopt;
  }
  const IndexFileResult saved = box.Save();
  if (!saved.ok) {
    box.ui().ShowMessage(saved.message);
    return std::nullopt;
  }
  if (plan.destination.empty()) return SavedMail{box.PathName(), serial};

  const std::array<int, 1> selection = {index};
  std::optional<OpenBoxRegistry> own_registry;
  OpenBoxRegistry* registry = target.registry;
  if (registry == nullptr) registry = &own_registry.emplace(box.profile(), box.ui(), box.commands());
  // The send box is a fixed box: one that went missing is made again.
  CreateEmptyFileIfMissing(AbsolutePath(plan.destination));
  if (MoveTo(box, selection, plan.destination, *registry) != 1) return std::nullopt;
  return SavedMail{plan.destination, LastSerialIfOpen(plan.destination, target)};
}

}  // namespace

ComposeSavePlan PlanComposeSave(ComposeSave command, std::string_view window_box, std::optional<int> edited_status,
                                const ComposeWindowSettings& settings) {
  ComposeSavePlan plan;
  std::string_view destination;
  switch (command) {
    case ComposeSave::Send:
      plan.status = kStatusUnsent;
      destination = settings.send_box;
      break;
    case ComposeSave::Save:
      plan.status = kStatusSent;
      if (settings.draft_box_in_use && IsSameBoxPath(window_box, settings.send_box)) destination = settings.draft_box;
      break;
    case ComposeSave::SaveEdited:
      plan.status = edited_status.value_or(kStatusUnsent) == kStatusUnsent ? kStatusUnsent : kStatusSent;
      if (plan.status == kStatusUnsent) destination = settings.send_box;
      break;
  }
  if (!destination.empty() && !IsSameBoxPath(window_box, destination)) plan.destination = destination;
  return plan;
}

std::optional<SavedMail> SaveComposedMail(const ComposeForm& form, ComposeSave command, const ComposeTarget& target,
                                          const ComposeWindowSettings& settings, std::time_t now) {
  CLPOSTDoc& box = target.window_box;
  std::optional<int> edited_status;
  if (target.edited_serial != 0) {
    if (const int index = box.IndexOfSerial(target.edited_serial); index >= 0) {
      return SaveEditedMail(form, command, target, index, settings, now);
    }
    // Deleted, moved or sent away meanwhile: whatever stands in its place
    // now is another mail.
    if (box.ui().Ask(compose_window_text::kAskSaveGoneMailAsNew, MessageButtons::OkCancel) != Answer::Ok) {
      return std::nullopt;
    }
    edited_status = target.edited_status;
  }
  const ComposeSavePlan plan = PlanComposeSave(command, box.PathName(), edited_status, settings);
  return SaveNewMail(form, plan, target, now);
}

}  // namespace lp
