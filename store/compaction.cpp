#include "store/compaction.h"

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "store/compaction_journal.h"
#include "store/fixed_boxes.h"
#include "store/orvex_file.h"
#include "store/store_messages.h"
#include "store/text_copy.h"

namespace lp {
namespace {

using Span = std::pair<std::uint32_t, std::uint32_t>;

// Asking the progress window about its cancel button once per this many
// records keeps the loop at copying speed.
constexpr int kCancelPollInterval = 64;

// Writes the blocks of the records, in record order, to the work file and
// returns their new places; nullopt when the user cancelled. Throws
// COrvexFileException.
std::optional<std::vector<Span>> WriteCompactedText(CLPOSTDoc& box, const std::string& work_path, Progress* progress,
                                     const WriteStepHook& steps) {
  COrvexFile in(box.TextFilePath(), File::Mode::Read);
  COrvexFile out(work_path, File::Mode::Write);
  BufferedTextReader reader(in);
  BufferedTextWriter writer(out, 0);
  std::vector<Span> spans;
  spans.reserve(static_cast<std::size_t>(box.Count()));
  for (int i = 0; i < box.Count(); ++i) {
    if (progress) {
      progress->SetPosition(i);
      if (i % kCancelPollInterval == 0 && progress->CancelRequested()) return std::nullopt;
    }
    const CMail& record = *box.RecordAt(i);
    const std::uint64_t start = writer.Position();
    reader.Seek(record.text_start);
    // A block that runs past the end of the file keeps what there is.
    if (record.text_end > record.text_start) reader.CopyBytes(record.text_end - record.text_start, writer);
    const std::uint64_t end = writer.Position();
    if (end > std::numeric_limits<std::uint32_t>::max()) {
      throw COrvexFileException(store_messages::kFileWriteFailed, work_path);
    }
    spans.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end));
    if (steps) {
      writer.Flush();
      NoteWriteStep(steps, "write work text");
    }
  }
  writer.Flush();
  out.Close();
  in.Close();
  return spans;
}

std::vector<Span> SwapSpans(CLPOSTDoc& box, const std::vector<Span>& spans) {
  std::vector<Span> old;
  old.reserve(spans.size());
  for (std::size_t i = 0; i < spans.size(); ++i) {
    CMail& record = *box.RecordAt(static_cast<int>(i));
    old.emplace_back(record.text_start, record.text_end);
    record.text_start = spans[i].first;
    record.text_end = spans[i].second;
  }
  if (!spans.empty()) box.NoteRecordsChanged(0, static_cast<int>(spans.size()) - 1);
  return old;
}

using ProgressOpener = std::function<Progress*()>;

CompactionResult Failed(std::string message) { return {false, std::move(message)}; }

// Opens the progress only once there is work to show.
CompactionResult CompactBox(CLPOSTDoc& box, const WriteStepHook& steps, const ProgressOpener& open_progress) {
  // A receive appending to the text file: the wish stays for a later close.
  if (box.PathName().empty() || box.TextFileReserved()) return {};
  const std::unique_lock work_files = TryLockCompactionWorkFiles();
  if (!work_files.owns_lock()) return {};
  // The work files are shared by all boxes: an interrupted compaction of
  // any box is settled before they are written again.
  RecoverInterruptedCompaction();
  const std::string journal_path = CompactionJournalPath();
  if (const std::optional<CompactionJournal> pending = ReadCompactionJournal()) {
    // Its work files are complete but could not be put in place; the
    // user's rename of the text file lets the next opening finish the job.
    return Failed(std::string(store_messages::kCompactRenameFailed1) + pending->text_path +
                  store_messages::kCompactRenameFailed2);
  }
  if (box.Count() == 0 && !PathExists(box.TextFilePath())) {
    box.ClearCompactionWanted();
    return {true, {}};
  }

  Progress* progress = open_progress();
  if (progress) progress->SetRange(0, box.Count());
  const std::string work_text = CompactionWorkTextPath();
  const std::string work_index = CompactionWorkIndexPath();
  std::vector<Span> spans;
  try {
    std::optional<std::vector<Span>> written = WriteCompactedText(box, work_text, progress, steps);
    if (!written) {
      RemoveFile(work_text);
      return {};
    }
    spans = std::move(*written);
  } catch (const COrvexFileException& error) {
    RemoveFile(work_text);
    return Failed(error.Text());
  }
  NoteWriteStep(steps, "sync work text");
  if (!SyncFileToDisk(work_text)) {
    RemoveFile(work_text);
    return Failed(std::string(store_messages::kFileWriteFailed) + ":" + work_text);
  }

  const bool was_modified = box.IsModified();
  const std::vector<Span> old_spans = SwapSpans(box, spans);
  auto roll_back = [&] {
    SwapSpans(box, old_spans);
    box.SetModified(was_modified);
    RemoveFile(work_index);
    RemoveFile(work_text);
    RemoveFile(journal_path);
  };
  NoteWriteStep(steps, "write work index");
  const IndexFileResult saved = box.Save(work_index);
  const std::optional<std::uint64_t> index_size = FileSize(work_index);
  if (!saved.ok || !index_size) {
    roll_back();
    return Failed(saved.message);
  }
  CompactionJournal journal;
  journal.index_path = box.PathName();
  journal.text_path = box.TextFilePath();
  journal.work_text_path = work_text;
  journal.work_text_size = spans.empty() ? 0 : spans.back().second;
  journal.work_index_path = work_index;
  journal.work_index_size = *index_size;
  if (const std::optional<std::uint64_t> size = FileSize(work_text)) journal.work_text_size = *size;
  NoteWriteStep(steps, "write journal");
  if (!WriteCompactionJournal(journal)) {
    roll_back();
    return Failed(std::string(store_messages::kFileWriteFailed) + ":" + journal_path);
  }

  switch (CompleteCompaction(journal, steps)) {
    case CompactionCompletion::TextRenameFailed:
      // Nothing of the box was replaced: it stays as it was.
      roll_back();
      return Failed(std::string(store_messages::kFileWriteFailed) + ":" + box.TextFilePath());
    case CompactionCompletion::IndexRenameFailed: {
      // The compacted text is in place and the records point into it:
      // write the index directly; if that fails too, the journal stays and
      // the next opening of the box finishes the job.
      const IndexFileResult direct = box.Save();
      if (!direct.ok) {
        box.SetModified();
        box.ClearCompactionWanted();
        return {true, direct.message};
      }
      RemoveFile(work_index);
      RemoveFile(journal_path);
      break;
    }
    case CompactionCompletion::Done: break;
  }
  box.SetModified();
  box.ClearCompactionWanted();
  return {true, {}};
}

}  // namespace

bool Compact(CLPOSTDoc& box, const WriteStepHook& steps) {
  std::unique_ptr<Progress> window;
  const CompactionResult result = CompactBox(box, steps, [&] {
    window = box.ui().BeginProgress(BoxDisplayName(box.PathName()));
    return window.get();
  });
  window.reset();
  if (!result.message.empty()) box.ui().ShowMessage(result.message);
  return result.ok;
}

CompactionResult CompactWithProgress(CLPOSTDoc& box, Progress* progress, const WriteStepHook& steps) {
  return CompactBox(box, steps, [progress] { return progress; });
}

void InstallAutoCompact(CLPOSTDoc& box) {
  box.SetCompactor([](CLPOSTDoc& target) { (void)Compact(target); });
}

}  // namespace lp
