#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <cstdio>

#include "app/application_core.h"
#include "desktop/desktop_options.h"
#include "platform/code_page.h"
#include "platform/data_directory.h"
#include "platform/data_directory_lock.h"
#include "platform/qt_transport.h"
#include "platform/termination_signals.h"
#include "ui/connection_settings_dialog.h"
#include "ui/desktop_session.h"
#include "ui/dialog_user_interface.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/qt_translations.h"
#include "ui/screenshot.h"
#include "ui/single_instance.h"
#include "ui/ui_messages.h"
#include "app/command_ids.h"

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

constexpr std::chrono::seconds kLockWait{5};

int Fail(const QString& text, int status) {
  std::fprintf(stderr, "lanternpost: %s\n", text.toLocal8Bit().constData());
  if (qEnvironmentVariableIsEmpty("LANTERNPOST_NO_DIALOGS")) QMessageBox::critical(nullptr, QStringLiteral("Lanternpost"), text);
  return status;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lanternpost"));
  QApplication::setApplicationVersion(QStringLiteral(LP_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("lanternpost"));
  QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  (void)lp::InstallJapaneseQtTranslations();

  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addVersionOption();
  for (const lp::DesktopOption& option : lp::DesktopOptions()) {
    parser.addOption(QCommandLineOption({ToQString(option.name)}, ToQString(option.english), ToQString(option.value)));
  }
  QStringList requests;
  for (const lp::DesktopRequest& request : lp::DesktopRequests()) {
    requests << ToQString(request.request) + QStringLiteral(": ") + ToQString(request.english);
  }
  parser.addPositionalArgument(QStringLiteral("request"), requests.join(QStringLiteral("; ")) + u'.');
  // Switches look like "/R", which is not an option here.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  parser.process(application);
  const QString data_dir = QStringLiteral("data-dir");
  const QString screenshot = QStringLiteral("screenshot");
  const QString screenshot_command = QStringLiteral("screenshot-command");
  const QString dark = QStringLiteral("dark");

  std::optional<std::string> data_dir_option;
  if (parser.isSet(data_dir)) data_dir_option = parser.value(data_dir).toStdString();
  const QString directory = QDir(QString::fromStdString(lp::ResolveDataDirectory(data_dir_option))).absolutePath();
  const std::string request = lp::Utf8ToCp932(parser.positionalArguments().join(QLatin1Char(' ')).toStdString());

  lp::SingleInstance instance(directory);
  if (!parser.isSet(screenshot) && instance.HandOver(request)) {
    std::printf("%s\n", lp::ui_text::kHandedOver);
    return 0;
  }

  // The lock comes before start-up, which may already write settings and
  // create boxes: nothing of the directory is touched while another writer runs.
  std::string error;
  if (!lp::EnterDataDirectory(directory.toStdString(), &error)) return Fail(QString::fromStdString(error), 1);
  lp::DataDirectoryLock lock;
  if (lock.Lock(directory.toStdString(), "lanternpost", kLockWait) != lp::DataDirectoryLock::Result::Locked) {
    const std::string who = lock.holder().empty() ? lock.error() : lock.holder();
    return Fail(QString::fromUtf8(lp::ui_text::kDataDirectoryBusy) + QString::fromStdString(who), 4);
  }
  lp::ApplicationCore core;
  if (!core.Start(directory.toStdString(), &error)) return Fail(QString::fromStdString(error), 1);
  QString listen_error;
  if (!instance.Listen(&listen_error)) std::fprintf(stderr, "lanternpost: %s\n", listen_error.toLocal8Bit().constData());

  if (parser.isSet(screenshot) && parser.isSet(dark)) lp::UseDarkPalette();
  lp::DialogUserInterface ui;
  lp::DesktopSession session(core, ui, [] { return std::make_unique<lp::QtTransport>(lp::QtTransportOptions{}); });
  // The key table and accounts load first: the menus show the keys.
  (void)session.Start();
  // How long a status change waits before its box is written; tests set
  // it long to see the save at the end.
  if (const int delay = qEnvironmentVariableIntValue("LANTERNPOST_SAVE_DELAY_MS"); delay > 0) {
    session.SetSaveDelay(std::chrono::milliseconds(delay));
  }
  lp::MainWindow window(session);
  ui.SetParent(&window);
  // A desktop session's end (SIGTERM) saves everything on the way out.
  const lp::TerminationSignals termination([&window] { window.EndOnRequest(); });
  ui.SetCancelAction([&window] { window.PostCommand(lp::cmd::kCancelRun); });

  QObject::connect(&instance, &lp::SingleInstance::requestReceived, &window, [&window](const QByteArray& line) {
    if (window.isMinimized()) window.showNormal();
    window.raise();
    window.activateWindow();
    window.HandleRequest(line.toStdString());
  });

  window.ShowWithPlacement();
  lp::OpenFirstWindows(window, session);
  window.HandleRequest(request);
  // Nothing to receive from yet: the user sets up an account first.
  if (!parser.isSet(screenshot) && lp::NeedsFirstAccountSetup(session.accounts(), session.profile())) {
    window.PostCommand(lp::cmd::kConnectionSettings);
  }

  if (parser.isSet(screenshot)) {
    const QString target = parser.value(screenshot);
    // The pictures of the manual show the window a command opens.
    if (parser.isSet(screenshot_command)) window.PostCommand(parser.value(screenshot_command).toInt());
    // After the preview's pause, so the picture shows a mail.
    QTimer::singleShot(3 * lp::MailboxView::kPreviewDelayMs, &window, [&window, target] {
      QWidget* opened = QApplication::activeModalWidget();
      const bool saved = opened != nullptr ? opened->grab().save(target, "PNG") : lp::SaveScreenshot(window, target);
      if (opened == nullptr) window.close();
      // Leaves a dialog's own event loop as well as the application's.
      QApplication::exit(saved ? 0 : 1);
    });
  }
  const int status = QApplication::exec();
  core.Exit();
  return status;
}
