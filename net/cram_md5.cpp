#include "net/cram_md5.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "codec/mime_encoding.h"
#include "net/hex_digest.h"

namespace lp {

std::string HmacMd5Hex(std::string_view key, std::string_view message) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  // An empty key still needs a valid pointer.
  static constexpr unsigned char kNoKey = 0;
  const void* key_bytes = key.empty() ? static_cast<const void*>(&kNoKey) : static_cast<const void*>(key.data());
  if (HMAC(EVP_md5(), key_bytes, static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(message.data()),
           message.size(), digest, &length) == nullptr) {
    return {};
  }
  // Lower case, as RFC 2195 writes the digest.
  return LowerHex(digest, length);
}

std::string CramMd5Response(std::string_view reply, std::string_view user, std::string_view password) {
  std::string_view challenge;
  const std::size_t blank = reply.find(' ');
  if (blank != std::string_view::npos) challenge = reply.substr(blank + 1);
  while (!challenge.empty() && (challenge.back() == '\r' || challenge.back() == '\n')) challenge.remove_suffix(1);
  const std::string digest = HmacMd5Hex(password, Base64DecodeText(challenge));
  if (digest.empty()) return {};
  std::string answer(user);
  answer += ' ';
  answer += digest;
  return Base64EncodeText(answer);
}

}  // namespace lp
