#include "ui/help_opener.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "ui/sjis_qt.h"

namespace lp {
namespace {

constexpr char kManualIndex[] = "index.html";
constexpr char kHelpFileMissing[] = "ヘルプファイルがありません：%1";

bool HoldsManual(const QString& directory) { return QFileInfo::exists(directory + u'/' + QLatin1String(kManualIndex)); }

}  // namespace

QString HelpPageOf(HelpTopic topic) {
  switch (topic) {
    case HelpTopic::Contents: return QStringLiteral("index.html");
    case HelpTopic::Keywords: return QStringLiteral("keywords.html");
    case HelpTopic::MailManager: return QStringLiteral("mail-manager.html");
    case HelpTopic::Mailbox: return QStringLiteral("getting-started.html#list");
    case HelpTopic::Reading: return QStringLiteral("getting-started.html#read");
    case HelpTopic::Compose: return QStringLiteral("getting-started.html#reply");
  }
  return QStringLiteral("index.html");
}

QString FindManualDirectory(const QString& program_directory) {
  const QString configured = qEnvironmentVariable("LANTERNPOST_MANUAL_DIR");
  if (!configured.isEmpty()) return QDir::cleanPath(configured);
  const QString build_tree = QDir::cleanPath(program_directory + QStringLiteral("/../manual/html"));
  if (HoldsManual(build_tree)) return build_tree;
  return QDir::cleanPath(program_directory + QStringLiteral("/../share/doc/lanternpost/manual"));
}

bool OpenHelp(HelpTopic topic, const QString& program_directory, FileOpener& opener, UserInterface& ui) {
  const QString directory = FindManualDirectory(program_directory);
  if (!HoldsManual(directory)) {
    ui.ShowMessage(ToSjis(QString::fromUtf8(kHelpFileMissing).arg(directory + u'/' + QLatin1String(kManualIndex))));
    return false;
  }
  const QString page = HelpPageOf(topic);
  const qsizetype hash = page.indexOf(u'#');
  QUrl url = QUrl::fromLocalFile(directory + u'/' + (hash < 0 ? page : page.left(hash)));
  if (hash >= 0) url.setFragment(page.mid(hash + 1));
  return opener.OpenWithDefaultProgram(ToSjis(url.toString(QUrl::FullyEncoded)));
}

}  // namespace lp
