#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The folders of another mail program, found by their shape: mbox files
// (Thunderbird with its ".sbd" subfolder directories and ".msf" summaries,
// mutt, Evolution), Maildir directories ("cur", "new", "tmp"; Maildir++
// ".Sub.Folder" directories) and MH directories (numbered files; Sylpheed,
// Claws Mail). Paths here are in the file system's own encoding (UTF-8),
// so that names Shift_JIS cannot spell are still read.

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
};

// Walks `native_root` (a directory tree or a single mbox file). With
// `format` given only folders of that format are taken.
[[nodiscard]] MailSourceScan ScanMailSource(const std::string& native_root,
                                            std::optional<MailSourceFormat> format = std::nullopt);

// Whether the file begins like an mbox: its first line starts "From ".
[[nodiscard]] bool LooksLikeMbox(const std::string& native_path);

// What a read state a message's source gives it; Unknown lets the
// message's own header decide (mbox "Status" and "X-Mozilla-Status").
enum class SourceReadState { Unknown, Read, Unread };

// One message file of a Maildir or MH folder.
struct MessageFile {
  std::string native_path;
  SourceReadState read_state = SourceReadState::Unknown;
};

// The message files of a Maildir ("new", then "cur"; "tmp" holds
// deliveries in progress and is left alone) or MH folder, in their order
// (Maildir by name, MH by number); read states from the Maildir "S" flag,
// MH ".mh_sequences" ("unseen") and Sylpheed / Claws Mail marks. Nullopt
// when the folder cannot be listed.
[[nodiscard]] std::optional<std::vector<MessageFile>> ListMessageFiles(const ImportFolder& folder);

// The number of messages of a folder (mbox: its "From " separators), for
// the overview before an import; nullopt when it cannot be read.
[[nodiscard]] std::optional<int> CountFolderMessages(const ImportFolder& folder);

// The size of the mbox file, or of the message files together.
[[nodiscard]] std::uint64_t FolderBytes(const ImportFolder& folder);

}  // namespace lp
