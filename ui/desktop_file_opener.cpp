#include "ui/desktop_file_opener.h"

#include <QDesktopServices>

#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {

DesktopFileOpener::DesktopFileOpener(UserInterface& ui, Launch launch)
    : ui_(ui), launch_(launch ? std::move(launch) : Launch([](const QUrl& url) { return QDesktopServices::openUrl(url); })) {}

bool DesktopFileOpener::OpenWithDefaultProgram(std::string_view sjis_path) {
  if (sjis_path.find("://") != std::string_view::npos) return launch_(QUrl(FromSjis(sjis_path)));
  if (!PathExists(sjis_path)) {
    if (FileNameOf(sjis_path).find('.') != std::string::npos) {
      ui_.ShowMessage(ToSjis(QString::fromUtf8(ui_text::kFileNotFound)));
    }
    return false;
  }
  return launch_(QUrl::fromLocalFile(QString::fromStdString(ToNativePath(sjis_path))));
}

}  // namespace lp
