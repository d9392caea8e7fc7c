#include "platform/qt_transport.h"

#include <QByteArray>
#include <QObject>
#include <QSslConfiguration>
#include <QSslError>
#include <QSslSocket>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>

#include "platform/code_page.h"
#include "platform/event_loop.h"
#include "platform/transport_texts.h"

namespace lp {
namespace {

QString ToQString(std::string_view sjis) { return QString::fromStdString(Cp932ToUtf8(sjis)); }

std::string ToSjis(const QString& text) { return Utf8ToCp932(text.toStdString()); }

}  // namespace

// One connection attempt and its socket. Every socket signal reaches it
// through a queued connection, so no event is ever delivered from inside a
// call the session made (Send, StartTls, Close). The session may destroy
// the transport from any event: `alive_` tells the running handler to stop
// touching the object, and `context_` (which owns the socket and the timer
// and receives the queued calls) is then left for the event loop to delete.
class QtTransport::Connection {
 public:
  Connection(const QtTransportOptions& options, const TransportEndpoint& endpoint, TransportEvents& events);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool Send(std::string_view bytes);
  [[nodiscard]] std::uint64_t QueuedBytes() const;
  void StartTls();
  void Close();
  void SetIdleTimerPaused(bool paused);

 private:
  enum class Phase {
    Connecting,   // TCP (and for implicit TLS the handshake) in progress
    Open,         // OnConnected delivered; bytes flow
    StartingTls,  // StartTls() called, handshake in progress; nothing is delivered
    Finished,     // closed or failed; no event follows
  };

  void Start(const QtTransportOptions& options);
  // Connects a socket signal to a handler of the same arguments, queued
  // and guarded.
  template <typename Sender, typename... Arguments>
  void Watch(void (Sender::*signal)(Arguments...), void (Connection::*handler)(Arguments...));

  void HandleConnected();
  void HandleEncrypted();
  void HandleReadyRead();
  void HandleSslErrors(const QList<QSslError>& errors);
  void HandleError(QAbstractSocket::SocketError error);
  void HandleDisconnected();
  void HandleBytesWritten(qint64 bytes);
  void RestartIdleTimer();

  // Hands everything readable to the session; false when the session
  // destroyed the transport meanwhile.
  [[nodiscard]] bool DeliverReceived();
  void Fail(const std::string& reason);
  void FailLater(const std::string& reason);
  void ReleaseSocket();
  // Calls the session; false when it destroyed the transport meanwhile.
  template <typename Call>
  [[nodiscard]] bool Notify(Call call);

