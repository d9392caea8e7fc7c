#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/transport.h"

// The network transport of the application and the command line: a Qt TLS
// socket on the calling thread's event loop. Events reach the session only
// from the event loop, never from inside a call the session made, so a
// session may call Send, StartTls or Close, or destroy the transport, from
// any event. The thread needs a Qt core application (EnsureEventLoopApplication
// in platform/event_loop.h makes one) and a running event loop.

namespace lp {

struct QtTransportOptions {
  // A PEM file (native path) of certificate authorities trusted in addition
  // to the system's. Tests use it to trust their own server certificate;
  // the application leaves it empty, so only the system store counts.
  std::string additional_ca_certificates;
};

class QtTransport final : public Transport {
 public:
  explicit QtTransport(QtTransportOptions options = {});
  ~QtTransport() override;
  QtTransport(const QtTransport&) = delete;
  QtTransport& operator=(const QtTransport&) = delete;

  void Connect(const TransportEndpoint& endpoint, TransportEvents& events) override;
  bool Send(std::string_view bytes) override;
  [[nodiscard]] std::uint64_t QueuedBytes() const override;
  void StartTls() override;
  void Close() override;
  void SetIdleTimerPaused(bool paused) override;

 private:
  class Connection;
  QtTransportOptions options_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace lp
