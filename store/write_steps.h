#pragma once

#include <functional>
#include <string_view>

// Mailbox operations that change files call a hook before every step that
// writes, flushes or renames one, naming the step. Nothing is passed in
// normal use; the crash tests end the process at each step in turn and then
// check that no mail was lost.

namespace lp {

using WriteStepHook = std::function<void(std::string_view step)>;

inline void NoteWriteStep(const WriteStepHook& hook, std::string_view step) {
  if (hook) hook(step);
}

// Forces a file's written data to the disk. False when the file cannot be
// opened or flushed.
bool SyncFileToDisk(std::string_view sjis_path);
// Makes renames and new entries in the directory holding `sjis_path` durable.
bool SyncDirectoryOf(std::string_view sjis_path);

}  // namespace lp
