#include "util/kept_data_files.h"

#include <array>
#include <vector>

#include "codec/ascii_case.h"
#include "config/key_table.h"
#include "config/signatures.h"
#include "platform/resolved_path.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// `path` inside the folder `folder` (both resolved), or the folder itself.
bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  if (folder.empty() || path.size() < folder.size() || path.substr(0, folder.size()) != folder) return false;
  return path.size() == folder.size() || EndsWithPathSeparator(folder) || path[folder.size()] == kPathSeparator;
}

// Names the program gives its own files directly in the data directory.
bool IsOwnTopLevelName(std::string_view name) {
  return StartsWithIgnoringAsciiCase(name, "lpost") || EndsWithIgnoringCase(name, ".log") ||
         (StartsWithIgnoringAsciiCase(name, "UIDL") && EndsWithIgnoringCase(name, ".txt"));
}

bool IsBoxOrWorkFile(std::string_view name) {
  constexpr std::array<std::string_view, 3> kExtensions = {".lp", ".mb", ".$$$"};
  for (const std::string_view extension : kExtensions) {
    if (EndsWithIgnoringCase(name, extension)) return true;
  }
  return false;
}

}  // namespace

bool IsKeptDataFile(std::string_view sjis_path, std::string_view data_directory, const AppSettings& settings,
                    const Profile& profile) {
  const std::optional<std::string> path = ResolvedPath(sjis_path);
  const std::optional<std::string> root = ResolvedPath(data_directory);
  // A path that cannot be resolved is not written either.
  if (!path || !root) return true;
  if (!IsAtOrBelow(*path, *root)) return false;
  const std::string name = FileNameOf(*path);
  if (IsBoxOrWorkFile(name)) return true;
  if (DirectoryOf(*path) == *root && IsOwnTopLevelName(name)) return true;

  CSigneMenuArray signatures;
  signatures.Load(profile);
  const std::vector<std::string> named_files = {
      settings.text_out_set_name,
      profile.GetString(kKeyFileSection, kKeyFileKey, kKeyFileDefault),
      // The default names begin with "lpost" and are kept above.
      profile.GetString("System", "AdrFile", ""),
  };
  for (const std::string& named : named_files) {
    const std::optional<std::string> resolved = ResolvedPath(named);
    if (resolved && *resolved == *path) return true;
  }
  const std::vector<std::string> kept_folders = {settings.attach_dir, settings.template_dir,
                                                 signatures.Directory()};
  for (const std::string& folder : kept_folders) {
    if (folder.empty()) continue;
    const std::optional<std::string> resolved = ResolvedPath(folder);
    if (resolved && *resolved != *root && IsAtOrBelow(*path, *resolved)) return true;
  }
  for (std::size_t number = 1; number <= signatures.Count(); ++number) {
    const std::optional<std::string> resolved = ResolvedPath(signatures.FilePath(number));
    if (resolved && *resolved == *path) return true;
  }
  return false;
}

}  // namespace lp
