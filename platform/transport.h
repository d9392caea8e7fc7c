#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// The byte stream a protocol session talks over. Sessions are state
// machines: they never block and never read a socket themselves. The
// transport (Qt sockets in the application and the command line, a scripted
// fake in tests) calls the session's TransportEvents as things happen on the
// event loop, and the session answers through Transport.

namespace lp {

enum class TlsMode {
  None,      // plain TCP, as the classic protocol dialogue
  Implicit,  // TLS from the first byte (POP3S 995, SMTPS 465)
  StartTls,  // plain first, then STLS / STARTTLS upgrades the connection
};

struct TransportEndpoint {
  std::string host;  // Shift_JIS as the account holds it (host names are ASCII)
  int port = 0;
  TlsMode tls = TlsMode::None;
  // No byte from the server for this long ends the connection.
  std::chrono::milliseconds idle_timeout{std::chrono::seconds(60)};
};

class TransportEvents {
 public:
  virtual ~TransportEvents() = default;
  // The connection is up (for Implicit TLS: the handshake succeeded and the
  // certificate was verified).
  virtual void OnConnected() = 0;
  // Bytes from the server, in the pieces the network delivers them.
  virtual void OnReceived(std::string_view bytes) = 0;
  // StartTls() completed; everything received before this moment has been
  // thrown away, so nothing the server sent in clear can pose as a reply.
  virtual void OnTlsStarted() = 0;
  // The connection failed, closed, stalled past the idle timeout, or the
  // TLS handshake or certificate check failed. `reason` is a Shift_JIS text
  // for the user (a certificate failure names the host). No event follows.
  virtual void OnDisconnected(std::string_view reason) = 0;
  // Bytes queued by Send have left for the network, so there is room again:
  // a session that stopped sending because QueuedBytes() was high goes on.
  virtual void OnWritten() {}
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Starts connecting; the outcome arrives as OnConnected or OnDisconnected.
  virtual void Connect(const TransportEndpoint& endpoint, TransportEvents& events) = 0;
  // Queues bytes for the server; false when the connection is gone.
  virtual bool Send(std::string_view bytes) = 0;
  // Bytes given to Send that have not left for the network yet. A session
  // sending much keeps this bounded and waits for OnWritten (the classic
  // "would block").
  [[nodiscard]] virtual std::uint64_t QueuedBytes() const { return 0; }
  // Upgrades the open plain connection to TLS (after the server agreed to
  // STLS / STARTTLS). Received data still buffered is discarded.
  virtual void StartTls() = 0;
  // Closes the connection; no event follows.
  virtual void Close() = 0;
  // While paused the idle timeout does not run: the session waits for the
  // user, not for the server. Resuming starts a full timeout afresh. The
  // connection may still close meanwhile (OnDisconnected).
  virtual void SetIdleTimerPaused(bool /*paused*/) {}
};

}  // namespace lp
