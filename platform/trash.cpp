#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace lp {
namespace {

struct TrashDirectory {
  std::string path;  // holds files/ and info/
  std::string top;   // paths in the info files are relative to it; empty: absolute
};

bool IsDirectory(const std::string& path, struct stat* info = nullptr) {
  struct stat local {};
  struct stat& s = info != nullptr ? *info : local;
  return ::lstat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

// Makes `path` and its missing parents; the ones made get `mode`.
bool MakeDirectories(const std::string& path, mode_t mode) {
  if (IsDirectory(path)) return true;
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash), mode)) return false;
  return ::mkdir(path.c_str(), mode) == 0 || (errno == EEXIST && IsDirectory(path));
}

// A trash directory that is ours: a real directory owned by us, with
// files/ and info/ in it (made when missing).
bool UsableTrash(const std::string& path) {
  struct stat info {};
  if (!IsDirectory(path, &info) || info.st_uid != ::getuid()) return false;
  for (const char* part : {"/files", "/info"}) {
    const std::string inner = path + part;
    if (!IsDirectory(inner) && ::mkdir(inner.c_str(), 0700) != 0) return false;
  }
  return true;
}

std::optional<std::string> HomeTrashPath() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home != nullptr && data_home[0] == '/') return std::string(data_home) + "/Trash";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return std::nullopt;
  return std::string(home) + "/.local/share/Trash";
}

// The directory of the mount that holds `path`: the highest parent on the
// same device.
std::string TopDirectoryOf(const std::string& path, dev_t device) {
  std::string top = path;
  while (true) {
    const std::size_t slash = top.find_last_of('/');
    if (slash == std::string::npos) return "/";
    const std::string parent = slash == 0 ? "/" : top.substr(0, slash);
    struct stat info {};
    if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) return top;
    if (parent == "/") return parent;
    top = parent;
  }
}

std::optional<TrashDirectory> TrashFor(const std::string& absolute, dev_t device) {
  if (const std::optional<std::string> home = HomeTrashPath()) {
    if (MakeDirectories(*home, 0700) && UsableTrash(*home)) {
      struct stat info {};
      if (::stat(home->c_str(), &info) == 0 && info.st_dev == device) return TrashDirectory{*home, {}};
    } else {
      // The home's own items have no other trash.
      const char* home_directory = std::getenv("HOME");
      struct stat info {};
      if (home_directory != nullptr && ::stat(home_directory, &info) == 0 && info.st_dev == device) {
        return std::nullopt;
      }
    }
  }
  const std::string top = TopDirectoryOf(absolute, device);
  const std::string base = top == "/" ? std::string() : top;
  const std::string uid = std::to_string(::getuid());
  // An administrator's shared trash: a sticky directory, not a link.
  struct stat shared {};
  const std::string shared_path = base + "/.Trash";
  if (IsDirectory(shared_path, &shared) && (shared.st_mode & S_ISVTX) != 0) {
    const std::string own = shared_path + "/" + uid;
    if ((IsDirectory(own) || ::mkdir(own.c_str(), 0700) == 0) && UsableTrash(own)) return TrashDirectory{own, top};
  }
  const std::string own = base + "/.Trash-" + uid;
  if ((IsDirectory(own) || ::mkdir(own.c_str(), 0700) == 0) && UsableTrash(own)) return TrashDirectory{own, top};
  return std::nullopt;
}

std::string InfoPath(const TrashDirectory& trash, const std::string& absolute) {
  if (trash.top.empty() || trash.top == "/") return absolute;
  return absolute.substr(trash.top.size() + 1);
}

// Reserves a name in the trash by making its info file (O_EXCL, so two
// programs never take the same name); the name, or nullopt.
std::optional<std::string> ReserveName(const TrashDirectory& trash, const std::string& name,
                                       const std::string& original) {
  const QByteArray encoded = QUrl::toPercentEncoding(QString::fromUtf8(original.data(), static_cast<qsizetype>(original.size())), "/");
  const std::string info = "[Trash Info]\nPath=" + encoded.toStdString() + "\nDeletionDate=" +
                           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toStdString() +
                           "\n";
  for (int n = 1; n < 10000; ++n) {
    const std::string candidate = n == 1 ? name : name + "." + std::to_string(n);
    const std::string info_path = trash.path + "/info/" + candidate + ".trashinfo";
    const int fd = ::open(info_path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return std::nullopt;
    }
    const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    if (::close(fd) != 0 || !written) {
      ::unlink(info_path.c_str());
      return std::nullopt;
    }
    return candidate;
  }
  return std::nullopt;
}

}  // namespace

TrashOutcome TrashItem(std::string_view sjis_path) {
  if (!PathExists(sjis_path)) return TrashOutcome::Failed;
  std::string absolute = ToNativePath(sjis_path);
  if (absolute.empty()) return TrashOutcome::Failed;
  if (absolute.front() != '/') {
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) return TrashOutcome::Failed;
    absolute = std::string(cwd) + "/" + absolute;
    std::free(cwd);
  }
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  struct stat item {};
  if (::lstat(absolute.c_str(), &item) != 0) return TrashOutcome::Failed;

  const std::optional<TrashDirectory> trash = TrashFor(absolute, item.st_dev);
  if (!trash) return TrashOutcome::NoTrash;
  const std::string name = absolute.substr(absolute.find_last_of('/') + 1);
  const std::optional<std::string> reserved = ReserveName(*trash, name, InfoPath(*trash, absolute));
  if (!reserved) return TrashOutcome::NoTrash;
  if (std::rename(absolute.c_str(), (trash->path + "/files/" + *reserved).c_str()) != 0) {
    const int error = errno;
    ::unlink((trash->path + "/info/" + *reserved + ".trashinfo").c_str());
    return error == EXDEV ? TrashOutcome::NoTrash : TrashOutcome::Failed;
  }
  return TrashOutcome::Moved;
}

}  // namespace lp
