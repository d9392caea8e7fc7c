#include "store/compaction_journal.h"

#include <charconv>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

constexpr char kJournalMagic[] = "LPCOMPACT 1";
constexpr std::size_t kJournalLines = 7;
// Far more than seven paths need; anything larger is not our journal.
constexpr std::uint64_t kMaxJournalBytes = 64 * 1024;

std::optional<std::uint64_t> ParseSize(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

bool HasSize(const std::string& path, std::uint64_t size) {
  const std::optional<std::uint64_t> actual = FileSize(path);
  return actual && *actual == size;
}

void RemoveWorkFiles(const CompactionJournal& journal) {
  RemoveFile(journal.work_index_path);
  RemoveFile(journal.work_text_path);
  SyncDirectoryOf(journal.work_text_path);
  RemoveFile(CompactionJournalPath());
}

}  // namespace

std::string CompactionWorkTextPath() { return AbsolutePath("mbwork.$$$"); }
std::string CompactionWorkIndexPath() { return AbsolutePath("mbindex.$$$"); }
std::string CompactionJournalPath() { return AbsolutePath("mbjournal.$$$"); }

bool WriteCompactionJournal(const CompactionJournal& journal) {
  std::string text = kJournalMagic;
  for (const std::string& line :
       {journal.index_path, journal.text_path, journal.work_text_path, std::to_string(journal.work_text_size),
        journal.work_index_path, std::to_string(journal.work_index_size)}) {
    text += '\n';
    text += line;
  }
  text += '\n';
  return ReplaceFileAtomically(CompactionJournalPath(), text);
}

std::optional<CompactionJournal> ReadCompactionJournal() {
  const std::string path = CompactionJournalPath();
  const std::optional<std::uint64_t> size = FileSize(path);
  if (!size || *size > kMaxJournalBytes) return std::nullopt;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return std::nullopt;
  std::vector<std::string_view> lines;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t newline = rest.find('\n');
    if (newline == std::string_view::npos) return std::nullopt;  // every line ends in LF
    lines.push_back(rest.substr(0, newline));
    rest.remove_prefix(newline + 1);
  }
  if (lines.size() != kJournalLines || lines[0] != kJournalMagic) return std::nullopt;
  const std::optional<std::uint64_t> text_size = ParseSize(lines[4]);
  const std::optional<std::uint64_t> index_size = ParseSize(lines[6]);
  if (!text_size || !index_size) return std::nullopt;
  CompactionJournal journal;
  journal.index_path = lines[1];
  journal.text_path = lines[2];
  journal.work_text_path = lines[3];
  journal.work_text_size = *text_size;
  journal.work_index_path = lines[5];
  journal.work_index_size = *index_size;
  return journal;
}

CompactionCompletion CompleteCompaction(const CompactionJournal& journal, const WriteStepHook& steps) {
  if (PathExists(journal.work_text_path)) {
    NoteWriteStep(steps, "rename text");
    if (!RenameReplace(journal.work_text_path, journal.text_path)) return CompactionCompletion::TextRenameFailed;
  }
  NoteWriteStep(steps, "rename index");
  if (!RenameReplace(journal.work_index_path, journal.index_path)) {
    return CompactionCompletion::IndexRenameFailed;
  }
  NoteWriteStep(steps, "sync directories");
  SyncDirectoryOf(journal.text_path);
  SyncDirectoryOf(journal.index_path);
  NoteWriteStep(steps, "remove journal");
  RemoveFile(CompactionJournalPath());
  SyncDirectoryOf(CompactionJournalPath());
  return CompactionCompletion::Done;
}

std::unique_lock<std::recursive_mutex> TryLockCompactionWorkFiles() {
  // Stands for files in the data directory, which the whole process shares.
  static std::recursive_mutex work_files;
  return std::unique_lock(work_files, std::try_to_lock);
}

CompactionRecovery RecoverInterruptedCompaction(std::string_view index_path) {
  const std::unique_lock work_files = TryLockCompactionWorkFiles();
  if (!work_files.owns_lock()) return CompactionRecovery::NothingPending;
  const std::optional<CompactionJournal> journal = ReadCompactionJournal();
  if (!journal) return CompactionRecovery::NothingPending;
  if (!index_path.empty() && journal->index_path != AbsolutePath(index_path)) {
    return CompactionRecovery::NothingPending;
  }
  const bool index_ready = HasSize(journal->work_index_path, journal->work_index_size);
  const bool text_ready = PathExists(journal->work_text_path)
                              ? HasSize(journal->work_text_path, journal->work_text_size)
                              : HasSize(journal->text_path, journal->work_text_size);
  if (index_ready && text_ready) {
    return CompleteCompaction(*journal) == CompactionCompletion::Done ? CompactionRecovery::RolledForward
                                                                      : CompactionRecovery::Failed;
  }
  // Either the new index is already in place (only the journal was left)
  // or the work files never became complete, in which case the box's own
  // files were never touched. Both ways the work files go.
  RemoveWorkFiles(*journal);
  return PathExists(CompactionJournalPath()) ? CompactionRecovery::Failed : CompactionRecovery::RolledBack;
}

}  // namespace lp
