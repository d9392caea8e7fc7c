#include "net/account_tls.h"

namespace lp {

TlsMode TransportTlsOf(AccountTls tls) {
  switch (tls) {
    case AccountTls::Implicit:
      return TlsMode::Implicit;
    case AccountTls::StartTls:
      return TlsMode::StartTls;
    case AccountTls::None:
      break;
  }
  return TlsMode::None;
}

}  // namespace lp
