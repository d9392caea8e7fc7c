#pragma once

#include <QDialog>
#include <QObject>
#include <memory>

#include "config/profile.h"
#include "platform/user_interface.h"
#include "util/version_check.h"

// The version check as a command of the main window: the question, the
// download on the event loop (the window stays usable), then the newer
// release in its dialog or the message that the program is up to date.

namespace lp {

class VersionDownload;

// "バージョンアップしています": the release's version, date and message; OK
// opens the product page.
class NewReleaseDialog final : public QDialog {
  Q_OBJECT

 public:
  NewReleaseDialog(const ReleaseInfo& release, QWidget* parent = nullptr);
};

class VersionCheckCommand final : public QObject {
  Q_OBJECT

 public:
  VersionCheckCommand(Profile& profile, UserInterface& ui, QWidget* window);
  ~VersionCheckCommand() override;

  // Asks, then starts the download; a check already running is left alone.
  void Run();
  [[nodiscard]] bool IsRunning() const { return download_ != nullptr; }

 private:
  void Finished(VersionCheckResult result);

  Profile& profile_;
  UserInterface& ui_;
  QWidget* window_;
  std::unique_ptr<VersionDownload> download_;
};

}  // namespace lp
