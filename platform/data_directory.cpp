#include "platform/data_directory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace lp {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool MakeNativeDirectories(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::size_t slash = path.find_last_of('/', path.size() - 2);
  if (slash != std::string::npos && slash > 0 && !MakeNativeDirectories(path.substr(0, slash))) {
    return false;
  }
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

std::string ResolveDataDirectory(const std::optional<std::string>& option) {
  if (option && !option->empty()) return *option;
  std::string home = Environment("LANTERNPOST_HOME");
  if (!home.empty()) return home;
  std::string xdg = Environment("XDG_DATA_HOME");
  // The XDG rules ignore a relative XDG_DATA_HOME.
  if (!xdg.empty() && xdg.front() == '/') return xdg + "/lanternpost";
  std::string user_home = Environment("HOME");
  if (!user_home.empty()) return user_home + "/.local/share/lanternpost";
  return {};
}

bool EnterDataDirectory(const std::string& native_path, std::string* error) {
  if (native_path.empty()) {
    if (error) *error = "no data directory (set LANTERNPOST_HOME or HOME)";
    return false;
  }
  if (!MakeNativeDirectories(native_path)) {
    if (error) *error = native_path + ": " + LastSystemErrorText();
    return false;
  }
  if (::chdir(native_path.c_str()) != 0) {
    if (error) *error = native_path + ": " + LastSystemErrorText();
    return false;
  }
  return true;
}

}  // namespace lp
