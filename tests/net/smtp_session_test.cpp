#include "net/smtp_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "net/cram_md5.h"
#include "net/oauth_messages.h"
#include "net/smtp_messages.h"
#include "platform/code_page.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/scripted_transport.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ScriptedTransport;

// The message every script expects after DATA: dot-stuffed, ended by ".".
constexpr char kMessage[] = "Subject: test\r\n\r\nbody line\r\n..dot\r\n.\r\n";

std::string Script(const std::string& name) {
  return ScriptedTransport::LoadScript(std::string(LP_TEST_DATA_DIR) + "/smtp/" + name);
}

std::string Error(std::string_view reply) { return std::string(smtp_text::kErrorOccurred) + std::string(reply); }

// Records the status texts and the progress bar of the send window.
class StatusWindow : public Progress {
 public:
  void SetRange(int, int upper) override { range_upper = upper; }
  void SetPosition(int position) override { last_position = position; }
  void SetStatusText(std::string_view text) override { statuses.emplace_back(text); }
  bool CancelRequested() override { return false; }

  std::vector<std::string> statuses;
  int range_upper = -1;
  int last_position = -1;
};

// A queue of prepared mails, as the send pipeline hands them out.
class ListQueue : public SmtpMailQueue {
 public:
  explicit ListQueue(std::deque<SmtpMail> mails, bool fail_at_end = false)
      : mails_(std::move(mails)), fail_at_end_(fail_at_end) {}
  SmtpNextMail TakeNext(SmtpMail& mail) override {
    if (mails_.empty()) return fail_at_end_ ? SmtpNextMail::Failed : SmtpNextMail::NoneLeft;
    mail = mails_.front();
    mails_.pop_front();
    ++taken;
    return SmtpNextMail::Ready;
  }
  void Delivered() override { delivered.push_back(taken); }

  int taken = 0;
  std::vector<int> delivered;  // the number of the mail handed out last, at each delivery

 private:
  std::deque<SmtpMail> mails_;
  bool fail_at_end_;
};

// Remembers the size of every piece the session hands to the transport.
class PieceCountingTransport : public ScriptedTransport {
 public:
  using ScriptedTransport::ScriptedTransport;
  bool Send(std::string_view bytes) override {
    largest = std::max(largest, bytes.size());
    ++sends;
    return ScriptedTransport::Send(bytes);
  }
  std::size_t largest = 0;
  int sends = 0;
};

class SmtpSessionTest : public ::testing::Test {
 protected:
  SmtpSessionSettings Settings(bool auth = false, SmtpAuthMode mode = SmtpAuthMode::Automatic) {
    SmtpSessionSettings settings;
    settings.host = "mail.example.jp";
    settings.auth = auth;
    settings.auth_mode = mode;
    settings.user = "tim";
    settings.password = "tanstaaftanstaaf";
    settings.mail.sender = "tim@example.jp";
    settings.mail.recipients = {"hanako@example.jp"};
    settings.mail.message_path = MessageFile(kMessage);
    settings.log_path = dir_.File("smail.log");
    return settings;
  }

  std::string MessageFile(const std::string& bytes, const std::string& name = "smail.$$$") {
    testing::WriteFileBytes(dir_.File(name), bytes);
    return dir_.File(name);
  }

  // Plays the script to its end; the session must finish exactly once.
  SmtpSessionResult Play(ScriptedTransport& transport, const SmtpSessionSettings& settings,
                         SmtpMailQueue* queue = nullptr) {
    std::optional<SmtpSessionResult> result;
    int finished = 0;
    SmtpSession session(transport, ui_, [&](const SmtpSessionResult& r) {
      result = r;
      ++finished;
    });
    session.Start(settings, &window_, queue);
    transport.Run();
    EXPECT_THAT(transport.Failures(), IsEmpty());
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(transport.Closed());
    return result.value_or(SmtpSessionResult{SmtpOutcome::Failed, "never finished", 0, false, {}});
  }

  SmtpSessionResult Play(const std::string& script_name, const SmtpSessionSettings& settings,
                         std::size_t piece_size = 0, SmtpMailQueue* queue = nullptr) {
    ScriptedTransport transport(Script(script_name), piece_size);
    const SmtpSessionResult result = Play(transport, settings, queue);
    sent_ = transport.Sent();
    tls_requested_ = transport.TlsRequested();
    endpoint_ = transport.Endpoint();
    return result;
  }

  std::string Log() { return testing::ReadFileBytes(dir_.File("smail.log")); }

  testing::TempDirectory dir_;
  RecordingUserInterface ui_;
  StatusWindow window_;
  std::string sent_;
  bool tls_requested_ = false;
  TransportEndpoint endpoint_;
};

