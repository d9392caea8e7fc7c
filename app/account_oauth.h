#pragma once

#include <vector>

#include "config/oauth_providers.h"
#include "config/oauth_token_store.h"
#include "net/oauth_logins.h"
#include "platform/form_post.h"

// The OAuth 2.0 logins of the accounts as the program uses them: the
// provider files (shipped, then the data directory's), the token file of
// the data directory (the current directory) and refreshes through `http`.

namespace lp {

class AccountOAuth {
 public:
  explicit AccountOAuth(FormPoster& http);

  [[nodiscard]] OAuthLogins& logins() { return logins_; }
  [[nodiscard]] OAuthTokenStore& store() { return store_; }
  [[nodiscard]] const std::vector<OAuthProvider>& providers() const { return providers_; }

 private:
  std::vector<OAuthProvider> providers_;
  FileTokenStore store_;
  ProviderOAuthLogins logins_;
};

}  // namespace lp
