#pragma once

#include <QLocalServer>
#include <QObject>
#include <string>

// One running desktop application per data directory. The first start
// listens on a local socket named after the directory; a later start hands
// its command line over and ends. A socket left behind by a crashed
// instance is removed before listening.

namespace lp {

class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  // `native_data_directory`: absolute, UTF-8.
  explicit SingleInstance(const QString& native_data_directory, QObject* parent = nullptr);

  [[nodiscard]] static QString ServerNameFor(const QString& native_data_directory);
  [[nodiscard]] const QString& server_name() const { return name_; }

  // True when a running instance took the command line.
  [[nodiscard]] bool HandOver(const std::string& sjis_command_line, int timeout_ms = 3000);
  // Starts listening; false with the reason in `error`.
  [[nodiscard]] bool Listen(QString* error);

 signals:
  void requestReceived(const QByteArray& sjis_command_line);

 private:
  void OnConnection();

  QString directory_;
  QString name_;
  QLocalServer server_;
};

}  // namespace lp
