#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/sjis_path.h"

namespace lp {
namespace {

// Makes a rename durable: the directory entry itself must reach the disk.
void SyncDirectory(const std::string& native_dir) {
  int fd = ::open(native_dir.empty() ? "." : native_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Begin(std::string_view target) {
  Abandon();
  target_ = std::string(target);
  written_ = 0;
  failed_ = false;
  error_.clear();
  std::string dir = DirectoryOf(target_);
  std::string name = FileNameOf(target_);
  // The temporary name is ASCII apart from the target's own name, so it
  // converts back and forth like the target does.
  std::string pattern = ToNativePath(JoinPath(dir, "." + name + ".XXXXXX"));
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    error_ = LastSystemErrorText();
    failed_ = true;
    return false;
  }
  // Keep the permissions of the file being replaced.
  struct stat st {};
  if (::stat(ToNativePath(target_).c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  ::close(fd);
  temporary_ = FromNativePath(pattern);
  if (!file_.Open(temporary_, File::Mode::Write)) return Fail();
  return true;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  if (failed_ || !file_.IsOpen()) return false;
  if (!file_.Write(bytes)) return Fail();
  written_ += bytes.size();
  return true;
}

bool AtomicFileWriter::Commit() {
  if (failed_ || !file_.IsOpen()) return false;
  if (!file_.Sync()) return Fail();
  if (!file_.Close()) return Fail();
  if (!RenameReplace(temporary_, target_)) return Fail();
  temporary_.clear();
  SyncDirectory(ToNativePath(DirectoryOf(target_)));
  return true;
}

void AtomicFileWriter::Abandon() {
  file_.Close();
  if (!temporary_.empty()) {
    RemoveFile(temporary_);
    temporary_.clear();
  }
}

bool AtomicFileWriter::Fail() {
  error_ = LastSystemErrorText();
  failed_ = true;
  Abandon();
  return false;
}

bool ReplaceFileAtomically(std::string_view target, std::string_view content, std::string* error) {
  AtomicFileWriter writer;
  bool ok = writer.Begin(target) && writer.Write(content) && writer.Commit();
  if (!ok && error) *error = writer.ErrorText();
  return ok;
}

}  // namespace lp
