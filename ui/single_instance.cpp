#include "ui/single_instance.h"

#include <QLocalSocket>

#include "app/instance_message.h"
#include "platform/instance_channel.h"

namespace lp {

SingleInstance::SingleInstance(const QString& native_data_directory, QObject* parent)
    : QObject(parent), directory_(native_data_directory), name_(ServerNameFor(native_data_directory)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
}

QString SingleInstance::ServerNameFor(const QString& native_data_directory) {
  return QString::fromStdString(InstanceServerName(native_data_directory.toStdString()));
}

bool SingleInstance::HandOver(const std::string& sjis_command_line, int timeout_ms) {
  return HandOverToRunningInstance(directory_.toStdString(), sjis_command_line, timeout_ms);
}

bool SingleInstance::Listen(QString* error) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(name_)) return true;
  // Nobody answered HandOver, so a socket file left by a crash is stale.
  QLocalServer::removeServer(name_);
  if (server_.listen(name_)) return true;
  if (error != nullptr) *error = server_.errorString();
  return false;
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      const QByteArray buffer = socket->peek(socket->bytesAvailable());
      const std::optional<DecodedHandOver> decoded =
          DecodeHandOver(std::string_view(buffer.constData(), static_cast<std::size_t>(buffer.size())));
      if (!decoded) return;
      socket->read(static_cast<qint64>(decoded->consumed));
      socket->write(&kHandOverAccepted, 1);
      socket->flush();
      emit requestReceived(QByteArray::fromStdString(decoded->command_line));
    });
  }
}

}  // namespace lp
