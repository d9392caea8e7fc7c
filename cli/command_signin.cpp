#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/box_arguments.h"
#include "cli/cli_oauth.h"
#include "cli/commands.h"
#include "cli/tsv_field.h"
#include "config/account_table.h"
#include "platform/code_page.h"
#include "platform/event_loop.h"
#include "platform/oauth_sign_in.h"

namespace lp {

namespace {

constexpr std::chrono::seconds kDefaultTimeLimit{300};
constexpr long kLongestTimeLimit = 3600;

}  // namespace

// Signs an OAuth 2.0 account in without the desktop: prints the address to
// open in any browser, waits for the provider to send the browser back to
// the loopback address, stores the tokens and prints the account:
// index, name and user (TAB-separated).
int RunSignInCommand(CommandContext& context) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage("usage: signin [--account N] [--time-limit SECONDS]");
    return 2;
  }
  CSetMenuArray accounts;
  accounts.Load(context.app.profile());
  std::size_t index = accounts.CurrentIndex();
  if (const std::optional<std::string> value = context.args.Value("account")) {
    const std::optional<long> parsed = ParseNonNegative(*value);
    if (!parsed || static_cast<std::size_t>(*parsed) >= accounts.Count()) {
      context.ui.ShowMessage("no such account: " + *value);
      return 2;
    }
    index = static_cast<std::size_t>(*parsed);
  }
  std::chrono::seconds time_limit = kDefaultTimeLimit;
  if (const std::optional<std::string> value = context.args.Value("time-limit")) {
    const std::optional<long> parsed = ParseNonNegative(*value);
    if (!parsed || *parsed < 1 || *parsed > kLongestTimeLimit) {
      context.ui.ShowMessage("the time limit is 1 to 3600 seconds: " + *value);
      return 2;
    }
    time_limit = std::chrono::seconds(*parsed);
  }
  const CSetMenu& account = accounts.At(index);
  if (account.auth != AccountAuth::OAuth2) {
    context.ui.ShowMessage("account " + std::to_string(index) + " does not use OAuth 2.0 (AuthMethod=1)");
    return 2;
  }
  EnsureEventLoopApplication();
  CliOAuth oauth;
  const std::optional<OAuthProvider> provider = FindOAuthProvider(oauth.providers(), account.oauth_provider);
  if (!provider) {
    context.ui.ShowMessage("no OAuth 2.0 provider \"" + Cp932ToUtf8(account.oauth_provider) +
                           "\" (OAuthProvider) in oauth-providers.ini");
    return 1;
  }
  if (provider->client_id.empty()) {
    context.ui.ShowMessage("no client id for \"" + provider->id +
                           "\": register the program with the provider and set ClientId in the data "
                           "directory's oauth-providers.ini");
    return 1;
  }

  OAuthSignInRequest request;
  request.authorization_url = provider->authorization_url;
  request.token_url = provider->token_url;
  request.client_id = provider->client_id;
  request.client_secret = provider->client_secret;
  request.scope = provider->scope;
  request.extra_parameters = provider->authorization_parameters;
  request.login_hint = Cp932ToUtf8(OAuthUserName(*provider, account));
  request.time_limit = time_limit;
  std::optional<OAuthSignInResult> result;
  const std::unique_ptr<OAuthSignIn> sign_in = OAuthSignIn::Start(
      request,
      [](const std::string& url) {
        std::printf("Open this address in a web browser and sign in:\n%s\n", url.c_str());
        std::fflush(stdout);
      },
      [&result](OAuthSignInResult done) { result = std::move(done); });
  (void)RunEventLoopUntil([&] { return result.has_value(); }, time_limit + std::chrono::seconds(30));
  if (!result || !result->ok) {
    context.ui.ShowMessage("sign-in failed: " + (result ? result->error_text : std::string("no answer")));
    return 1;
  }
  const OAuthTokens tokens{result->access_token, result->refresh_token, result->expires_at};
  if (!oauth.store().Save(OAuthTokenKey(*provider, account), tokens)) {
    context.ui.ShowMessage("cannot store the tokens: " + oauth.store().ErrorText());
    return 1;
  }
  std::printf("%zu\t%s\t%s\n", index, TsvFieldUtf8(account.name).c_str(),
              TsvFieldUtf8(OAuthUserName(*provider, account)).c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
