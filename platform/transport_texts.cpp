#include "platform/transport_texts.h"

#include "platform/platform_messages.h"

namespace lp::transport_texts {
namespace {

using namespace platform_messages;

// "text(subject)" and, when there is one, ": detail". An empty subject (no
// host configured) leaves no empty brackets behind.
std::string WithSubject(std::string_view text, std::string_view subject, std::string_view detail) {
  std::string result(text);
  if (!subject.empty()) {
    result += '(';
    result += subject;
    result += ')';
  }
  if (!detail.empty()) {
    result += ": ";
    result += detail;
  }
  return result;
}

}  // namespace

std::string NoResponse() { return kNoResponse; }

std::string HostNotFound(std::string_view host) { return WithSubject(kHostNotFound, host, {}); }

std::string ConnectFailed(std::string_view host, std::string_view detail) {
  return WithSubject(kConnectFailed, host, detail);
}

std::string CertificateRejected(std::string_view host, std::string_view detail) {
  return WithSubject(kCertificateRejected, host, detail);
}

std::string TlsFailed(std::string_view host, std::string_view detail) { return WithSubject(kTlsFailed, host, detail); }

std::string CertificateFileUnreadable(std::string_view path) {
  return WithSubject(kCertificateFileUnreadable, path, {});
}

}  // namespace lp::transport_texts
