#include "net/apop_digest.h"

#include <openssl/evp.h>

#include <memory>

#include "net/hex_digest.h"

namespace lp {

std::string ExtractApopStamp(std::string_view greeting) {
  const std::size_t open = greeting.find('<');
  if (open == std::string_view::npos) return {};
  const std::size_t close = greeting.find('>', open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(greeting.substr(open, close - open + 1));
}

std::string ApopDigest(std::string_view stamp, std::string_view password) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
      EVP_DigestUpdate(context.get(), stamp.data(), stamp.size()) != 1 ||
      EVP_DigestUpdate(context.get(), password.data(), password.size()) != 1 ||
      EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
    return {};
  }
  return LowerHex(digest, length);
}

}  // namespace lp
