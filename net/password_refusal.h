#pragma once

#include <string_view>

namespace lp {

// Whether a server's refusal of a password login says that the provider
// no longer takes passwords from mail programs at all, so that only an
// OAuth 2.0 sign-in can reach the mailbox: Microsoft's "basic
// authentication is disabled", Google's "Web login required" and
// "Please log in via your web browser".
[[nodiscard]] bool RefusesPasswordLogins(std::string_view reply);

}  // namespace lp