TEST(SmtpTextTest, TextsAreTheShiftJisOfTheirJapanese) {
  const std::pair<const char*, const char*> texts[] = {
      {smtp_text::kCannotConnect, "SMTPサーバに接続できません"},
      {smtp_text::kErrorOccurred, "エラーが発生しました："},
      {smtp_text::kAuthNotSupported, "SMTP認証をサポートしていません"},
      {smtp_text::kConnecting, "SMTPサーバ接続中"},
      {smtp_text::kSendingRecipient, "送信先送信中：%d/%d"},
      {smtp_text::kSendingMail, "メール送信中：%d/%d"},
      {smtp_text::kAuthStart, "SMTP認証開始"},
      {smtp_text::kAuthenticating, "SMTP認証中"},
      {smtp_text::kAuthUser, "SMTP USER認証中"},
      {smtp_text::kAuthPassword, "SMTP PASSWORD認証中"},
      {smtp_text::kPlainAuthStart, "SMTP PLAIN認証開始"},
      {smtp_text::kDisconnecting, "切断中"},
      {smtp_text::kNoStartTls, "サーバがSTARTTLSに対応していません"},
      {smtp_text::kBadResponse, "サーバの応答が不正です"},
      {smtp_text::kNoResponse, "応答がありません"},
      {smtp_text::kSendError, "送信エラー"},
      {smtp_text::kWorkFileUnreadable, "送信ファイルが読めません："},
      {smtp_text::kCramRefusedInClear, "CRAM-MD5認証が拒否されました。暗号化されていない接続ではパスワードを送りません："},
  };
  for (const auto& [sjis, utf8] : texts) EXPECT_EQ(sjis, Utf8ToCp932(utf8)) << utf8;
}

TEST(CramMd5Test, AnswersTheChallengeOfRfc2195) {
  EXPECT_EQ(HmacMd5Hex("tanstaaftanstaaf", "<1896.697170952@postoffice.reston.mci.net>"),
            "b913a602c7eda7a495b4e6e7334d3890");
  EXPECT_EQ(CramMd5Response("334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n", "tim", "tanstaaftanstaaf"),
            "dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw");
}

