#include "platform/trash.h"

#include <QFile>
#include <QString>

#include "platform/file_system.h"

namespace lp {

bool MoveToTrash(std::string_view sjis_path) {
  if (!PathExists(sjis_path)) return false;
  const std::string native = ToNativePath(sjis_path);
  return QFile::moveToTrash(QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size())));
}

}  // namespace lp
