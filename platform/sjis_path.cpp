#include "platform/sjis_path.h"

#include "platform/sjis_char.h"
#include "platform/file_system.h"

namespace lp {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::size_t FindLastPathSeparator(std::string_view path) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsSjisLeadByte(c) && i + 1 < path.size()) {
      ++i;
    } else if (IsSeparator(path[i])) {
      found = i;
    }
  }
  return found;
}

std::size_t FindFirstPathSeparator(std::string_view path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsSjisLeadByte(c) && i + 1 < path.size()) {
      ++i;
    } else if (IsSeparator(path[i])) {
      return i;
    }
  }
  return std::string_view::npos;
}

bool EndsWithPathSeparator(std::string_view path) {
  return !path.empty() && FindLastPathSeparator(path) == path.size() - 1;
}

bool ContainsPathSeparator(std::string_view path) {
  return FindFirstPathSeparator(path) != std::string_view::npos;
}

bool IsSinglePathComponent(std::string_view sjis_name) {
  if (sjis_name.empty() || sjis_name == "." || sjis_name == ".." || ContainsPathSeparator(sjis_name)) return false;
  // A backslash counts as well: read back from a directory listing, the name
  // would split there in the Shift_JIS path helpers.
  const std::string native = ToNativePath(sjis_name);
  return native.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

std::string DirectoryOf(std::string_view path) {
  std::size_t sep = FindLastPathSeparator(path);
  if (sep == std::string_view::npos) return {};
  if (sep == 0) return std::string(path.substr(0, 1));
  return std::string(path.substr(0, sep));
}

std::string FileNameOf(std::string_view path) {
  std::size_t sep = FindLastPathSeparator(path);
  if (sep == std::string_view::npos) return std::string(path);
  return std::string(path.substr(sep + 1));
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string result(dir);
  if (!result.empty() && !EndsWithPathSeparator(result)) result += kPathSeparator;
  result += name;
  return result;
}

std::string AbsolutePath(std::string_view path) {
  if (!path.empty() && path.front() == '/') return std::string(path);
  return JoinPath(CurrentDirectory(), path);
}

}  // namespace lp
