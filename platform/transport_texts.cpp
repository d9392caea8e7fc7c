#include "platform/transport_texts.h"

namespace lp::transport_texts {
namespace {

// "text(subject)" and, when there is one, ": detail".
std::string WithSubject(std::string_view text, std::string_view subject, std::string_view detail) {
  std::string result(text);
  result += '(';
  result += subject;
  result += ')';
  if (!detail.empty()) {
    result += ": ";
    result += detail;
  }
  return result;
}

}  // namespace

std::string NoResponse() {
  return "\x89\x9E\x93\x9A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 応答がありません
}

std::string HostNotFound(std::string_view host) {
  // ホストが見つかりません
  return WithSubject("\x83\x7A\x83\x58\x83\x67\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1", host,
                     {});
}

std::string ConnectFailed(std::string_view host, std::string_view detail) {
  // サーバに接続できません
  return WithSubject("\x83\x54\x81\x5B\x83\x6F\x82\xC9\x90\xDA\x91\xB1\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1", host,
                     detail);
}

std::string CertificateRejected(std::string_view host, std::string_view detail) {
  // サーバ証明書を確認できません
  return WithSubject(
      "\x83\x54\x81\x5B\x83\x6F\x8F\xD8\x96\xBE\x8F\x91\x82\xF0\x8A\x6D\x94\x46\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82"
      "\xF1",
      host, detail);
}

std::string TlsFailed(std::string_view host, std::string_view detail) {
  // 暗号化通信を開始できません
  return WithSubject(
      "\x88\xC3\x8D\x86\x89\xBB\x92\xCA\x90\x4D\x82\xF0\x8A\x4A\x8E\x6E\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1", host,
      detail);
}

std::string CertificateFileUnreadable(std::string_view path) {
  // 証明書ファイルを読めません
  return WithSubject(
      "\x8F\xD8\x96\xBE\x8F\x91\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1", path,
      {});
}

}  // namespace lp::transport_texts
