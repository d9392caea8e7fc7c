#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "config/account_table.h"
#include "config/profile.h"
#include "tests/support/cli_runner.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/oauth_token_server.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_directory.h"

// OAuth 2.0 end to end: lanternpost-cli signs in against a small
// authorization server (the browser replaced by an HTTP client that follows
// the redirect), then receives from Dovecot, which checks every token with
// that server; tokens run out, are refreshed, and are revoked.

namespace lp {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::CliResult;
using testing::DovecotServer;
using testing::OAuthTokenServer;
using testing::RunCli;
using testing::SmtpServer;
using testing::TempDirectory;

std::string Mail(const std::string& subject) {
  return "From: yamada@example.jp\r\nTo: alice@example.jp\r\nSubject: " + subject + "\r\nMessage-Id: <" + subject +
         "@example.jp>\r\n\r\nbody\r\n";
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class CliOAuthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tokens_.running());
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("alice", "no password is ever used");
    // Both servers' certificates, trusted by the child processes.
    std::string certificates = testing::ReadFileBytes(server_.certificate_path());
    if (smtp_.running()) certificates += testing::ReadFileBytes(smtp_.certificate_path());
    testing::WriteFileBytes(scratch_.File("ca.pem"), certificates);
    ASSERT_EQ(setenv("LANTERNPOST_EXTRA_CA", scratch_.File("ca.pem").c_str(), 1), 0);
    CSetMenu& alice = accounts_.At(0);
    alice.name = "alice";
    alice.pop = server_.host();
    alice.pop_port = static_cast<std::uint16_t>(server_.pop3s_port());
    alice.pop_tls = AccountTls::Implicit;
    alice.user_id = "alice";
    alice.adr = "alice@example.jp";
    alice.not_del = false;
    alice.auth = AccountAuth::OAuth2;
    alice.oauth_provider = "local";
    alice.smtp = smtp_.host();
    alice.smtp_port = static_cast<std::uint16_t>(smtp_.smtps_port());
    alice.smtp_tls = AccountTls::Implicit;
    Profile profile(data_.File("lpost.conf"));
    ASSERT_TRUE(accounts_.Save(profile));
    testing::WriteFileBytes(data_.File("oauth-providers.ini"),
                            "[Providers]\nIds=local\n[local]\nName=test\nAuthorizationUrl=" + tokens_.Url("/authorize") +
                                "\nTokenUrl=" + tokens_.Url("/token") + "\nScope=mail\nUserName=user\nClientId=test-client\n");
  }

  CliResult Cli(const std::vector<std::string>& args) { return RunCli(scratch_, data_.path(), args); }

  // Runs "signin" and plays the browser; the command's result.
  CliResult SignIn() {
    TempDirectory run;
    const int pid = testing::StartCli(run, data_.path(), {"signin", "--time-limit", "60"});
    EXPECT_GT(pid, 0);
    std::string url;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (url.empty() && std::chrono::steady_clock::now() < deadline) {
      const std::string out = testing::ReadFileBytes(run.File("out"));
      const std::size_t at = out.find("http://");
      const std::size_t end = at == std::string::npos ? at : out.find('\n', at);
      if (end != std::string::npos) {
        url = out.substr(at, end - at);
      } else {
        // The child prints the address as soon as it listens.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    EXPECT_THAT(url, HasSubstr("code_challenge_method=S256"));
    EXPECT_FALSE(testing::FollowSignIn(url).empty());
    int status = 0;
    (void)::waitpid(pid, &status, 0);
    return CliResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadFileBytes(run.File("out")),
                     testing::ReadFileBytes(run.File("err"))};
  }

  OAuthTokenServer tokens_{"alice", "test-client"};
  DovecotServer server_{tokens_.Url("/introspect")};
  SmtpServer smtp_{tokens_.Url("/introspect")};
  TempDirectory data_;
  TempDirectory scratch_;
  CSetMenuArray accounts_;
};

TEST_F(CliOAuthTest, SignInReceiveRefreshAndRevoke) {
  server_.AddMessages("alice", {Mail("first")});
  const CliResult before = Cli({"receive"});
  EXPECT_NE(before.status, 0);
  EXPECT_THAT(before.err, HasSubstr("サインインが必要です"));

  const CliResult signed_in = SignIn();
  ASSERT_EQ(signed_in.status, 0) << signed_in.err;
  EXPECT_THAT(signed_in.out, HasSubstr("0\talice\talice\n"));
  EXPECT_THAT(tokens_.Log(), HasSubstr("token authorization_code"));

  const CliResult received = Cli({"receive"});
  EXPECT_EQ(received.status, 0) << received.err;
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
  EXPECT_EQ(Count(tokens_.Log(), "introspect active"), 1);

  // The same token sends through Postfix, which asks Dovecot's SASL.
  if (smtp_.running()) {
    const CliResult composed =
        Cli({"compose", "--to", "bob@example.jp", "--subject", "oauth", "--body", "sent with a token"});
    ASSERT_EQ(composed.status, 0) << composed.err;
    const CliResult sent = Cli({"send"});
    EXPECT_EQ(sent.status, 0) << sent.err << smtp_.Log();
    ASSERT_EQ(smtp_.DeliveredMessages().size(), 1u);
    EXPECT_THAT(smtp_.DeliveredMessages()[0], HasSubstr("sent with a token"));
  }

  // The stored token runs out: it is renewed before the login.
  const std::string file = testing::ReadFileBytes(data_.File("oauth-tokens"));
  const std::size_t last_tab = file.rfind('\t');
  ASSERT_NE(last_tab, std::string::npos);
  testing::WriteFileBytes(data_.File("oauth-tokens"), file.substr(0, last_tab + 1) + "1\n");
  server_.AddMessages("alice", {Mail("second")});
  const CliResult refreshed = Cli({"receive"});
  EXPECT_EQ(refreshed.status, 0) << refreshed.err;
  EXPECT_EQ(Count(tokens_.Log(), "token refresh_token"), 1);
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());

  // The server stops taking the token before its time: that login fails,
  // and the next one gets a new token.
  tokens_.ExpireAccessTokens();
  server_.AddMessages("alice", {Mail("third")});
  const CliResult refused = Cli({"receive"});
  EXPECT_NE(refused.status, 0);
  EXPECT_THAT(refused.err, HasSubstr("OAuth 2.0 の認証が拒否されました"));
  const CliResult again = Cli({"receive"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Count(tokens_.Log(), "token refresh_token"), 2);
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());

  // Revoked: the token is refused, the refresh too, and a new sign-in is
  // asked for; nothing is received and the dead tokens are forgotten.
  tokens_.RevokeAll();
  server_.AddMessages("alice", {Mail("fourth")});
  const CliResult token_refused = Cli({"receive"});
  EXPECT_NE(token_refused.status, 0);
  EXPECT_THAT(token_refused.err, HasSubstr("OAuth 2.0 の認証が拒否されました"));
  const CliResult revoked = Cli({"receive"});
  EXPECT_NE(revoked.status, 0);
  EXPECT_THAT(revoked.err, HasSubstr("サインインが必要です"));
  EXPECT_EQ(server_.Messages("alice").size(), 1u);
  EXPECT_EQ(testing::ReadFileBytes(data_.File("oauth-tokens")), "");
}

}  // namespace
}  // namespace lp
