#include "ui/desktop_notifier.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include "platform/event_loop.h"

// New-mail notices against a private session bus: no notice while no
// notification service runs, then one notice that the next one replaces.

namespace lp {
namespace {

using namespace std::chrono_literals;

// Stands for the desktop's notification daemon.
class FakeNotifications final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Notice {
    uint replaces_id;
    QString body;
    QString desktop_entry;
  };
  std::vector<Notice> notices;

 public slots:
  uint Notify(const QString&, uint replaces_id, const QString&, const QString&, const QString& body,
              const QStringList&, const QVariantMap& hints, int) {
    notices.push_back({replaces_id, body, hints.value(QStringLiteral("desktop-entry")).toString()});
    return replaces_id != 0 ? replaces_id : 42;
  }
};

class DesktopNotifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    bus_.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                        QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus_.waitForStarted());
    while (!bus_.canReadLine()) ASSERT_TRUE(bus_.waitForReadyRead(10'000));
    const QByteArray address = bus_.readLine().trimmed();
    bus_connection_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromLatin1(address), QStringLiteral("lanternpost-test")));
    ASSERT_TRUE(bus_connection_->isConnected());
    // The program uses the session bus: this private one stands in for it.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
  }
  void TearDown() override {
    bus_connection_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("lanternpost-test"));
    if (bus_.state() != QProcess::NotRunning) {
      bus_.kill();
      bus_.waitForFinished();
    }
  }

  QProcess bus_;
  std::unique_ptr<QDBusConnection> bus_connection_;
};

TEST_F(DesktopNotifierTest, NoticeIsReplacedNotStackedAndSkippedWithoutAService) {
  DesktopNotifier notifier(true, false);
  EXPECT_FALSE(notifier.NewMail(2));  // nobody shows notices yet

  FakeNotifications service;
  ASSERT_TRUE(bus_connection_->registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                              QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(bus_connection_->registerService(QStringLiteral("org.freedesktop.Notifications")));

  QSignalSpy shown(&notifier, &DesktopNotifier::noticeShown);
  EXPECT_FALSE(notifier.NewMail(0));
  ASSERT_TRUE(notifier.NewMail(2));
  ASSERT_TRUE(RunEventLoopUntil([&] { return shown.count() == 1; }, 10s));
  ASSERT_TRUE(notifier.NewMail(5));
  ASSERT_TRUE(RunEventLoopUntil([&] { return shown.count() == 2; }, 10s));

  ASSERT_EQ(service.notices.size(), 2u);
  EXPECT_EQ(service.notices[0].replaces_id, 0u);
  EXPECT_EQ(service.notices[0].body, QString::fromUtf8("新しいメールが 2通 到着しました"));
  EXPECT_EQ(service.notices[0].desktop_entry, QStringLiteral("lanternpost"));
  EXPECT_EQ(service.notices[1].replaces_id, 42u);
  EXPECT_EQ(notifier.notice_id(), 42u);

  DesktopNotifier switched_off(false, false);
  EXPECT_FALSE(switched_off.NewMail(3));
}

TEST_F(DesktopNotifierTest, ANoticeAskedForBeforeTheServiceAnsweredStillReplacesTheLastOne) {
  FakeNotifications service;
  ASSERT_TRUE(bus_connection_->registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                              QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(bus_connection_->registerService(QStringLiteral("org.freedesktop.Notifications")));

  DesktopNotifier notifier(true, false);
  QSignalSpy shown(&notifier, &DesktopNotifier::noticeShown);
  ASSERT_TRUE(notifier.Notice(QString::fromUtf8("新しいメールはありません")));
  ASSERT_TRUE(notifier.Notice(QString::fromUtf8("メールの送信が終わりました")));
  ASSERT_TRUE(RunEventLoopUntil([&] { return shown.count() == 2; }, 10s));

  ASSERT_EQ(service.notices.size(), 2u);
  EXPECT_EQ(service.notices[0].replaces_id, 0u);
  EXPECT_EQ(service.notices[1].replaces_id, 42u);
  EXPECT_EQ(service.notices[1].body, QString::fromUtf8("メールの送信が終わりました"));
}

}  // namespace
}  // namespace lp

#include "desktop_notifier_test.moc"
