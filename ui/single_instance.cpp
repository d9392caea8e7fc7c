#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <unistd.h>

#include "app/instance_message.h"

namespace lp {

SingleInstance::SingleInstance(const QString& native_data_directory, QObject* parent)
    : QObject(parent), name_(ServerNameFor(native_data_directory)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
}

QString SingleInstance::ServerNameFor(const QString& native_data_directory) {
  const QString absolute = QDir(native_data_directory).absolutePath();
  const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
  // Per user too: two users' sockets never meet in the shared runtime directory.
  return QStringLiteral("lanternpost-%1-%2").arg(static_cast<qulonglong>(::getuid())).arg(QString::fromLatin1(hash));
}

bool SingleInstance::HandOver(const std::string& sjis_command_line, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeout_ms)) return false;
  const std::string frame = EncodeHandOver(sjis_command_line);
  socket.write(frame.data(), static_cast<qint64>(frame.size()));
  if (!socket.waitForBytesWritten(timeout_ms)) return false;
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(timeout_ms)) return false;
  }
  char answer = 0;
  return socket.read(&answer, 1) == 1 && answer == kHandOverAccepted;
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