  TransportEndpoint endpoint_;
  TransportEvents& events_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int notify_depth_ = 0;
  Phase phase_ = Phase::Connecting;
  bool tcp_connected_ = false;
  bool idle_paused_ = false;
  std::string certificate_problem_;
  QObject* context_ = nullptr;
  QSslSocket* socket_ = nullptr;
  QTimer* idle_timer_ = nullptr;
};

QtTransport::Connection::Connection(const QtTransportOptions& options, const TransportEndpoint& endpoint,
                                    TransportEvents& events)
    : endpoint_(endpoint), events_(events) {
  EnsureEventLoopApplication();
  context_ = new QObject();
  idle_timer_ = new QTimer(context_);
  idle_timer_->setSingleShot(true);
  QObject::connect(idle_timer_, &QTimer::timeout, context_, [this, alive = alive_] {
    if (*alive) Fail(transport_texts::NoResponse());
  });
  Start(options);
}

QtTransport::Connection::~Connection() {
  *alive_ = false;
  ReleaseSocket();
  idle_timer_->stop();
  // Deleting the object whose queued call or timer is running would pull
  // the ground from under Qt; the event loop deletes it once that returns.
  if (notify_depth_ > 0) {
    context_->deleteLater();
  } else {
    delete context_;
  }
}

template <typename Sender, typename... Arguments>
void QtTransport::Connection::Watch(void (Sender::*signal)(Arguments...), void (Connection::*handler)(Arguments...)) {
  QObject::connect(
      socket_, signal, context_,
      [this, alive = alive_, handler](Arguments... arguments) {
        if (*alive && phase_ != Phase::Finished) (this->*handler)(arguments...);
      },
      Qt::QueuedConnection);
}

void QtTransport::Connection::Start(const QtTransportOptions& options) {
  socket_ = new QSslSocket(context_);
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
  bool extra_authorities_readable = true;
  if (!options.additional_ca_certificates.empty()) {
    const QList<QSslCertificate> extra =
        QSslCertificate::fromPath(QString::fromStdString(options.additional_ca_certificates), QSsl::Pem);
    extra_authorities_readable = !extra.isEmpty();
    // Setting authorities explicitly stops Qt from loading the system's on
    // demand, so the system's are named here too.
    configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
  }
  socket_->setSslConfiguration(configuration);

  Watch(&QSslSocket::connected, &Connection::HandleConnected);
  Watch(&QSslSocket::encrypted, &Connection::HandleEncrypted);
  Watch(&QSslSocket::readyRead, &Connection::HandleReadyRead);
  Watch(&QSslSocket::bytesWritten, &Connection::HandleBytesWritten);
  Watch(&QSslSocket::encryptedBytesWritten, &Connection::HandleBytesWritten);
  Watch(qOverload<const QList<QSslError>&>(&QSslSocket::sslErrors), &Connection::HandleSslErrors);
  Watch(&QSslSocket::errorOccurred, &Connection::HandleError);
  Watch(&QSslSocket::disconnected, &Connection::HandleDisconnected);

  if (!extra_authorities_readable) {
    FailLater(transport_texts::CertificateFileUnreadable(Utf8ToCp932(options.additional_ca_certificates)));
    return;
  }
  if (endpoint_.port < 1 || endpoint_.port > 65535) {
    FailLater(transport_texts::ConnectFailed(endpoint_.host, "port " + std::to_string(endpoint_.port)));
    return;
  }

  const QString host = ToQString(endpoint_.host);
  socket_->setPeerVerifyName(host);
  RestartIdleTimer();
  const auto port = static_cast<quint16>(endpoint_.port);
  if (endpoint_.tls == TlsMode::Implicit) {
    socket_->connectToHostEncrypted(host, port);
  } else {
    socket_->connectToHost(host, port);
  }
}

bool QtTransport::Connection::Send(std::string_view bytes) {
  if (phase_ == Phase::Finished || socket_ == nullptr) return false;
  if (bytes.empty()) return true;
  const auto size = static_cast<qint64>(bytes.size());
  return socket_->write(bytes.data(), size) == size;
}

std::uint64_t QtTransport::Connection::QueuedBytes() const {
  if (socket_ == nullptr) return 0;
  // Plain bytes not yet encrypted, and encrypted bytes not yet written.
  return static_cast<std::uint64_t>(socket_->bytesToWrite() + socket_->encryptedBytesToWrite());
}

void QtTransport::Connection::StartTls() {
  if (phase_ != Phase::Open || socket_->isEncrypted()) return;
  // Whatever the server sent in clear after its reply (an injected command
  // answer, CVE-2011-0411) must never pass for a reply inside TLS: drop it,
  // and drop everything readable until the handshake is complete.
  static_cast<void>(socket_->readAll());
  phase_ = Phase::StartingTls;
  socket_->startClientEncryption();
}

void QtTransport::Connection::Close() {
  phase_ = Phase::Finished;
  idle_timer_->stop();
  ReleaseSocket();
}

void QtTransport::Connection::SetIdleTimerPaused(bool paused) {
  if (phase_ == Phase::Finished || paused == idle_paused_) return;
  idle_paused_ = paused;
  if (paused) {
    idle_timer_->stop();
  } else {
    RestartIdleTimer();
  }
}

void QtTransport::Connection::HandleConnected() {
  tcp_connected_ = true;
  RestartIdleTimer();
  if (endpoint_.tls == TlsMode::Implicit || phase_ != Phase::Connecting) return;
  phase_ = Phase::Open;
  if (!Notify([](TransportEvents& events) { events.OnConnected(); })) return;
  static_cast<void>(DeliverReceived());
}

void QtTransport::Connection::HandleEncrypted() {
  RestartIdleTimer();
  const bool upgrade = phase_ == Phase::StartingTls;
  if (!upgrade && phase_ != Phase::Connecting) return;
  phase_ = Phase::Open;
  const bool alive = upgrade ? Notify([](TransportEvents& events) { events.OnTlsStarted(); })
                             : Notify([](TransportEvents& events) { events.OnConnected(); });
  if (alive) static_cast<void>(DeliverReceived());
}

void QtTransport::Connection::HandleReadyRead() {
  RestartIdleTimer();
  if (phase_ == Phase::StartingTls) {
    static_cast<void>(socket_->readAll());
    return;
  }
  if (phase_ == Phase::Open) static_cast<void>(DeliverReceived());
}

void QtTransport::Connection::HandleSslErrors(const QList<QSslError>& errors) {
  QStringList texts;
  for (const QSslError& error : errors) texts << error.errorString();
  certificate_problem_ = ToSjis(texts.join(QStringLiteral("; ")));
}

void QtTransport::Connection::HandleError(QAbstractSocket::SocketError error) {
  const std::string& host = endpoint_.host;
  const std::string detail = ToSjis(socket_->errorString());
  const bool handshaking = tcp_connected_ && (phase_ == Phase::StartingTls ||
                                              (phase_ == Phase::Connecting && endpoint_.tls == TlsMode::Implicit));
  if (!certificate_problem_.empty()) {
    Fail(transport_texts::CertificateRejected(host, certificate_problem_));
  } else if (error == QAbstractSocket::HostNotFoundError) {
    Fail(transport_texts::HostNotFound(host));
  } else if (!tcp_connected_) {
    Fail(transport_texts::ConnectFailed(host, detail));
  } else if (handshaking || error == QAbstractSocket::SslHandshakeFailedError ||
             error == QAbstractSocket::SslInternalError) {
    Fail(transport_texts::TlsFailed(host, detail));
  } else {
    // Bytes that came just before the close are still the server's words.
    if (phase_ == Phase::Open && !DeliverReceived()) return;
    Fail(transport_texts::NoResponse());
  }
}

// A close without an error signal still ends the session.
void QtTransport::Connection::HandleDisconnected() { HandleError(QAbstractSocket::RemoteHostClosedError); }

// Data leaving steadily is progress too: a large message going out to a
// server that answers only at its end must not count as a stall. A session
// that waits for room goes on.
void QtTransport::Connection::HandleBytesWritten(qint64 /*bytes*/) {
  RestartIdleTimer();
  if (phase_ == Phase::Open) static_cast<void>(Notify([](TransportEvents& events) { events.OnWritten(); }));
}

void QtTransport::Connection::RestartIdleTimer() {
  // QTimer counts in int milliseconds; longer waits are as good as none.
  constexpr std::chrono::milliseconds kLongest{std::numeric_limits<int>::max()};
  if (idle_paused_) return;
  if (endpoint_.idle_timeout.count() > 0) idle_timer_->start(std::min(endpoint_.idle_timeout, kLongest));
}

bool QtTransport::Connection::DeliverReceived() {
  while (phase_ == Phase::Open && socket_ != nullptr && socket_->bytesAvailable() > 0) {
    const QByteArray data = socket_->readAll();
    if (!Notify([&data](TransportEvents& events) {
          events.OnReceived(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
        })) {
      return false;
    }
  }
  return true;
}

// A failure found while the session's Connect call runs reaches it from
// the event loop, like every other event.
void QtTransport::Connection::FailLater(const std::string& reason) {
  QMetaObject::invokeMethod(
      context_,
      [this, alive = alive_, reason] {
        if (*alive) Fail(reason);
      },
      Qt::QueuedConnection);
}

void QtTransport::Connection::Fail(const std::string& reason) {
  if (phase_ == Phase::Finished) return;
  phase_ = Phase::Finished;
  idle_timer_->stop();
  ReleaseSocket();
  static_cast<void>(Notify([&reason](TransportEvents& events) { events.OnDisconnected(reason); }));
}

void QtTransport::Connection::ReleaseSocket() {
  if (socket_ == nullptr) return;
  // No handler of ours runs inside a socket signal (all are queued), so
  // the socket can go at once; its queued signals find phase Finished.
  socket_->disconnect();
  socket_->abort();
  delete socket_;
  socket_ = nullptr;
}

template <typename Call>
bool QtTransport::Connection::Notify(Call call) {
  const std::shared_ptr<bool> alive = alive_;
  ++notify_depth_;
  call(events_);
  if (!*alive) return false;
  --notify_depth_;
  return true;
}

QtTransport::QtTransport(QtTransportOptions options) : options_(std::move(options)) {}

QtTransport::~QtTransport() = default;

void QtTransport::Connect(const TransportEndpoint& endpoint, TransportEvents& events) {
  connection_.reset();
  connection_ = std::make_unique<Connection>(options_, endpoint, events);
}

bool QtTransport::Send(std::string_view bytes) { return connection_ != nullptr && connection_->Send(bytes); }

std::uint64_t QtTransport::QueuedBytes() const { return connection_ != nullptr ? connection_->QueuedBytes() : 0; }

void QtTransport::StartTls() {
  if (connection_ != nullptr) connection_->StartTls();
}

void QtTransport::Close() {
  if (connection_ != nullptr) connection_->Close();
}

void QtTransport::SetIdleTimerPaused(bool paused) {
  if (connection_ != nullptr) connection_->SetIdleTimerPaused(paused);
}

}  // namespace lp
