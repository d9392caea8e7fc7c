#pragma once

#include "config/account.h"
#include "platform/transport.h"

namespace lp {

// The transport's TLS mode for an account's PopTls or SmtpTls setting.
[[nodiscard]] TlsMode TransportTlsOf(AccountTls tls);

}  // namespace lp
