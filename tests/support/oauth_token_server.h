#pragma once

#include <sys/types.h>

#include <string>

#include "tests/support/temp_directory.h"

// The small OAuth 2.0 authorization server of oauth_token_server.py, run
// with python3 on a free port of 127.0.0.1 for end-to-end tests: it
// approves every sign-in at once, issues and refreshes tokens, answers
// Dovecot's introspection, and lets a test expire or revoke every token.

namespace lp::testing {

class OAuthTokenServer {
 public:
  OAuthTokenServer(const std::string& user, const std::string& client_id);
  ~OAuthTokenServer();
  OAuthTokenServer(const OAuthTokenServer&) = delete;
  OAuthTokenServer& operator=(const OAuthTokenServer&) = delete;

  [[nodiscard]] bool running() const { return port_ > 0; }
  [[nodiscard]] std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  // Every access token issued so far runs out / every token is revoked.
  void ExpireAccessTokens();
  void RevokeAll();
  // The requests handled so far, one line each ("token refresh_token" ...).
  [[nodiscard]] std::string Log();

 private:
  TempDirectory directory_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// What a browser does with a sign-in address: GET it, and GET the address
// the answer redirects to (the program's loopback listener). The body of
// the last answer, or an empty string when a step failed.
[[nodiscard]] std::string FollowSignIn(const std::string& url);

// One HTTP/1.0 request to 127.0.0.1; the whole answer (status line,
// headers and body), or empty when nothing came.
[[nodiscard]] std::string HttpExchange(int port, const std::string& method, const std::string& target,
                                       const std::string& body = {});

}  // namespace lp::testing
