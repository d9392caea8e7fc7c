#include "platform/resolved_path.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <sys/stat.h>

#include "platform/file_system.h"

namespace lp {
namespace {

std::optional<std::string> NativeRealPath(std::string_view sjis_path) {
  if (sjis_path.empty()) return std::nullopt;
  const std::string native = ToNativePath(sjis_path);
  char* resolved = ::realpath(native.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

}  // namespace

std::optional<std::string> RealPathOfFileDirectlyIn(std::string_view sjis_path, std::string_view sjis_directory) {
  const std::optional<std::string> directory = NativeRealPath(sjis_directory);
  const std::optional<std::string> file = NativeRealPath(sjis_path);
  if (!directory || !file) return std::nullopt;
  const std::size_t slash = file->rfind('/');
  // realpath gives "/" for the root and never a trailing "/" otherwise.
  const std::string_view parent = slash == 0 ? std::string_view("/") : std::string_view(*file).substr(0, slash);
  if (slash == std::string::npos || parent != *directory) return std::nullopt;
  struct stat st {};
  if (::stat(file->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  // Callers act on the Shift_JIS form: it must lead back to this very file.
  std::string sjis = FromNativePath(*file);
  if (ToNativePath(sjis) != *file) return std::nullopt;
  return sjis;
}

std::optional<std::string> ResolvedPath(std::string_view sjis_path) {
  if (sjis_path.empty()) return std::nullopt;
  std::error_code error;
  const std::filesystem::path native = std::filesystem::absolute(ToNativePath(sjis_path), error);
  if (error) return std::nullopt;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(native, error);
  if (error) return std::nullopt;
  std::string sjis = FromNativePath(resolved.string());
  if (ToNativePath(sjis) != resolved.string()) return std::nullopt;
  return sjis;
}

}  // namespace lp
