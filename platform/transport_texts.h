#pragma once

#include <string>
#include <string_view>

// Every text the network transport hands to a session as the reason of a
// disconnect, formatted in one place. All texts are Shift_JIS; `host`, `path`
// and `detail` are Shift_JIS too (host names are ASCII).

namespace lp::transport_texts {

// The server closed the connection, a receive failed, or nothing arrived
// within the idle timeout.
[[nodiscard]] std::string NoResponse();
// The host name could not be resolved.
[[nodiscard]] std::string HostNotFound(std::string_view host);
// The TCP connection could not be made (refused, unreachable, timed out).
[[nodiscard]] std::string ConnectFailed(std::string_view host, std::string_view detail);
// The server's certificate did not verify against the trusted authorities.
[[nodiscard]] std::string CertificateRejected(std::string_view host, std::string_view detail);
// The TLS handshake failed for another reason (protocol, cipher, garbage).
[[nodiscard]] std::string TlsFailed(std::string_view host, std::string_view detail);
// An extra certificate file given to the transport could not be read.
[[nodiscard]] std::string CertificateFileUnreadable(std::string_view path);

}  // namespace lp::transport_texts
