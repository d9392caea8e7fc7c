#pragma once

#include <memory>

#include "platform/transport.h"

namespace lp {

// The command line's network transport: Qt sockets on the event loop,
// trusting in addition the certificate authorities of the PEM file named by
// LANTERNPOST_EXTRA_CA (the tests' own server certificate; not meant for
// everyday use).
[[nodiscard]] std::unique_ptr<Transport> MakeCliTransport();

}  // namespace lp
