#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/app_settings.h"
#include "config/profile.h"

// The files the program keeps in its data directory (boxes, settings, work
// files, lists, signatures, saved attachments...), so that a command that
// writes a file the user names never writes over one of them.

namespace lp {

// Whether `sjis_path`, with links, "." and ".." resolved (a relative path
// taken against the current directory), names one of the files the program
// keeps in `data_directory`: a box's index or text file or a work file
// (".lp", ".mb", ".$$$") anywhere below it; the settings, lock, key,
// address book and text-export settings files, logs and UIDL lists in it;
// the files of the signature, attachment and template directories.
[[nodiscard]] bool IsKeptDataFile(std::string_view sjis_path, std::string_view data_directory,
                                  const AppSettings& settings, const Profile& profile);

}  // namespace lp
