#pragma once

#include <memory>

#include "app/account_oauth.h"
#include "platform/form_post.h"

// The OAuth 2.0 logins of the command line, refreshed through Qt's HTTP.

namespace lp {

class CliOAuth {
 public:
  CliOAuth() : poster_(MakeQtFormPoster()), oauth_(*poster_) {}
  [[nodiscard]] OAuthLogins& logins() { return oauth_.logins(); }
  [[nodiscard]] OAuthTokenStore& store() { return oauth_.store(); }
  [[nodiscard]] const std::vector<OAuthProvider>& providers() const { return oauth_.providers(); }

 private:
  std::unique_ptr<FormPoster> poster_;
  AccountOAuth oauth_;
};

}  // namespace lp
