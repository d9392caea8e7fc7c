#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "config/oauth_providers.h"
#include "config/oauth_token_store.h"
#include "platform/form_post.h"

// Hands out the access token of an OAuth 2.0 account, refreshing it at the
// provider's token endpoint when it expires within a few minutes. No
// window is involved: when the refresh token is gone or refused, the
// answer says that a new sign-in is needed and the caller tells the user.

namespace lp {

// "a=1&b=2" with every value percent-encoded.
[[nodiscard]] std::string FormField(std::string_view name, std::string_view value);

// The refresh request of a provider: grant_type=refresh_token ...
[[nodiscard]] std::string RefreshForm(const OAuthProvider& provider, std::string_view refresh_token);

struct TokenReply {
  enum class Outcome {
    Ok,            // `tokens` holds the new tokens
    SignInNeeded,  // the grant is refused (invalid_grant ...): sign in again
    Failed,        // anything else; `detail` says what
  };
  Outcome outcome = Outcome::Failed;
  OAuthTokens tokens;
  std::string detail;  // ASCII
};

// Reads a token endpoint's answer. A reply without a new refresh token keeps
// `previous_refresh`. Wrong types, a missing token, an answer that is not a
// JSON object or too large all fail.
[[nodiscard]] TokenReply ReadTokenReply(const FormPostAnswer& answer, std::string_view previous_refresh,
                                        std::int64_t now);

// Whether the access token must be renewed before use.
[[nodiscard]] bool NeedsRefresh(const OAuthTokens& tokens, std::int64_t now);

struct AccessTokenResult {
  bool ok = false;
  std::string access_token;
  bool sign_in_needed = false;
  std::string message;  // Shift_JIS, for the user, when not ok
};

class AccessTokens {
 public:
  using Clock = std::function<std::int64_t()>;
  using Done = std::function<void(AccessTokenResult)>;

  AccessTokens(OAuthTokenStore& store, FormPoster& http, Clock clock = {});

  // Calls `done` once, at once when the stored token is fresh, else when
  // the refresh has been answered.
  void Get(const OAuthProvider& provider, const std::string& key, Done done);

  // Forgets the access token of `key` (the server refused it), keeping the
  // refresh token, so that the next Get refreshes.
  void Discard(const std::string& key);

 private:
  [[nodiscard]] std::int64_t Now() const;

  OAuthTokenStore& store_;
  FormPoster& http_;
  Clock clock_;
};

}  // namespace lp
