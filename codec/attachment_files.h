#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "config/attachment_directory.h"
#include "config/profile.h"
#include "platform/file_system.h"

// Attachment files of received mail: where they go, which names from mail
// are usable, and new files that never replace an existing one.

namespace lp {

// Name under which a part without a usable file name is saved.
inline constexpr std::string_view kFallbackAttachmentName = "lpost.bin";
// Longest attachment file name (in the file system's UTF-8) taken from mail,
// leaving room for the "(n)" of a unique name within the usual 255 bytes.
inline constexpr std::size_t kMaxAttachmentNameBytes = 200;

// The file-name part of an attachment name from mail (everything after the
// last "/" or "\"), or nullopt when it is not usable: empty, "." or "..",
// holding a control character, or longer than kMaxAttachmentNameBytes.
[[nodiscard]] std::optional<std::string> SafeAttachmentName(std::string_view name);

// Picks names in one attachment directory. The first free name of
// "name.ext", "name(1).ext", "name(2).ext" ... wins; the namer remembers how
// far each name got, so that many mails with one attachment name do not
// test every taken name again.
class AttachmentNamer {
 public:
  explicit AttachmentNamer(std::string directory) : directory_(std::move(directory)) {}

  [[nodiscard]] const std::string& directory() const { return directory_; }

  // The first path for `file_name` that does not exist yet.
  [[nodiscard]] std::string UniquePath(std::string_view file_name);
  // Creates a new empty file for `file_name` and opens it for writing; an
  // existing file is never opened, truncated or appended to. Returns its
  // path, or empty when no file could be created (the directory is created
  // first when missing).
  [[nodiscard]] std::string CreateNewFile(std::string_view file_name, File& file);

 private:
  [[nodiscard]] std::string Candidate(std::string_view file_name, int number) const;

  std::string directory_;
  std::unordered_map<std::string, int> next_number_;
};

// dir + file_name, or with "(n)" before the extension for n > 0.
[[nodiscard]] std::string NumberedAttachmentPath(std::string_view directory, std::string_view file_name,
                                                 int number);

}  // namespace lp
