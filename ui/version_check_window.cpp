#include "ui/version_check_window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <chrono>

#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"
#include "util/util_messages.h"
#include "util/version_download.h"

namespace lp {
namespace {

constexpr std::chrono::seconds kDownloadTimeout(15);

QLineEdit* ReadOnlyField(const QString& text, QWidget* parent) {
  auto* field = new QLineEdit(text, parent);
  field->setReadOnly(true);
  return field;
}

std::time_t ProgramFileTime() {
  return QFileInfo(QCoreApplication::applicationFilePath()).lastModified().toSecsSinceEpoch();
}

}  // namespace

NewReleaseDialog::NewReleaseDialog(const ReleaseInfo& release, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(ui_text::kNewReleaseTitle));
  setObjectName(QStringLiteral("newReleaseDialog"));
  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8(ui_text::kNewReleaseVersion), ReadOnlyField(FromSjis(release.version), this));
  form->addRow(QString::fromUtf8(ui_text::kNewReleaseDate), ReadOnlyField(QString::fromStdString(release.DateText()), this));
  form->addRow(QString::fromUtf8(ui_text::kNewReleaseMessage), ReadOnlyField(FromSjis(release.message), this));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QString::fromUtf8(ui_text::kOpenProductPage), QDialogButtonBox::AcceptRole);
  buttons->addButton(QString::fromUtf8(ui_text::kClose), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

VersionCheckCommand::VersionCheckCommand(Profile& profile, UserInterface& ui, QWidget* window)
    : QObject(window), profile_(profile), ui_(ui), window_(window) {}

VersionCheckCommand::~VersionCheckCommand() = default;

void VersionCheckCommand::Run() {
  if (IsRunning()) return;
  if (ui_.Ask(util_messages::kAskVersionCheck, MessageButtons::YesNo) != Answer::Yes) return;
  download_ = VersionDownload::Start(VersionServerAddress(profile_), ProgramFileTime(), kDownloadTimeout,
                                     [this](VersionCheckResult result) {
                                       // The download is let go once its callback has returned.
                                       QTimer::singleShot(0, this, [this, result] { Finished(result); });
                                     });
}

void VersionCheckCommand::Finished(VersionCheckResult result) {
  download_.reset();
  for (const std::string& message : result.messages) {
    if (result.outcome == VersionCheckResult::Outcome::UpToDate) {
      ui_.Inform(message);
    } else {
      ui_.ShowMessage(message);
    }
  }
  if (result.outcome != VersionCheckResult::Outcome::NewerRelease) return;
  NewReleaseDialog dialog(result.release, window_);
  if (dialog.exec() != QDialog::Accepted) return;
  if (const std::optional<ServerAddress> server = SplitServerAddress(VersionServerAddress(profile_))) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(ServerUrl(*server, kProductPagePath))));
  }
}

}  // namespace lp
