#pragma once

#include <string>
#include <string_view>

// AUTH CRAM-MD5 (RFC 2195): the keyed digest of the server's challenge.

namespace lp {

// HMAC-MD5 (RFC 2104) of `message` under `key`, as 32 lower-case hex
// digits; empty only if the digest library fails.
[[nodiscard]] std::string HmacMd5Hex(std::string_view key, std::string_view message);

// The client's answer to a "334 <Base64 challenge>" reply: the Base64 of
// the user name, a blank and the digest of the decoded challenge keyed with
// the password, without line end. Empty only if the digest library fails.
[[nodiscard]] std::string CramMd5Response(std::string_view reply, std::string_view user, std::string_view password);

}  // namespace lp
