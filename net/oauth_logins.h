#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/account.h"
#include "config/oauth_providers.h"
#include "net/oauth_access_tokens.h"

// What a POP3 or SMTP session of an OAuth 2.0 account needs before it
// starts: the user name the provider wants and a fresh access token.

namespace lp {

struct OAuthLogin {
  bool ok = false;
  std::string user;
  std::string access_token;
  bool sign_in_needed = false;
  std::string message;  // Shift_JIS, when not ok
};

class OAuthLogins {
 public:
  virtual ~OAuthLogins() = default;
  using Done = std::function<void(OAuthLogin)>;
  // Calls `done` once (at once, or after a refresh). The callee outlives
  // its pending calls; a caller that goes away first ignores the answer.
  virtual void Prepare(const CSetMenu& account, Done done) = 0;
  // The server refused the token: the next Prepare gets a new one.
  virtual void Refused(const CSetMenu& account) = 0;
};

// The logins of the provider file's entries, with tokens from `store`
// refreshed through `http`.
class ProviderOAuthLogins final : public OAuthLogins {
 public:
  ProviderOAuthLogins(std::vector<OAuthProvider> providers, OAuthTokenStore& store, FormPoster& http,
                      AccessTokens::Clock clock = {});

  void Prepare(const CSetMenu& account, Done done) override;
  void Refused(const CSetMenu& account) override;

 private:
  std::vector<OAuthProvider> providers_;
  AccessTokens tokens_;
};

}  // namespace lp