TEST(CramMd5Test, HmacMatchesRfc2104TestVectors) {
  // RFC 2104 appendix / RFC 2202 test cases 1 and 2.
  EXPECT_EQ(HmacMd5Hex(std::string(16, '\x0b'), "Hi There"), "9294727a3638bb1c13f48ef8158bfc9d");
  EXPECT_EQ(HmacMd5Hex("Jefe", "what do ya want for nothing?"), "750c783e6ab0b503eaa86e310a5db738");
  // Keys longer than the block are hashed first (RFC 2202 case 6).
  EXPECT_EQ(HmacMd5Hex(std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First"),
            "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd");
  EXPECT_EQ(HmacMd5Hex("", ""), "74e6f7298a9c2d168935f58c001bad88");
}

// Successful dialogues, whole and cut into single bytes: every reply is
// gathered until its last line is complete.
struct SuccessCase {
  const char* script;
  bool auth;
  SmtpAuthMode mode;
  TlsMode tls;
};

class SmtpSuccessTest : public SmtpSessionTest, public ::testing::WithParamInterface<std::tuple<SuccessCase, std::size_t>> {};

TEST_P(SmtpSuccessTest, DeliversTheMessage) {
  const auto& [c, piece_size] = GetParam();
  SmtpSessionSettings settings = Settings(c.auth, c.mode);
  settings.mail.recipients = std::string(c.script) == "helo_two_recipients.smtp"
                                 ? std::vector<std::string>{"hanako@example.jp", "jiro@example.com"}
                                 : std::vector<std::string>{"hanako@example.jp"};
  settings.tls = c.tls;
  const SmtpSessionResult result = Play(c.script, settings, piece_size);
  EXPECT_EQ(result.outcome, SmtpOutcome::Sent);
  EXPECT_TRUE(result.message_accepted);
  EXPECT_EQ(result.delivered, 1);
  EXPECT_THAT(result.error_text, IsEmpty());
  EXPECT_THAT(ui_.messages, IsEmpty());
  EXPECT_THAT(result.refused_recipients, IsEmpty());
  EXPECT_THAT(sent_, HasSubstr(kMessage));
}

INSTANTIATE_TEST_SUITE_P(
    Dialogues, SmtpSuccessTest,
    ::testing::Combine(
        ::testing::Values(SuccessCase{"helo_two_recipients.smtp", false, SmtpAuthMode::Automatic, TlsMode::None},
                          SuccessCase{"ehlo_cram_md5.smtp", true, SmtpAuthMode::Automatic, TlsMode::None},
                          SuccessCase{"ehlo_cram_md5.smtp", true, SmtpAuthMode::CramMd5, TlsMode::Implicit},
                          SuccessCase{"auth_login.smtp", true, SmtpAuthMode::Login, TlsMode::None},
                          SuccessCase{"cram_refused_login_fallback.smtp", true, SmtpAuthMode::Automatic,
                                      TlsMode::Implicit},
                          SuccessCase{"login_only_offered.smtp", true, SmtpAuthMode::Automatic, TlsMode::None},
                          SuccessCase{"ehlo_split_across_pieces.smtp", true, SmtpAuthMode::Automatic, TlsMode::None},
                          SuccessCase{"starttls_upgrade.smtp", false, SmtpAuthMode::Automatic, TlsMode::StartTls},
                          SuccessCase{"starttls_injected_reply.smtp", true, SmtpAuthMode::Automatic, TlsMode::StartTls}),
        ::testing::Values(std::size_t{0}, std::size_t{1})));

TEST(SmtpAuthOfferTest, MechanismsAreReadFromTheEhloReply) {
  struct Case {
    const char* reply;
    bool listed;
    bool cram_md5;
    bool login;
  };
  const Case cases[] = {
      {"250-mail.example.jp\r\n250-AUTH CRAM-MD5 LOGIN\r\n250 8BITMIME\r\n", true, true, true},
      {"250-mail.example.jp\r\n250 auth plain login\r\n", true, false, true},
      {"250-mail.example.jp\r\n250-AUTH=CRAM-MD5\r\n250 SIZE 10240000\r\n", true, true, false},
      {"250-mail.example.jp\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n", true, false, false},
      {"250-mail.example.jp\r\n250-AUTHX CRAM-MD5\r\n250 X-LOGIN LOGIN\r\n", false, false, false},
      {"250 mail.example.jp\r\n", false, false, false},
  };
  for (const Case& c : cases) {
    const SmtpAuthOffer offer = AuthMechanismsOffered(c.reply);
    EXPECT_EQ(offer.listed, c.listed) << c.reply;
    EXPECT_EQ(offer.cram_md5, c.cram_md5) << c.reply;
    EXPECT_EQ(offer.login, c.login) << c.reply;
  }
}

TEST_F(SmtpSessionTest, ConnectsToTheAccountsServerAndShowsEachStep) {
  SmtpSessionSettings settings = Settings(true);
  settings.port = 587;
  settings.idle_timeout = std::chrono::seconds(30);
  settings.tls = TlsMode::Implicit;
  (void)Play("cram_refused_login_fallback.smtp", settings);
  EXPECT_EQ(endpoint_.host, "mail.example.jp");
  EXPECT_EQ(endpoint_.port, 587);
  EXPECT_EQ(endpoint_.idle_timeout, std::chrono::seconds(30));
  EXPECT_THAT(window_.statuses,
              ElementsAre(smtp_text::kConnecting, smtp_text::kAuthStart, smtp_text::kPlainAuthStart,
                          smtp_text::kAuthUser, smtp_text::kAuthPassword,
                          Utf8ToCp932("送信先送信中：1/1"),
                          Utf8ToCp932("メール送信中：1/1"),
                          smtp_text::kDisconnecting));
}

TEST_F(SmtpSessionTest, LogHoldsTheDialogueWithCredentialsMasked) {
  (void)Play("ehlo_cram_md5.smtp", Settings(true));
  EXPECT_EQ(Log(),
            "EHLO LPOST\r\n"
            "250-mail.example.jp\r\n250-AUTH CRAM-MD5 LOGIN\r\n250 8BITMIME\r\n"
            "AUTH CRAM-MD5\r\n"
            "334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n"
            "******\r\n"
            "235 2.7.0 Authentication successful\r\n"
            "MAIL FROM:<tim@example.jp>\r\n250 sender ok\r\n"
            "RCPT TO:<hanako@example.jp>\r\n250 recipient ok\r\n"
            "DATA\r\n354 end with <CRLF>.<CRLF>\r\n" +
                std::string(kMessage) +
                "250 queued as 1\r\n"
                "QUIT\r\n221 bye\r\n");

  (void)Play("auth_login.smtp", Settings(true, SmtpAuthMode::Login));
  const std::string log = Log();
  EXPECT_THAT(log, Not(HasSubstr("AUTH CRAM-MD5\r\n")));  // the log starts afresh with each session
  EXPECT_THAT(log, HasSubstr("AUTH LOGIN\r\n334 VXNlcm5hbWU6\r\n******\r\n334 UGFzc3dvcmQ6\r\n******\r\n235 "));
  EXPECT_THAT(log, Not(HasSubstr("dGlt")));                      // the user name
  EXPECT_THAT(log, Not(HasSubstr("dGFuc3RhYWZ0YW5zdGFhZg==")));  // the password
}

TEST_F(SmtpSessionTest, TwoQueuedMailsGoOutInOneDialogue) {
  const std::string first = MessageFile(kMessage, "first.$$$");
  const std::string second = MessageFile(kMessage, "second.$$$");
  ListQueue queue({SmtpMail{"tim@example.jp", {"hanako@example.jp"}, first},
                   SmtpMail{"tim@example.jp", {}, first},  // LAN only: no SMTP
                   SmtpMail{"tim@example.jp", {"jiro@example.com"}, second}});
  SmtpSessionSettings settings = Settings();
  settings.mail_total = 3;
  const SmtpSessionResult result = Play("two_mails.smtp", settings, 0, &queue);
  EXPECT_EQ(result.outcome, SmtpOutcome::Sent);
  EXPECT_EQ(result.delivered, 3);
  EXPECT_THAT(queue.delivered, ElementsAre(1, 2, 3));
  EXPECT_THAT(window_.statuses, ::testing::Contains(Utf8ToCp932("メール送信中：3/3")));
}

TEST_F(SmtpSessionTest, MailThatCannotBePreparedStopsTheRunAfterTheDeliveredOnes) {
  ListQueue queue({SmtpMail{"tim@example.jp", {"hanako@example.jp"}, MessageFile(kMessage)}}, true);
  ScriptedTransport transport(
      "S: 220 hi\nC: HELO LPOST\nS: 250 hi\nC: MAIL FROM:<tim@example.jp>\nS: 250 ok\n"
      "C: RCPT TO:<hanako@example.jp>\nS: 250 ok\nC: DATA\nS: 354 go\n"
      "C: Subject: test\\r\\n\\r\\nbody line\\r\\n..dot\\r\\n.\nS: 250 queued\nC: QUIT\nS: 221 bye\n");
  const SmtpSessionResult result = Play(transport, Settings(), &queue);
  EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
  EXPECT_EQ(result.delivered, 1);
  EXPECT_THAT(queue.delivered, ElementsAre(1));
  EXPECT_THAT(ui_.messages, IsEmpty());  // the preparer reports its own failure
}

// Refusals: each ends the dialogue with QUIT and leaves the mail unsent.
struct RefusalCase {
  const char* script;
  bool auth;
  SmtpAuthMode mode;
  std::string message;  // empty: none shown
  std::vector<std::string> refused;
  bool auth_refused = false;  // the credentials were refused
};

class SmtpRefusalTest : public SmtpSessionTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SmtpRefusalTest, EndsWithQuitAndTheMessage) {
  const RefusalCase& c = GetParam();
  SmtpSessionSettings settings = Settings(c.auth, c.mode);
  if (std::string(c.script) == "recipient_refused.smtp") settings.mail.recipients = {"hanako@example.jp", "nobody@example.jp"};
  const SmtpSessionResult result = Play(c.script, settings);
  EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
  EXPECT_FALSE(result.message_accepted);
  EXPECT_EQ(result.delivered, 0);
  EXPECT_EQ(result.error_text, c.message);
  if (c.message.empty()) {
    EXPECT_THAT(ui_.messages, IsEmpty());
  } else {
    EXPECT_THAT(ui_.messages, ElementsAre(c.message));
  }
  EXPECT_EQ(result.refused_recipients, c.refused);
  EXPECT_EQ(result.auth_refused, c.auth_refused);
  // No password leaves in clear after a refused AUTH.
  EXPECT_THAT(sent_, Not(HasSubstr("dGFuc3RhYWZ0YW5zdGFhZg==")));
  // Nothing of the message goes out unless the server said 354.
  if (std::string(c.script) != "message_refused.smtp") {
    EXPECT_THAT(sent_, Not(HasSubstr("body line")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SmtpRefusalTest,
    ::testing::Values(
        RefusalCase{"cram_refused_cram_only.smtp", true, SmtpAuthMode::CramMd5, "", {}},
        RefusalCase{"cram_refused_in_clear.smtp", true, SmtpAuthMode::Automatic,
                    std::string(smtp_text::kCramRefusedInClear) + "504 5.5.4 Unrecognized authentication type\r\n",
                    {}},
        RefusalCase{"no_usable_mechanism.smtp", true, SmtpAuthMode::Automatic, smtp_text::kAuthNotSupported, {}},
        RefusalCase{"cram_response_refused.smtp", true, SmtpAuthMode::Automatic,
                    Error("535 5.7.8 Authentication credentials invalid\r\n"),
                    {}, true},
        RefusalCase{"login_not_offered.smtp", true, SmtpAuthMode::Login, smtp_text::kAuthNotSupported, {}},
        RefusalCase{"login_user_refused.smtp", true, SmtpAuthMode::Login, smtp_text::kAuthNotSupported, {}},
        RefusalCase{"recipient_refused.smtp", false, SmtpAuthMode::Automatic,
                    Error("550 5.1.1 <nobody@example.jp>: Recipient address rejected\r\n"),
                    {"nobody@example.jp"}},
        RefusalCase{"data_refused.smtp", false, SmtpAuthMode::Automatic,
                    Error("554 5.5.1 Error: no valid recipients\r\n"),
                    {}},
        RefusalCase{"message_refused.smtp", false, SmtpAuthMode::Automatic,
                    Error("554 5.7.1 message rejected as spam\r\n"),
                    {}}));

TEST_F(SmtpSessionTest, RefusedStartTlsSendsNothingInClear) {
  for (const char* script : {"starttls_refused.smtp", "starttls_not_offered.smtp"}) {
    SCOPED_TRACE(script);
    ui_.messages.clear();
    SmtpSessionSettings settings = Settings(true);
    settings.tls = TlsMode::StartTls;
    const SmtpSessionResult result = Play(script, settings);
    EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
    EXPECT_FALSE(tls_requested_);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_THAT(ui_.messages[0], ::testing::StartsWith(smtp_text::kNoStartTls));
    EXPECT_THAT(sent_, Not(HasSubstr("AUTH")));
    EXPECT_THAT(sent_, Not(HasSubstr("MAIL")));
    EXPECT_THAT(sent_, Not(HasSubstr("body line")));
  }
}

TEST_F(SmtpSessionTest, LineBreaksAndOuterBlanksInAddressesAreRemoved) {
  SmtpSessionSettings settings = Settings();
  settings.mail.sender = "tim@example.jp\r\nRSET";
  // The blank is what an entry "address (name)" leaves in the envelope.
  settings.mail.recipients = {"hanako@example.jp\nDATA "};
  const SmtpSessionResult result = Play("line_breaks_in_addresses.smtp", settings);
  EXPECT_EQ(result.outcome, SmtpOutcome::Sent);
  EXPECT_THAT(sent_, Not(HasSubstr("\r\nRSET")));
}

TEST_F(SmtpSessionTest, ServerGoneBeforeAnsweringTheMessageLeavesItUndelivered) {
  const SmtpSessionResult result = Play("disconnect_in_data.smtp", Settings());
  EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
  EXPECT_FALSE(result.message_accepted);
  EXPECT_EQ(result.delivered, 0);
  EXPECT_THAT(ui_.messages, ElementsAre(smtp_text::kNoResponse));
}

TEST_F(SmtpSessionTest, ConnectionBrokenInsideDataSendsNoQuit) {
  const SmtpSessionResult result = Play("send_fails_in_data.smtp", Settings());
  EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
  EXPECT_FALSE(result.message_accepted);
  EXPECT_THAT(ui_.messages, ElementsAre(smtp_text::kSendError));
  EXPECT_THAT(sent_, Not(HasSubstr("QUIT")));
}

TEST_F(SmtpSessionTest, ConnectionFailures) {
  struct Case {
    const char* script;
    const char* message;
  };
  for (const Case& c : {Case{"CLOSE\n", smtp_text::kCannotConnect}, Case{"REFUSE host not found\n", "host not found"},
                        Case{"S: 220 hi\nC: HELO LPOST\nCLOSE\n", smtp_text::kNoResponse}}) {
    SCOPED_TRACE(c.script);
    ui_.messages.clear();
    ScriptedTransport transport(c.script);
    const SmtpSessionResult result = Play(transport, Settings());
    EXPECT_EQ(result.outcome, std::string(c.message) == smtp_text::kNoResponse ? SmtpOutcome::Failed
                                                                                : SmtpOutcome::ConnectFailed);
    EXPECT_THAT(ui_.messages, ElementsAre(c.message));
  }
}

TEST_F(SmtpSessionTest, BrokenMessageFileIsNeverSent) {
  for (const std::string& bytes : {std::string("Subject: cut short\r\n"), std::string()}) {
    SCOPED_TRACE(bytes);
    ui_.messages.clear();
    SmtpSessionSettings settings = Settings();
    settings.mail.message_path = MessageFile(bytes, "broken.$$$");
    ScriptedTransport transport(
        "S: 220 hi\nC: HELO LPOST\nS: 250 hi\nC: MAIL FROM:<tim@example.jp>\nS: 250 ok\n"
        "C: RCPT TO:<hanako@example.jp>\nS: 250 ok\nC: QUIT\nS: 221 bye\n");
    const SmtpSessionResult result = Play(transport, settings);
    EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_THAT(ui_.messages[0], ::testing::StartsWith(smtp_text::kWorkFileUnreadable));
  }
}

TEST_F(SmtpSessionTest, OverlongReplyEndsTheSession) {
  ScriptedTransport transport("S: 220 hi\nC: HELO LPOST\nS-: 250-" + std::string(70000, 'x') + "\n");
  const SmtpSessionResult result = Play(transport, Settings());
  EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
  EXPECT_THAT(ui_.messages, ElementsAre(smtp_text::kBadResponse));
}

// A large message goes out in bounded pieces, byte for byte, and the
// progress bar counts in hundreds of bytes.
TEST_F(SmtpSessionTest, LargeMessageIsStreamedInBoundedPieces) {
  std::string message;
  for (int i = 0; message.size() < 3'000'000; ++i) message += "line " + std::to_string(i) + " of a long body\r\n";
  message += ".\r\n";
  SmtpSessionSettings settings = Settings();
  settings.mail.message_path = MessageFile(message, "large.$$$");
  std::string escaped;
  for (const char c : message.substr(0, message.size() - 2)) escaped += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  PieceCountingTransport transport(
      "S: 220 hi\nC: HELO LPOST\nS: 250 hi\nC: MAIL FROM:<tim@example.jp>\nS: 250 ok\n"
      "C: RCPT TO:<hanako@example.jp>\nS: 250 ok\nC: DATA\nS: 354 go\nC: " + escaped + "\nS: 250 queued\nC: QUIT\nS: 221 bye\n");
  const SmtpSessionResult result = Play(transport, settings);
  EXPECT_EQ(result.outcome, SmtpOutcome::Sent);
  EXPECT_TRUE(result.message_accepted);
  EXPECT_LE(transport.largest, 64u * 1024u);
  EXPECT_GE(transport.sends, static_cast<int>(message.size() / (64 * 1024)));
  EXPECT_EQ(window_.range_upper, static_cast<int>(message.size() / 100));
  EXPECT_EQ(window_.last_position, static_cast<int>(message.size() / 100));
}

// Over a network slower than the disk the message waits in the file, not in
// memory: the session stops when the transport holds a few pieces and goes
// on when it reports room.
class SlowNetworkTest : public SmtpSessionTest {
 protected:
  // `lines` lines of 64 bytes and the final ".".
  static std::string Message(int lines) {
    std::string message;
    for (int i = 0; i < lines; ++i) {
      const std::string number = std::to_string(i);
      message += number + std::string(62 - number.size(), 'x') + "\r\n";
    }
    return message + ".\r\n";
  }
  static std::string Escaped(std::string_view bytes) {
    std::string escaped;
    for (const char c : bytes) escaped += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return escaped;
  }
  static constexpr const char* kUntilData =
      "S: 220 hi\nC: HELO LPOST\nS: 250 hi\nC: MAIL FROM:<tim@example.jp>\nS: 250 ok\n"
      "C: RCPT TO:<hanako@example.jp>\nS: 250 ok\nC: DATA\nS: 354 go\n";
};

TEST_F(SlowNetworkTest, MessageGoesOutAsTheNetworkTakesIt) {
  const std::string message = Message(50'000);  // 3.2 MB
  SmtpSessionSettings settings = Settings();
  settings.mail.message_path = MessageFile(message, "large.$$$");
  ScriptedTransport transport(std::string(kUntilData) + "C: " + Escaped(message.substr(0, message.size() - 2)) +
                              "\nS: 250 queued\nC: QUIT\nS: 221 bye\n");
  transport.HoldWrites();
  const SmtpSessionResult result = Play(transport, settings);
  EXPECT_EQ(result.outcome, SmtpOutcome::Sent);
  EXPECT_TRUE(result.message_accepted);
  EXPECT_LE(transport.LargestQueue(), 320u * 1024u);
  EXPECT_GE(transport.WrittenEvents(), static_cast<int>(message.size() / (320 * 1024)));
}

// A server that refuses the message before its end (too large, say) is
// answered by closing: inside DATA a QUIT would be read as message text.
TEST_F(SlowNetworkTest, RefusalBeforeTheEndOfTheMessageClosesTheConnection) {
  const std::string message = Message(50'000);
  SmtpSessionSettings settings = Settings();
  settings.mail.message_path = MessageFile(message, "large.$$$");
  // What goes out before the first wait: four pieces of 64 KiB.
  const std::string first = message.substr(0, 4 * 64 * 1024);
  ScriptedTransport transport(std::string(kUntilData) + "C: " + Escaped(first.substr(0, first.size() - 2)) +
                              "\nS: 552 5.3.4 Message size exceeds fixed limit\n");
  transport.HoldWrites();
  const SmtpSessionResult result = Play(transport, settings);
  EXPECT_EQ(result.outcome, SmtpOutcome::Failed);
  EXPECT_FALSE(result.message_accepted);
  EXPECT_EQ(transport.Sent().find("QUIT"), std::string::npos);
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_THAT(ui_.messages.back(), HasSubstr("552 5.3.4"));
}

TEST_F(SmtpSessionTest, ProgressRangeOfAHundredKilobyteMessage) {
  std::string message(100'000 - 5, 'a');
  message += "\r\n.\r\n";
  SmtpSessionSettings settings = Settings();
  settings.mail.message_path = MessageFile(message, "100k.$$$");
  ScriptedTransport transport(
      "S: 220 hi\nC: HELO LPOST\nS: 250 hi\nC: MAIL FROM:<tim@example.jp>\nS: 250 ok\n"
      "C: RCPT TO:<hanako@example.jp>\nS: 250 ok\nC: DATA\nS: 354 go\nC: " + std::string(100'000 - 5, 'a') +
      "\\r\\n.\nS: 250 queued\nC: QUIT\nS: 221 bye\n");
  (void)Play(transport, settings);
  EXPECT_EQ(window_.range_upper, 1000);
  EXPECT_EQ(window_.last_position, 1000);
}

// A server that answers every line with a random reply, cut at random
// places, and goes away at a random moment.
class RandomServer : public Transport {
 public:
  explicit RandomServer(unsigned seed) : random_(seed) {}
  void Connect(const TransportEndpoint&, TransportEvents& events) override {
    events_ = &events;
    events.OnConnected();
    Answer();
  }
  bool Send(std::string_view bytes) override {
    if (closed_) return false;
    if (starttls_sent_ && !tls_started_) clear_after_starttls += bytes;
    if (bytes.rfind("STARTTLS", 0) == 0) starttls_sent_ = true;
    if (bytes.find('\n') != std::string_view::npos) Answer();
    return true;
  }
  void StartTls() override { tls_pending_ = true; }
  void Close() override { closed_ = true; }

  void Run() {
    for (int turn = 0; turn < 200 && !closed_; ++turn) {
      if (tls_pending_) {
        tls_pending_ = false;
        pending_.clear();
        tls_started_ = true;
        events_->OnTlsStarted();
        continue;
      }
      if (pending_.empty() || Pick(40) == 0) {
        closed_ = true;
        events_->OnDisconnected("");
        return;
      }
      const std::size_t cut = 1 + Pick(static_cast<unsigned>(pending_.size()));
      const std::string piece = pending_.substr(0, cut);
      pending_.erase(0, cut);
      events_->OnReceived(piece);
    }
    if (!closed_) {
      closed_ = true;
      events_->OnDisconnected("");
    }
  }
  // What the client sent after STARTTLS while the connection was still in clear.
  std::string clear_after_starttls;

 private:
  unsigned Pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
  void Answer() {
    static const char* const kReplies[] = {
        "250 ok\r\n", "250-a\r\n250-STARTTLS\r\n250 AUTH CRAM-MD5\r\n", "220 go\r\n", "235 ok\r\n",
        "334 PDE4OTY+\r\n", "334 \r\n", "354 go\r\n", "504 no\r\n", "535 no\r\n", "550 no\r\n",
        "421 bye\r\n", "garbage\r\n", "\r\n", "250", "\0\0\0\n", "251 forward\r\n"};
    const char* reply = kReplies[Pick(std::size(kReplies))];
    pending_ += std::string(reply, std::char_traits<char>::length(reply) + (reply[0] == '\0' ? 4 : 0));
  }

  std::mt19937 random_;
  TransportEvents* events_ = nullptr;
  std::string pending_;
  bool closed_ = false;
  bool tls_pending_ = false;
  bool starttls_sent_ = false;
  bool tls_started_ = false;
};

TEST_F(SmtpSessionTest, RandomRepliesAlwaysEndTheSessionOnce) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    SmtpSessionSettings settings = Settings(seed % 2 == 0, static_cast<SmtpAuthMode>(seed % 3));
    settings.tls = static_cast<TlsMode>(seed % 3);
    RandomServer server(seed);
    int finished = 0;
    SmtpSession session(server, ui_, [&finished](const SmtpSessionResult&) { ++finished; });
    session.Start(settings, &window_);
    server.Run();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(session.Running());
    // The password never leaves in any form the log could show.
    EXPECT_THAT(Log(), Not(HasSubstr("dGFuc3RhYWZ0YW5zdGFhZg==")));
    // Nothing but QUIT follows STARTTLS in clear.
    if (!server.clear_after_starttls.empty()) {
      EXPECT_EQ(server.clear_after_starttls, "QUIT\r\n");
    }
  }
}

TEST_F(SmtpSessionTest, CancelEndsAtOnceWithoutAMessage) {
  ScriptedTransport transport("S: 220 hi\n");
  std::optional<SmtpSessionResult> result;
  SmtpSession session(transport, ui_, [&](const SmtpSessionResult& r) { result = r; });
  session.Start(Settings(), &window_);
  session.Cancel();
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->outcome, SmtpOutcome::ConnectFailed);
  EXPECT_TRUE(transport.Closed());
  EXPECT_FALSE(session.Running());
  EXPECT_THAT(ui_.messages, IsEmpty());
}

// OAuth 2.0: the EHLO offer picks the mechanism; a refusal challenge is
// ended the way the mechanism wants and the token counts as refused.
constexpr char kSmtpXOAuth2[] = "dXNlcj1hbGljZUBleGFtcGxlLmpwAWF1dGg9QmVhcmVyIHlhMjkudG9rAQE=";
constexpr char kSmtpBearer[] =
    "bixhPWFsaWNlQGV4YW1wbGUuanAsAWhvc3Q9c210cC5leGFtcGxlLmpwAXBvcnQ9NDY1AWF1dGg9QmVhcmVyIHlhMjkudG9rAQE=";
// {"status":"invalid_token","schemes":"bearer","scope":"https://mail.google.com/"}
constexpr char kSmtpChallenge[] =
    "eyJzdGF0dXMiOiJpbnZhbGlkX3Rva2VuIiwic2NoZW1lcyI6ImJlYXJlciIsInNjb3BlIjoiaHR0cHM6Ly9tYWlsLmdvb2dsZS5jb20vIn0=";
constexpr char kSmtpDelivery[] =
    "C: MAIL FROM:<tim@example.jp>\nS: 250 ok\nC: RCPT TO:<hanako@example.jp>\nS: 250 ok\nC: DATA\nS: 354 go\n"
    "C: Subject: test\\r\\n\\r\\nbody line\\r\\n..dot\\r\\n.\nS: 250 queued\nC: QUIT\nS: 221 bye\n";

struct SmtpOAuthCase {
  const char* name;
  std::string dialogue;  // after EHLO
  SmtpOutcome outcome;
  std::string message;  // empty: none shown
};

TEST_F(SmtpSessionTest, OAuthLoginsAndRefusals) {
  const std::string refused = oauth_text::kRefused;
  const std::vector<SmtpOAuthCase> cases = {
      {"XOAUTH2 offered", "S: 250-smtp.example.jp\nS: 250 AUTH LOGIN PLAIN XOAUTH2\nC: AUTH XOAUTH2 " +
                              std::string(kSmtpXOAuth2) + "\nS: 235 2.7.0 Accepted\n" + kSmtpDelivery,
       SmtpOutcome::Sent, ""},
      {"OAUTHBEARER preferred", "S: 250-smtp.example.jp\nS: 250 AUTH XOAUTH2 OAUTHBEARER\nC: AUTH OAUTHBEARER " +
                                    std::string(kSmtpBearer) + "\nS: 235 ok\n" + kSmtpDelivery,
       SmtpOutcome::Sent, ""},
      {"XOAUTH2 refusal", "S: 250 AUTH XOAUTH2\nC: AUTH XOAUTH2 " + std::string(kSmtpXOAuth2) + "\nS: 334 " +
                              kSmtpChallenge + "\nC: \nS: 535 5.7.8 rejected\nC: QUIT\nS: 221 bye\n",
       SmtpOutcome::Failed, refused + "invalid_token"},
      {"OAUTHBEARER refusal", "S: 250 AUTH OAUTHBEARER\nC: AUTH OAUTHBEARER " + std::string(kSmtpBearer) +
                                  "\nS: 334 " + kSmtpChallenge + "\nC: AQ==\nS: 535 no\nC: QUIT\nS: 221 bye\n",
       SmtpOutcome::Failed, refused + "invalid_token"},
      {"malformed challenge", "S: 250 AUTH XOAUTH2\nC: AUTH XOAUTH2 " + std::string(kSmtpXOAuth2) +
                                  "\nS: 334 not-json\nC: *\nS: 501 cancelled\nC: QUIT\nS: 221 bye\n",
       SmtpOutcome::Failed, refused + "501 cancelled\r\n"},
      {"no OAuth offered", "S: 250 AUTH LOGIN PLAIN\nC: QUIT\nS: 221 bye\n", SmtpOutcome::Failed,
       oauth_text::kNotOffered},
  };
  SmtpSessionSettings settings = Settings();
  settings.host = "smtp.example.jp";
  settings.port = 465;
  settings.tls = TlsMode::Implicit;
  settings.oauth = true;
  settings.user = "alice@example.jp";
  settings.access_token = "ya29.tok";
  for (const SmtpOAuthCase& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.messages.clear();
    ScriptedTransport transport("S: 220 ready\nC: EHLO LPOST\n" + c.dialogue);
    const SmtpSessionResult result = Play(transport, settings);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.token_refused, c.outcome != SmtpOutcome::Sent && c.message != oauth_text::kNotOffered);
    EXPECT_THAT(Log(), Not(HasSubstr("ya29")));
    EXPECT_THAT(Log(), Not(HasSubstr("dXNlcj1")));
    if (c.message.empty()) {
      EXPECT_THAT(ui_.messages, IsEmpty());
    } else {
      EXPECT_THAT(ui_.messages, ElementsAre(c.message));
    }
  }
}

TEST_F(SmtpSessionTest, OAuthNeverTravelsInClear) {
  SmtpSessionSettings settings = Settings();
  settings.oauth = true;
  settings.access_token = "ya29.tok";
  ScriptedTransport transport("S: 220 ready\n");
  std::optional<SmtpSessionResult> result;
  SmtpSession session(transport, ui_, [&](const SmtpSessionResult& r) { result = r; });
  session.Start(settings, &window_);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->outcome, SmtpOutcome::ConnectFailed);
  EXPECT_EQ(transport.Endpoint().host, "");
  EXPECT_THAT(ui_.messages, ElementsAre(oauth_text::kNeedsTls));
}

TEST_F(SmtpSessionTest, ProviderRefusingPasswordsOffersTheSignIn) {
  ScriptedTransport transport(
      "S: 220 ready\nC: EHLO LPOST\nS: 250 AUTH LOGIN XOAUTH2\nC: AUTH LOGIN\nS: 334 VXNlcm5hbWU6\nC: dGlt\n"
      "S: 334 UGFzc3dvcmQ6\nC: dGFuc3RhYWZ0YW5zdGFhZg==\n"
      "S: 535 5.7.139 Authentication unsuccessful, basic authentication is disabled.\nC: QUIT\nS: 221 bye\n");
  const SmtpSessionResult result = Play(transport, Settings(true, SmtpAuthMode::Login));
  EXPECT_TRUE(result.auth_refused);
  EXPECT_TRUE(result.passwords_off);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], HasSubstr(oauth_text::kPasswordsOff));
}

}  // namespace
}  // namespace lp
