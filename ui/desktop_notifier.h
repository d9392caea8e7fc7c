#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <QSystemTrayIcon>

// New-mail notices and the tray icon. A receive that brought mail posts one
// notice through org.freedesktop.Notifications; the next one replaces it
// instead of stacking a second. Without a session bus or a notification
// service nothing is posted and nothing fails. Where the desktop has a
// tray, an icon shows the receive box's unread count. Both follow the
// settings [View] DesktopNotice and [View] TrayIcon (1 on, 0 off).

namespace lp {

class DesktopNotifier final : public QObject {
  Q_OBJECT

 public:
  // `notices`, `tray`: the two settings.
  DesktopNotifier(bool notices, bool tray, QObject* parent = nullptr);
  ~DesktopNotifier() override;

  // After a receive: `new_count` mails arrived. False when no notice was
  // posted (switched off, none arrived, no bus or no service).
  bool NewMail(int new_count);
  // Any other report as the notice. A notice asked for while the service
  // has not yet answered the last one follows that answer, so that it
  // replaces the notice rather than stacking beside it.
  bool Notice(const QString& text);
  // The receive box's unread mails, for the tray icon.
  void SetUnreadCount(int unread);

  // The id the service gave the last notice (0: none yet); the next notice
  // replaces it.
  [[nodiscard]] uint notice_id() const { return notice_id_; }
  [[nodiscard]] QSystemTrayIcon* tray() const { return tray_; }

 signals:
  void noticeShown(uint id);

 private:
  void Post(const QString& text);

  bool notices_;
  uint notice_id_ = 0;
  bool waiting_ = false;  // a notice went out and its id is not known yet
  QString next_text_;     // the notice to post once it is
  QPointer<QSystemTrayIcon> tray_;
};

}  // namespace lp
