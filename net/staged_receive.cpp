#include "net/staged_receive.h"

#include <utility>

#include "codec/html_view.h"
#include "net/analysed_spool_marker.h"
#include "net/pop_messages.h"
#include "net/pop_reply_text.h"
#include "platform/file_system.h"

namespace lp {

StagedReceive PlanStagedReceive(const CLPOSTDoc& box, std::vector<StagedSpool> spools) {
  StagedReceive staged;
  staged.index_path = box.PathName();
  for (StagedSpool& spool : spools) {
    if (SettleAnalysedSpool(spool.path, box) == LeftoverSpool::AlreadyInBox) continue;
    staged.spools.push_back(std::move(spool));
  }
  return staged;
}

void AnalyseStagedReceive(StagedReceive& staged, Profile& profile, UserInterface& ui, CommandObserver& commands,
                          Progress* progress, const WriteStepHook& steps) {
  CLPOSTDoc staging(profile, ui, commands);
  staging.OpenAsStaging(staged.index_path);
  for (StagedSpool& spool : staged.spools) {
    spool.first = staging.Count();
    NoteWriteStep(steps, "analyse spool");
    SpoolAnalysisResult analysis = AnalyseSpoolWithProgress(staging, spool.path, progress, spool.message_ids);
    spool.count = analysis.count;
    // A failed analysis has taken its records and text back; its reason
    // is told as the analysis failure.
    if (spool.count <= 0) continue;
    // The texts first, then the index that points at them; only then may
    // the spool go.
    NoteWriteStep(steps, "flush box text");
    if (!SyncFileToDisk(staging.TextFilePath())) {
      staged.write_failed = true;
      staged.message = WithPopReply(pop_text::kCannotWrite, staging.TextFilePath());
      staging.RemoveRange(spool.first, staging.Count() - spool.first);
      spool.count = 0;
      break;
    }
    // Without the mark a crash right after the save would bring these
    // mails twice; it is no reason to stop.
    NoteWriteStep(steps, "mark spool analysed");
    spool.marked = MarkSpoolAnalysed(spool.path, staging, spool.first);
  }
  // Spools after a failed flush were never analysed.
  std::erase_if(staged.spools, [&](const StagedSpool& spool) { return spool.count == 0 && !spool.marked; });
  if (profile.GetInt("System", "VirusCheck", 1) != 0) {
    for (int i = 0; i < staging.Count(); ++i) {
      if (HasHtmlIframe(staging, i)) staged.iframe_records.push_back(i);
    }
  }
  staged.content_ids = std::move(staging.content_ids());
  staged.records = staging.TakeRecords();
}

StagedCommit TakeStagedRecords(CLPOSTDoc& box, StagedReceive& staged, bool take_snapshot) {
  StagedCommit commit;
  commit.first_new = box.Count();
  if (staged.records.empty()) return commit;
  commit.added = static_cast<int>(staged.records.size());
  box.content_ids() = std::move(staged.content_ids);
  box.AddAll(std::move(staged.records));
  staged.records.clear();
  commit.serials.reserve(static_cast<std::size_t>(commit.added));
  for (int i = commit.first_new; i < box.Count(); ++i) commit.serials.push_back(box.RecordAt(i)->serial);
  for (const int staged_index : staged.iframe_records) {
    if (staged_index >= 0 && staged_index < commit.added) {
      commit.iframe_serials.push_back(commit.serials[static_cast<std::size_t>(staged_index)]);
    }
  }
  if (take_snapshot) commit.snapshot = box.SnapshotIndex();
  return commit;
}

void SettleStagedSpools(CLPOSTDoc& box, StagedReceive& staged, StagedCommit& commit, UserInterface& ui,
                        std::vector<bool>* removed, const WriteStepHook& steps) {
  if (removed != nullptr) removed->assign(staged.spools.size(), false);
  if (commit.added == 0) return;
  IndexFileResult saved;
  if (commit.snapshot) {
    saved = commit.written;
    if (saved.ok) box.NoteSnapshotWritten(*commit.snapshot);
    commit.snapshot.reset();
  } else {
    NoteWriteStep(steps, "save box index");
    saved = box.Save();
  }
  if (!saved.ok) {
    for (const StagedSpool& spool : staged.spools) {
      if (spool.marked) ClearSpoolMark(spool.path);
    }
    ui.ShowMessage(saved.message);
    // Whatever is not on the disk would come again from the spools that stay.
    box.RemoveIndexes(box.RowsOfSerials(commit.serials));
    commit.added = 0;
    commit.saved = false;
    return;
  }
  for (std::size_t i = 0; i < staged.spools.size(); ++i) {
    const StagedSpool& spool = staged.spools[i];
    if (spool.count <= 0) continue;
    NoteWriteStep(steps, "remove spool");
    const bool gone = RemoveFile(spool.path);
    NoteWriteStep(steps, "clear spool mark");
    if (gone) ClearSpoolMark(spool.path);
    if (removed != nullptr) (*removed)[i] = gone;
  }
}

}  // namespace lp
