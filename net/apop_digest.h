#pragma once

#include <string>
#include <string_view>

// APOP (RFC 1939 section 7): the greeting's time stamp and the digest.

namespace lp {

// The greeting's text from "<" to the following ">" inclusive; empty when
// the greeting carries no stamp (the server then does not offer APOP).
[[nodiscard]] std::string ExtractApopStamp(std::string_view greeting);

// MD5 of `stamp` followed by `password`, as 32 lower-case hex digits;
// empty only if the digest library fails.
[[nodiscard]] std::string ApopDigest(std::string_view stamp, std::string_view password);

}  // namespace lp
