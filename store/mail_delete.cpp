#include "store/mail_delete.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/attachment_directory.h"
#include "platform/file_system.h"
#include "platform/resolved_path.h"
#include "platform/trash.h"
#include "store/fixed_boxes.h"
#include "store/held_mail.h"
#include "store/mail_transfer.h"
#include "store/store_messages.h"

namespace lp {
namespace {

enum class RemoveAttach { ToTrash = 0, Ask = 1, Delete = 2 };

std::vector<std::string> AttachmentPaths(const CMail& record) {
  std::vector<std::string> paths;
  std::string_view list = record.attachments;
  while (!list.empty()) {
    const std::size_t newline = list.find('\n');
    const std::string_view path = list.substr(0, newline);
    if (!path.empty()) paths.emplace_back(path);
    if (newline == std::string_view::npos) break;
    list.remove_prefix(newline + 1);
  }
  return paths;
}

// The record's attachment files that the program itself saved: regular
// files directly in the attachment directory, by their real paths. A queued
// or sent mail lists the user's own files (which may even lie there, when a
// received attachment was forwarded), and an imported record may list any
// path at all: those are never touched.
std::vector<std::string> OwnedAttachmentFiles(const CMail& record, const Profile& profile) {
  std::vector<std::string> owned;
  if (record.attachments.empty() || record.IsOutgoing()) return owned;
  const std::string directory = AttachmentDirectory(profile);
  for (const std::string& path : AttachmentPaths(record)) {
    if (std::optional<std::string> real = RealPathOfFileDirectlyIn(path, directory)) owned.push_back(*real);
  }
  return owned;
}

}  // namespace

void DisposeAttachments(const CMail& record, const Profile& profile, UserInterface& ui) {
  const std::vector<std::string> paths = OwnedAttachmentFiles(record, profile);
  if (paths.empty()) return;
  switch (static_cast<RemoveAttach>(profile.GetInt("System", "RemoveAttach", 0))) {
    case RemoveAttach::ToTrash: {
      // Where no trash takes them, they go for good only when the user says so.
      std::optional<bool> for_good;
      for (const std::string& path : paths) {
        if (TrashItem(path) != TrashOutcome::NoTrash) continue;
        if (!for_good) for_good = ui.Ask(store_messages::kAskDeleteAttachments, MessageButtons::YesNo) == Answer::Yes;
        if (*for_good) RemoveFile(path);
      }
      break;
    }
    case RemoveAttach::Ask:
      if (ui.Ask(store_messages::kAskDeleteAttachments, MessageButtons::YesNo) != Answer::Yes) break;
      [[fallthrough]];
    case RemoveAttach::Delete:
      for (const std::string& path : paths) RemoveFile(path);
      break;
    default: break;
  }
}

bool DeleteMails(CLPOSTDoc& box, std::span<const int> selection, OpenBoxRegistry& registry,
                 const WriteStepHook& steps, DeleteTarget target) {
  UserInterface& ui = box.ui();
  Profile& profile = box.profile();
  const bool for_good = target == DeleteTarget::ForGood;
  const HeldMails held(box, selection);
  if (ui.Ask(for_good ? store_messages::kAskDeleteMailForGood : store_messages::kAskDeleteMail,
             MessageButtons::OkCancel) != Answer::Ok) {
    return false;
  }
  const std::vector<int> rows = held.Rows(box);

  if (!for_good && TrashEnabled(profile) && !IsTrashBox(box, profile)) {
    EnsureFixedBoxes(profile);
    const std::string trash = TrashBoxPath(profile);
    const std::string text = BoxDisplayName(trash) + store_messages::kMovingTo;
    std::unique_ptr<Progress> progress = ui.BeginProgress(text);
    TransferOptions options;
    options.steps = steps;
    if (progress) {
      progress->SetStatusText(text);
      progress->SetRange(0, static_cast<int>(rows.size()));
      options.progress = progress.get();
    }
    MoveTo(box, rows, trash, registry, options);
    return true;
  }

  std::vector<std::unique_ptr<CMail>> removed;
  removed.reserve(rows.size());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) removed.push_back(box.RemoveAt(*it));
  box.SetModified();
  box.UpdateUnreadMark();
  box.NoteCompactionWanted();
  // Their attachments go once the mails are out of the list: a question
  // about them lets the event loop run, and the box may change meanwhile.
  for (const std::unique_ptr<CMail>& record : removed) DisposeAttachments(*record, profile, ui);
  return true;
}

}  // namespace lp
