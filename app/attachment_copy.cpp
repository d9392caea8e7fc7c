#include "app/attachment_copy.h"

#include <filesystem>
#include <system_error>

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

// "name (n).ext" for n > 1; the extension is the part from the last "."
// of the name (none for a name starting with its only ".").
std::string NumberedName(const std::string& name, int n) {
  if (n == 1) return name;
  const std::size_t dot = name.rfind('.');
  const std::size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
  return name.substr(0, cut) + " (" + std::to_string(n) + ")" + name.substr(cut);
}

constexpr int kMaxNumberedNames = 1000;

}  // namespace

CopiedAttachments CopyAttachmentsTo(const std::vector<std::string>& paths, std::string_view folder) {
  CopiedAttachments result;
  for (const std::string& path : paths) {
    const std::string name = FileNameOf(path);
    const std::filesystem::path source(ToNativePath(path));
    bool copied = false;
    for (int n = 1; n <= kMaxNumberedNames && !copied; ++n) {
      const std::string target = JoinPath(folder, NumberedName(name, n));
      std::error_code error;
      // copy_options::none refuses an existing target.
      if (std::filesystem::copy_file(source, ToNativePath(target), std::filesystem::copy_options::none, error)) {
        result.written.push_back(target);
        copied = true;
      } else if (error != std::errc::file_exists) {
        break;
      }
    }
    if (!copied) result.failed.push_back(path);
  }
  return result;
}

}  // namespace lp
