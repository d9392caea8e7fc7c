#pragma once

#include <QUrl>
#include <functional>

#include "platform/file_opener.h"
#include "platform/user_interface.h"

// Opens files and web addresses with the desktop's programs (xdg-open
// through QDesktopServices). A missing file whose name has an extension is
// reported ("ファイルが見つかりませんでした"); a missing file without one
// and a file that no program takes end silently, as the shell's "no
// program" outcome does.

namespace lp {

class DesktopFileOpener final : public FileOpener {
 public:
  // `launch` hands a URL to the desktop; tests give their own.
  using Launch = std::function<bool(const QUrl&)>;
  explicit DesktopFileOpener(UserInterface& ui, Launch launch = {});

  // A path, or a web address (anything with "://").
  bool OpenWithDefaultProgram(std::string_view sjis_path) override;

 private:
  UserInterface& ui_;
  Launch launch_;
};

}  // namespace lp
