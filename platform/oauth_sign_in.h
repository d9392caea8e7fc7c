#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// An OAuth 2.0 sign-in in the user's web browser: the authorization code
// flow with PKCE (RFC 7636, S256) and a loopback redirect (RFC 8252) to a
// port of 127.0.0.1 that the program listens on for the time of the
// sign-in, through Qt Network Auth. No window of ours is involved: the
// caller opens (or prints) the address.

namespace lp {

struct OAuthSignInRequest {
  std::string authorization_url;
  std::string token_url;
  std::string client_id;
  std::string client_secret;  // empty for public clients
  std::string scope;
  std::string extra_parameters;  // "k=v&k=v" added to the authorization request
  std::string login_hint;        // the mail address, when known
  std::chrono::seconds time_limit{300};
};

struct OAuthSignInResult {
  bool ok = false;
  std::string access_token;
  std::string refresh_token;
  std::int64_t expires_at = 0;  // seconds since the epoch; 0: not stated
  std::string error_text;       // UTF-8, when not ok
};

class OAuthSignIn {
 public:
  using Open = std::function<void(const std::string& url)>;
  using Done = std::function<void(OAuthSignInResult)>;

  // Starts listening and calls `open` with the address of the provider's
  // sign-in page; `done` comes once, from the event loop, with the tokens
  // or the reason (refused, time limit, listening failed). Destroying the
  // sign-in ends it without a call.
  [[nodiscard]] static std::unique_ptr<OAuthSignIn> Start(const OAuthSignInRequest& request, Open open, Done done);
  ~OAuthSignIn();
  OAuthSignIn(const OAuthSignIn&) = delete;
  OAuthSignIn& operator=(const OAuthSignIn&) = delete;

  struct Impl;

 private:
  explicit OAuthSignIn(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The PKCE pair: a verifier of 43 URL-safe characters and its S256 challenge.
struct PkcePair {
  std::string verifier;
  std::string challenge;
};
[[nodiscard]] PkcePair MakePkcePair();
[[nodiscard]] std::string PkceChallenge(const std::string& verifier);

}  // namespace lp
