#include "platform/instance_channel.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <algorithm>

#include "app/instance_message.h"

namespace lp {

std::string InstanceServerName(std::string_view native_data_directory) {
  const QString absolute =
      QDir(QString::fromUtf8(native_data_directory.data(), static_cast<qsizetype>(native_data_directory.size())))
          .absolutePath();
  const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
  // Per user too: two users' sockets never meet in the shared runtime directory.
  return "lanternpost-" + std::to_string(::getuid()) + "-" + hash.toStdString();
}

bool HandOverToRunningInstance(std::string_view native_data_directory, std::string_view sjis_request,
                               int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(InstanceServerName(native_data_directory)));
  if (!socket.waitForConnected(timeout_ms)) return false;
  // A running instance took the connection: it answers from its event
  // loop, which a busy machine may keep from it for a while. Giving up too
  // early would send the caller to the data-directory lock the instance
  // holds.
  const int answer_timeout_ms = std::max(timeout_ms, kHandOverAnswerTimeoutMs);
  const std::string frame = EncodeHandOver(sjis_request);
  socket.write(frame.data(), static_cast<qint64>(frame.size()));
  if (!socket.waitForBytesWritten(answer_timeout_ms)) return false;
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(answer_timeout_ms)) return false;
  }
  char answer = 0;
  return socket.read(&answer, 1) == 1 && answer == kHandOverAccepted;
}

}  // namespace lp
