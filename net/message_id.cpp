#include "net/message_id.h"

#include <openssl/rand.h>

#include <array>
#include <random>

#include "net/hex_digest.h"

namespace lp {
namespace {

constexpr char kFallbackDomain[] = "lanternpost.invalid";

bool IsDomainCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

}  // namespace

std::string MessageIdDomain(std::string_view address) {
  while (!address.empty() && (address.back() == ' ' || address.back() == '\t')) address.remove_suffix(1);
  // "@" can be the trail byte of a Shift_JIS character, but a domain is
  // ASCII: what follows a trail-byte "@" is refused below.
  const std::size_t at = address.rfind('@');
  if (at == std::string_view::npos) return kFallbackDomain;
  const std::string_view domain = address.substr(at + 1);
  if (domain.empty() || domain.front() == '.' || domain.back() == '.') return kFallbackDomain;
  for (const char c : domain) {
    if (!IsDomainCharacter(c)) return kFallbackDomain;
  }
  return std::string(domain);
}

std::string NewMessageId(std::string_view address) {
  std::array<unsigned char, 16> bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    // The kernel's generator, should OpenSSL's ever be unusable.
    std::random_device device;
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(device());
  }
  return "<" + LowerHex(bytes.data(), bytes.size()) + "@" + MessageIdDomain(address) + ">";
}

}  // namespace lp
