#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user_interface.h"

// The folders of another mail program, found by their shape: mbox files
// (Thunderbird with its ".sbd" subfolder directories and ".msf" summaries,
// mutt, Evolution), Maildir directories ("cur", "new", "tmp"; Maildir++
// ".Sub.Folder" directories) and MH directories (numbered files; Sylpheed,
// Claws Mail). Paths here are in the file system's own encoding (UTF-8),
// so that names Shift_JIS cannot spell are still read.
//
// The source is a tree: a symbolic link is followed only when it leads to
// something inside the tree (else it is named as a problem, never read),
// every directory is walked once however many links lead to it, and only
// regular files are ever opened (named pipes, devices and sockets are named
// as problems). Whatever is left out of the import is named, with the
// reason; the scan never waits on anything but the disk.

namespace lp {

enum class MailSourceFormat { Mbox, Maildir, Mh };

// "mbox", "maildir" or "mh"; nullopt for anything else.
[[nodiscard]] std::optional<MailSourceFormat> ParseMailSourceFormat(std::string_view name);

// One source folder: its messages become one box.
struct ImportFolder {
  std::string native_path;  // the mbox file, or the Maildir or MH directory
  MailSourceFormat format = MailSourceFormat::Mbox;
  // The folder's names from the source down (UTF-8), e.g. {"Inbox", "Lists"}.
  std::vector<std::string> names;
  // The real path of the source tree the folder was found in: nothing
  // outside it is read. Empty: the folder itself.
  std::string tree_root;
};

// Something of the source that could not be read, with the messages lost
// to it (0 when unknown) and the reason (Shift_JIS).
struct ImportProblem {
  std::string native_path;
  int messages = 0;
  std::string reason;
};

struct MailSourceScan {
  std::vector<ImportFolder> folders;  // in the order they are imported
  std::vector<ImportProblem> problems;
  bool cancelled = false;  // the walk stopped at a cancel: the lists are partial
};

// Walks `native_root` (a directory tree or a single mbox file; a link given
// as the root is what the user named, and is followed). With `format`
// given only folders of that format are taken. `progress` (may be null)
// gets each directory as status text and is polled for a cancel.
[[nodiscard]] MailSourceScan ScanMailSource(const std::string& native_root,
                                            std::optional<MailSourceFormat> format = std::nullopt,
                                            Progress* progress = nullptr);

// Whether the file begins like an mbox (its first line starts "From "):
// nullopt, with the reason (Shift_JIS) in `reason`, when it cannot be read.
[[nodiscard]] std::optional<bool> LooksLikeMbox(const std::string& native_path, std::string* reason = nullptr);

// The reason (Shift_JIS) a source file could not be opened or read, from
// the system's error `error_number`.
[[nodiscard]] std::string SourceFileFailure(const char* what, int error_number);

// What a read state a message's source gives it; Unknown lets the
// message's own header decide (mbox "Status" and "X-Mozilla-Status").
enum class SourceReadState { Unknown, Read, Unread };

// One message file of a Maildir or MH folder.
struct MessageFile {
  std::string native_path;
  SourceReadState read_state = SourceReadState::Unknown;
  // Why the file is left unread (a pipe, a link out of the tree), Shift_JIS;
  // empty for a file to read. It stands where a message would.
  std::string problem;
};

// The message files of a Maildir ("new", then "cur"; "tmp" holds
// deliveries in progress and is left alone) or MH folder, in their order
// (Maildir by name, MH by number, any count of digits); read states from the Maildir "S" flag,
// MH ".mh_sequences" ("unseen") and Sylpheed / Claws Mail marks. Nullopt
// when the folder cannot be listed.
[[nodiscard]] std::optional<std::vector<MessageFile>> ListMessageFiles(const ImportFolder& folder);

// The number of messages of a folder (mbox: its "From " separators), for
// the overview before an import; nullopt when it cannot be read or
// `progress` (may be null) asked for a cancel.
[[nodiscard]] std::optional<int> CountFolderMessages(const ImportFolder& folder, Progress* progress = nullptr);

// What a source holds, for the overview before an import: the scan, and
// each folder's message count (nullopt: it cannot be read).
struct MailSourceOverview {
  MailSourceScan scan;
  std::vector<std::optional<int>> counts;  // one per folder of the scan
};

// Scans and counts; `progress` (may be null) gets each directory and folder
// as status text and is polled for a cancel, after which the scan is
// marked cancelled and the counts stop.
[[nodiscard]] MailSourceOverview LookAtMailSource(const std::string& native_root, Progress* progress);

// The size of the mbox file, or of the message files together.
[[nodiscard]] std::uint64_t FolderBytes(const ImportFolder& folder);

}  // namespace lp
