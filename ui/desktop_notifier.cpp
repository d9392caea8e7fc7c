#include "ui/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QIcon>
#include <QPainter>
#include <QSystemTrayIcon>
#include <utility>

#include "ui/ui_messages.h"

namespace lp {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
constexpr int kTrayIconSide = 64;

// The program's icon with the count in a badge at its lower right.
QIcon IconWithCount(int count) {
  QPixmap picture = QIcon(QStringLiteral(":/icons/app.svg")).pixmap(kTrayIconSide, kTrayIconSide);
  if (count <= 0) return QIcon(picture);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRect badge(kTrayIconSide / 3, kTrayIconSide / 3, kTrayIconSide * 2 / 3, kTrayIconSide * 2 / 3);
  painter.setBrush(QColor(200, 30, 30));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(badge);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(badge.height() / 2);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(badge, Qt::AlignCenter, count > 99 ? QStringLiteral("99+") : QString::number(count));
  return QIcon(picture);
}

}  // namespace

DesktopNotifier::DesktopNotifier(bool notices, bool tray, QObject* parent) : QObject(parent), notices_(notices) {
  if (tray && QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_ = new QSystemTrayIcon(IconWithCount(0), this);
    tray_->setToolTip(QStringLiteral("Lanternpost"));
    tray_->show();
  }
}

DesktopNotifier::~DesktopNotifier() = default;

bool DesktopNotifier::NewMail(int new_count) {
  if (new_count <= 0) return false;
  return Notice(QString::fromUtf8(ui_text::kNewMailNotice).arg(new_count));
}

bool DesktopNotifier::Notice(const QString& text) {
  if (!notices_) return false;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr || !bus.interface()->isServiceRegistered(kService)) return false;
  if (waiting_) {
    next_text_ = text;
    return true;
  }
  Post(text);
  return true;
}

void DesktopNotifier::Post(const QString& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                                     kService, QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("lanternpost"));
  hints.insert(QStringLiteral("category"), QStringLiteral("email.arrived"));
  call << QStringLiteral("Lanternpost") << notice_id_ << QStringLiteral("mail-message-new")
       << QStringLiteral("Lanternpost") << text << QStringList() << hints << -1;
  waiting_ = true;
  // Asynchronous: a slow notification service never holds up the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
    const QDBusPendingReply<uint> reply = *done;
    done->deleteLater();
    waiting_ = false;
    if (!reply.isError()) {
      notice_id_ = reply.value();
      emit noticeShown(notice_id_);
    }
    if (!next_text_.isEmpty()) Post(std::exchange(next_text_, QString()));
  });
}

void DesktopNotifier::SetUnreadCount(int unread) {
  if (tray_ == nullptr) return;
  tray_->setIcon(IconWithCount(unread));
  tray_->setToolTip(QString::fromUtf8(ui_text::kTrayUnread).arg(unread));
}

}  // namespace lp
