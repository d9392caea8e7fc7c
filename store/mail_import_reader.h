#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/spool_line_reader.h"
#include "store/mail_import_source.h"

// The messages of one source folder, one after another, each as lines: an
// mbox split at its "From " separators with the ">From " quoting taken off,
// or the message files of a Maildir or MH folder. Memory stays bounded
// whatever the files hold (lines come in pieces as SpoolLineReader gives
// them).

namespace lp {

class FolderMessageReader {
 public:
  virtual ~FolderMessageReader() = default;
  // Moves to the next message (the rest of the current one is skipped);
  // false when the folder has no more.
  [[nodiscard]] virtual bool NextMessage() = 0;
  // The next line of the current message; false at its end.
  [[nodiscard]] virtual bool NextLine(SpoolLine& line) = 0;
  [[nodiscard]] virtual SourceReadState read_state() const = 0;
  // The current message for a report: its file, or the mbox and its number.
  [[nodiscard]] virtual std::string MessageName() const = 0;
  // Why the current message could not be read whole (Shift_JIS); empty
  // when it was. Valid once NextLine returned false.
  [[nodiscard]] virtual const std::string& failure() const = 0;
  // Bytes of the folder read so far, and of the whole folder (progress).
  [[nodiscard]] virtual std::uint64_t BytesRead() const = 0;
  [[nodiscard]] virtual std::uint64_t TotalBytes() const = 0;
};

// Nullptr with `failure` set (Shift_JIS, with the system's reason) when the
// folder cannot be opened or listed.
[[nodiscard]] std::unique_ptr<FolderMessageReader> OpenFolderMessages(const ImportFolder& folder,
                                                                      std::string& failure);

// Counts the messages of an mbox file by the same separators the reader
// uses; nullopt when it cannot be read or `progress` (may be null) asked
// for a cancel.
class MboxSeparatorCounter {
 public:
  [[nodiscard]] std::optional<int> Count(const std::string& native_path, Progress* progress = nullptr);
};

// Whether `line` can separate messages of an mbox: it does where it opens
// the file or follows an empty line, and a strict envelope line ("From "
// sender and a date beginning with weekday and month, as "From - Mon Jun 02
// 10:00:00 2025") does anywhere, for files written without that line.
[[nodiscard]] bool IsMboxSeparator(std::string_view line);
[[nodiscard]] bool IsStrictFromLine(std::string_view line);

// Takes one ">" off a line of the form ">From ", ">>From " ... (mboxrd and
// mboxo quoting of body lines that began with "From ").
void UnquoteFromLine(std::string& line);

}  // namespace lp
