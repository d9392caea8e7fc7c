#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/account.h"

// The OAuth 2.0 providers an account can sign in with: endpoints, scopes
// and the client registration, from the provider file shipped with the
// program, overridden key by key by a file of the same form in the data
// directory (where the client id and secret are set: the program ships no
// credentials). docs/accounts.md describes the file.

namespace lp {

inline constexpr char kOAuthProviderFile[] = "oauth-providers.ini";

struct OAuthProvider {
  std::string id;  // the section name, as an account's OAuthProvider names it
  std::string name;
  std::string authorization_url;
  std::string token_url;
  std::string scope;
  std::string authorization_parameters;  // extra "k=v&k=v" for the authorization request
  bool user_is_address = true;           // UserName=address (else the POP user name)
  std::string client_id;
  std::string client_secret;

  bool operator==(const OAuthProvider&) const = default;
};

// Reads the providers from `files`, later files overriding earlier ones key
// by key; the sections come from every file's [Providers] Ids. Files that
// are missing are skipped. Sjis (here: ASCII) paths.
[[nodiscard]] std::vector<OAuthProvider> LoadOAuthProviders(const std::vector<std::string>& files);

[[nodiscard]] std::optional<OAuthProvider> FindOAuthProvider(const std::vector<OAuthProvider>& providers,
                                                             std::string_view id);

// The user name an account sends with its token.
[[nodiscard]] std::string OAuthUserName(const OAuthProvider& provider, const CSetMenu& account);

// The key under which an account's tokens are kept: the provider and the
// user, so that renaming the account keeps its sign-in.
[[nodiscard]] std::string OAuthTokenKey(const OAuthProvider& provider, const CSetMenu& account);

}  // namespace lp
