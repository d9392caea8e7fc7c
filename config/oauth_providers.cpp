#include "config/oauth_providers.h"

#include <algorithm>

#include "config/profile.h"
#include "platform/file_system.h"

namespace lp {
namespace {

void AddIds(std::string_view ids, std::vector<std::string>& out) {
  while (!ids.empty()) {
    const std::size_t blank = ids.find_first_of(" \t,");
    const std::string_view id = ids.substr(0, blank);
    ids = blank == std::string_view::npos ? std::string_view() : ids.substr(blank + 1);
    if (!id.empty() && std::find(out.begin(), out.end(), id) == out.end()) out.emplace_back(id);
  }
}

}  // namespace

std::vector<OAuthProvider> LoadOAuthProviders(const std::vector<std::string>& files) {
  std::vector<Profile> profiles;
  std::vector<std::string> ids;
  for (const std::string& file : files) {
    if (!PathExists(file)) continue;
    profiles.emplace_back(file);
    AddIds(profiles.back().GetString("Providers", "Ids"), ids);
  }
  std::vector<OAuthProvider> providers;
  for (const std::string& id : ids) {
    OAuthProvider provider;
    provider.id = id;
    std::string user_name = "address";
    for (const Profile& profile : profiles) {
      provider.name = profile.GetString(id, "Name", provider.name);
      provider.authorization_url = profile.GetString(id, "AuthorizationUrl", provider.authorization_url);
      provider.token_url = profile.GetString(id, "TokenUrl", provider.token_url);
      provider.scope = profile.GetString(id, "Scope", provider.scope);
      provider.authorization_parameters =
          profile.GetString(id, "AuthorizationParameters", provider.authorization_parameters);
      user_name = profile.GetString(id, "UserName", user_name);
      provider.client_id = profile.GetString(id, "ClientId", provider.client_id);
      provider.client_secret = profile.GetString(id, "ClientSecret", provider.client_secret);
    }
    if (provider.name.empty()) provider.name = id;
    provider.user_is_address = user_name != "user";
    providers.push_back(std::move(provider));
  }
  return providers;
}

std::optional<OAuthProvider> FindOAuthProvider(const std::vector<OAuthProvider>& providers, std::string_view id) {
  for (const OAuthProvider& provider : providers) {
    if (provider.id == id) return provider;
  }
  return std::nullopt;
}

std::string OAuthUserName(const OAuthProvider& provider, const CSetMenu& account) {
  return provider.user_is_address ? account.adr : account.user_id;
}

std::string OAuthTokenKey(const OAuthProvider& provider, const CSetMenu& account) {
  return provider.id + ":" + OAuthUserName(provider, account);
}

}  // namespace lp
