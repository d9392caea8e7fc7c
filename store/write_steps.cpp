#include "store/write_steps.h"

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {

bool SyncFileToDisk(std::string_view sjis_path) {
  // fsync flushes the file's pages whatever mode the descriptor has.
  File file;
  return file.Open(sjis_path, File::Mode::Read) && file.Sync();
}

bool SyncDirectoryOf(std::string_view sjis_path) {
  std::string directory = DirectoryOf(AbsolutePath(sjis_path));
  if (directory.empty()) directory = CurrentDirectory();
  File file;
  return file.Open(directory, File::Mode::Read) && file.Sync();
}

}  // namespace lp
