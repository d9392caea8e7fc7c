#include "cli/cli_transport.h"

#include <cstdlib>

#include "platform/qt_transport.h"

namespace lp {

std::unique_ptr<Transport> MakeCliTransport() {
  QtTransportOptions options;
  if (const char* extra = std::getenv("LANTERNPOST_EXTRA_CA"); extra != nullptr) {
    options.additional_ca_certificates = extra;
  }
  return std::make_unique<QtTransport>(options);
}

}  // namespace lp
