#pragma once

#include <string>

#include "config/profile.h"
#include "platform/sjis_path.h"

namespace lp {

// The setting "System"/"AttachDir" (default "Attach"), made absolute against
// the current directory (the data directory) when relative. Received mail
// saves its attachment files there, and only files there are ever removed
// when mail is deleted.
[[nodiscard]] inline std::string AttachmentDirectory(const Profile& profile) {
  std::string directory = profile.GetString("System", "AttachDir", "Attach");
  if (directory.empty()) directory = "Attach";
  return AbsolutePath(directory);
}

}  // namespace lp
