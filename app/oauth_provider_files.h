#pragma once

#include <string>
#include <vector>

// The provider files of OAuth 2.0 sign-ins, lowest first: the one shipped
// with the program (installed, else the source tree's when the program runs
// from its build tree), then the data directory's own (the current
// directory), whose keys take the place of the shipped ones.

namespace lp {

[[nodiscard]] std::vector<std::string> OAuthProviderFiles();

}  // namespace lp
