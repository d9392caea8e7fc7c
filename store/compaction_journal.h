#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "store/write_steps.h"

// Compaction replaces two files, the text file and the index, and no single
// rename can do both. The compacted text ("mbwork.$$$") and the new index
// ("mbindex.$$$") are first written and flushed in the data directory; a
// small journal ("mbjournal.$$$", written atomically) then names them with
// their sizes, and only then are they renamed over the box's files. Opening
// a box whose journal exists finishes those renames when both work files
// are complete (roll forward) and otherwise discards them (roll back), so
// the index always matches the text file it is read with.

namespace lp {

struct CompactionJournal {
  std::string index_path;       // the box's index (absolute)
  std::string text_path;        // the box's text file (absolute)
  std::string work_text_path;   // compacted text, renamed over text_path
  std::uint64_t work_text_size = 0;
  std::string work_index_path;  // new index, renamed over index_path
  std::uint64_t work_index_size = 0;
};

// The work files and the journal, in the data directory (the current directory).
[[nodiscard]] std::string CompactionWorkTextPath();
[[nodiscard]] std::string CompactionWorkIndexPath();
[[nodiscard]] std::string CompactionJournalPath();

[[nodiscard]] bool WriteCompactionJournal(const CompactionJournal& journal);
// Nullopt when there is no journal or it is not one of ours.
[[nodiscard]] std::optional<CompactionJournal> ReadCompactionJournal();

enum class CompactionCompletion { Done, TextRenameFailed, IndexRenameFailed };
// Renames the work files over the box's files (the text first, unless that
// already happened), makes the renames durable and removes the journal.
CompactionCompletion CompleteCompaction(const CompactionJournal& journal, const WriteStepHook& steps = {});

// The work files serve one compaction at a time in this process, which
// holds this lock while it writes them (a compaction may run on a worker
// thread). Another thread trying for it gets an empty lock.
[[nodiscard]] std::unique_lock<std::recursive_mutex> TryLockCompactionWorkFiles();

enum class CompactionRecovery { NothingPending, RolledForward, RolledBack, Failed };
// Finishes or undoes an interrupted compaction of the box at `index_path`
// (of any box when empty). A journal naming another box is left alone, and
// so is one whose compaction is still running on another thread.
CompactionRecovery RecoverInterruptedCompaction(std::string_view index_path = {});

}  // namespace lp
