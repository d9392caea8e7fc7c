// End to end against a real SMTP server (Postfix with Dovecot's SASL on
// 127.0.0.1): mails queued with `lanternpost-cli compose` and sent with
// `lanternpost-cli send` go through the send pipeline and the Qt transport,
// with and without SMTP AUTH, in plain text, with STARTTLS and with TLS from
// the first byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/account_table.h"
#include "config/profile.h"
#include "net/smtp_session.h"
#include "tests/support/case_name.h"
#include "tests/support/cli_runner.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::SmtpServer;
using testing::TempDirectory;

// The subject 件名テスト as one ISO-2022-JP encoded word, and the body 本文です
// in ISO-2022-JP.
constexpr const char* kSubjectUtf8 = "件名テスト";
constexpr const char* kEncodedSubject = "Subject: =?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?=";
constexpr const char* kBodyUtf8 = "本文です";
constexpr const char* kJisBody = "\x1B$BK\\J8$G$9\x1B(B";

enum class Port { Smtp, Smtps };

struct SendCase {
  const char* name;
  AccountTls tls;
  Port port;
  bool auth;
  SmtpAuthMode mode;
  const char* password;
  bool delivered;
};

class SendSmtpServerTest : public ::testing::TestWithParam<SendCase> {
 protected:
  void SetUp() override {
    if (!server_.skip_reason().empty()) GTEST_SKIP() << server_.skip_reason();
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("taro", "secret");
    // The server's self-signed certificate, trusted by the child processes.
    ASSERT_EQ(setenv("LANTERNPOST_EXTRA_CA", server_.certificate_path().c_str(), 1), 0);
  }

  void SaveAccount(const SendCase& c) {
    CSetMenuArray accounts;
    CSetMenu& taro = accounts.At(0);
    taro.name = "taro";
    taro.adr = "taro@example.jp";
    taro.smtp = server_.host();
    taro.smtp_port = static_cast<std::uint16_t>(c.port == Port::Smtp ? server_.smtp_port() : server_.smtps_port());
    taro.smtp_tls = c.tls;
    taro.smtp_auth = c.auth;
    taro.smtp_auth_mode = static_cast<int>(c.mode);
    taro.user_id = "taro";
    taro.pass = c.password;
    Profile profile(data_.File("lpost.conf"));
    ASSERT_TRUE(accounts.Save(profile));
  }

  CliResult Cli(const std::vector<std::string>& args) { return RunCli(scratch_, data_.path(), args); }

  SmtpServer server_;
  TempDirectory data_;
  TempDirectory scratch_;
};

TEST_P(SendSmtpServerTest, SendsThroughTheServer) {
  const SendCase& c = GetParam();
  SaveAccount(c);
  const CliResult composed =
      Cli({"compose", "--to", "hanako@example.com", "--subject", kSubjectUtf8, "--body", kBodyUtf8});
  ASSERT_EQ(composed.status, 0) << composed.err;

  const CliResult sent = Cli({"send"});
  const std::vector<std::string> delivered = server_.DeliveredMessages();
  if (!c.delivered) {
    EXPECT_NE(sent.status, 0);
    // The server's refusal is shown, and nothing goes out.
    EXPECT_NE(sent.err.find("535 "), std::string::npos) << sent.err;
    EXPECT_TRUE(delivered.empty()) << server_.Log();
    // The mail stays unsent: once the server takes this password, the next
    // run delivers it.
    server_.AddUser("taro", c.password);
    const CliResult retried = Cli({"send"});
    EXPECT_EQ(retried.status, 0) << retried.err << server_.Log();
    EXPECT_EQ(server_.DeliveredMessages().size(), 1u) << server_.Log();
    return;
  }
  ASSERT_EQ(sent.status, 0) << sent.out << sent.err << server_.Log();
  ASSERT_EQ(delivered.size(), 1u) << server_.Log();
  const std::string& message = delivered[0];
  EXPECT_NE(message.find(kEncodedSubject), std::string::npos) << message;
  EXPECT_NE(message.find(kJisBody), std::string::npos) << message;
  EXPECT_NE(message.find("To: hanako@example.com"), std::string::npos) << message;
  // Postfix notes the authenticated sender and TLS in its Received line.
  EXPECT_EQ(message.find("Authenticated sender: taro") != std::string::npos, c.auth) << message;
  EXPECT_EQ(message.find("(using TLS") != std::string::npos, c.tls != AccountTls::None) << message;

  // Sent mail does not go a second time.
  const CliResult again = Cli({"send"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(server_.DeliveredMessages().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendSmtpServerTest,
    ::testing::Values(
        SendCase{"PlainWithoutAuth", AccountTls::None, Port::Smtp, false, SmtpAuthMode::Automatic, "", true},
        SendCase{"CramMd5", AccountTls::None, Port::Smtp, true, SmtpAuthMode::CramMd5, "secret", true},
        SendCase{"Login", AccountTls::None, Port::Smtp, true, SmtpAuthMode::Login, "secret", true},
        SendCase{"Automatic", AccountTls::None, Port::Smtp, true, SmtpAuthMode::Automatic, "secret", true},
        SendCase{"CramMd5WrongPassword", AccountTls::None, Port::Smtp, true, SmtpAuthMode::CramMd5, "wrong", false},
        SendCase{"LoginWrongPassword", AccountTls::None, Port::Smtp, true, SmtpAuthMode::Login, "wrong", false},
        SendCase{"StartTlsWithLogin", AccountTls::StartTls, Port::Smtp, true, SmtpAuthMode::Login, "secret", true},
        SendCase{"ImplicitTlsWithCramMd5", AccountTls::Implicit, Port::Smtps, true, SmtpAuthMode::CramMd5, "secret",
                 true},
        SendCase{"ImplicitTlsWithoutAuth", AccountTls::Implicit, Port::Smtps, false, SmtpAuthMode::Automatic, "",
                 true}),
    testing::CaseName<SendCase>);

}  // namespace
}  // namespace lp
