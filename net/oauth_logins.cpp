#include "net/oauth_logins.h"

#include <utility>

#include "net/oauth_messages.h"

namespace lp {

ProviderOAuthLogins::ProviderOAuthLogins(std::vector<OAuthProvider> providers, OAuthTokenStore& store,
                                         FormPoster& http, AccessTokens::Clock clock)
    : providers_(std::move(providers)), tokens_(store, http, std::move(clock)) {}

void ProviderOAuthLogins::Prepare(const CSetMenu& account, Done done) {
  const std::optional<OAuthProvider> provider = FindOAuthProvider(providers_, account.oauth_provider);
  if (!provider) {
    OAuthLogin login;
    login.message = oauth_text::kNoProvider;
    done(std::move(login));
    return;
  }
  std::string user = OAuthUserName(*provider, account);
  tokens_.Get(*provider, OAuthTokenKey(*provider, account),
              [user = std::move(user), done = std::move(done)](AccessTokenResult result) {
                OAuthLogin login;
                login.ok = result.ok;
                login.user = user;
                login.access_token = std::move(result.access_token);
                login.sign_in_needed = result.sign_in_needed;
                login.message = std::move(result.message);
                done(std::move(login));
              });
}

void ProviderOAuthLogins::Refused(const CSetMenu& account) {
  const std::optional<OAuthProvider> provider = FindOAuthProvider(providers_, account.oauth_provider);
  if (provider) tokens_.Discard(OAuthTokenKey(*provider, account));
}

}  // namespace lp
