#include "app/account_oauth.h"

#include "app/oauth_provider_files.h"

namespace lp {

AccountOAuth::AccountOAuth(FormPoster& http)
    : providers_(LoadOAuthProviders(OAuthProviderFiles())),
      store_(FileTokenStore::kFileName),
      logins_(providers_, store_, http) {}

}  // namespace lp
