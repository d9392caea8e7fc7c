#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "net/pop_messages.h"
#include "net/pop_session.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_directory.h"

// The POP3 session over the Qt transport against a real Dovecot on 127.0.0.1.

namespace lp {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::DovecotServer;

// A Japanese mail as a mail program would hand it over (ISO-2022-JP).
std::string JapaneseMail(int n, const std::string& extra_body = {}) {
  return "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
         "To: alice@example.jp\r\n"
         "Subject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?= " + std::to_string(n) + "\r\n"
         "Message-Id: <" + std::to_string(n) + "@example.jp>\r\n"
         "MIME-Version: 1.0\r\n"
         "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n"
         "\x1B$B$3$s$K$A$O\x1B(B\r\n" + extra_body;
}

int CountOf(const std::string& text, const std::string& what) {
  int count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

class PopSessionDovecotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("alice", "secret");
    EnsureEventLoopApplication();
    settings_.account_name = "dovecot";
    settings_.host = server_.host();
    settings_.port = server_.pop3_port();
    settings_.user = "alice";
    settings_.password = "secret";
    settings_.keep_on_server = false;
    settings_.received_uid_list = "UIDLdovecot.txt";
    settings_.new_uid_list = "UIDL2dovecot.txt";
  }

  enum class Machine { Receive, DeleteAll };

  // Runs one session to its end; `while_running` is polled between events.
  PopSessionResult Run(Machine machine = Machine::Receive, const std::function<void()>& while_running = {}) {
    (void)RemoveFile("inbox.log");
    QtTransport transport(QtTransportOptions{server_.certificate_path()});
    std::optional<PopSessionResult> result;
    CPopSession session(transport, ui_, [&](const PopSessionResult& r) { result = r; });
    if (machine == Machine::Receive) {
      session.StartReceive(settings_);
    } else {
      session.StartDeleteAll(settings_);
    }
    const bool ended = RunEventLoopUntil(
        [&] {
          if (!result && while_running) while_running();
          return result.has_value();
        },
        60s);
    EXPECT_TRUE(ended) << server_.Log();
    if (!ended) session.Cancel();
    EXPECT_THAT(testing::ReadFileBytes(dir_.File("rec.log")), Not(HasSubstr("PASS secret")));
    return result.value_or(PopSessionResult{PopOutcome::Failed, 0, std::nullopt, "did not end"});
  }

  std::string Spool() const { return PathExists("inbox.log") ? testing::ReadFileBytes(dir_.File("inbox.log")) : ""; }

  DovecotServer server_;
  testing::TempDirectory dir_{true};
  RecordingUserInterface ui_;
  PopSessionSettings settings_;
};

TEST_F(PopSessionDovecotTest, UserPassFetchesAndDeletesEveryMessage) {
  server_.AddMessages("alice", {JapaneseMail(1), JapaneseMail(2, ".leading dot\r\n"), JapaneseMail(3)});
  const PopSessionResult result = Run();
  EXPECT_EQ(result.outcome, PopOutcome::Completed) << result.error_text;
  EXPECT_EQ(result.received, 3);
  EXPECT_THAT(ui_.messages, IsEmpty());
  const std::string spool = Spool();
  EXPECT_EQ(CountOf(spool, "\r\n.\r\n"), 3);
  EXPECT_EQ(spool.rfind("+OK", 0), 0u);
  EXPECT_THAT(spool, HasSubstr("\r\n..leading dot\r\n"));
  EXPECT_THAT(spool, HasSubstr("Message-Id: <3@example.jp>"));
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
}

TEST_F(PopSessionDovecotTest, ApopWithUidlFetchesOnlyWhatIsNew) {
  settings_.use_apop = true;
  settings_.keep_on_server = true;
  server_.AddMessages("alice", {JapaneseMail(1), JapaneseMail(2)});
  PopSessionResult first = Run();
  EXPECT_EQ(first.outcome, PopOutcome::Completed) << first.error_text;
  EXPECT_EQ(first.received, 2);
  EXPECT_EQ(first.new_retr, 1);
  EXPECT_EQ(CountOf(Spool(), "\r\n.\r\n"), 2);

  server_.AddMessages("alice", {JapaneseMail(3)});
  const PopSessionResult second = Run();
  EXPECT_EQ(second.outcome, PopOutcome::Completed) << second.error_text;
  EXPECT_EQ(second.received, 1);
  const std::string spool = Spool();
  EXPECT_EQ(CountOf(spool, "\r\n.\r\n"), 1);
  EXPECT_THAT(spool, HasSubstr("Message-Id: <3@example.jp>"));
  EXPECT_EQ(server_.Messages("alice").size(), 3u);

  const PopSessionResult third = Run();
  EXPECT_EQ(third.received, 0);
  EXPECT_EQ(Spool(), "");
}

struct TlsCase {
  const char* name;
  bool implicit;
};

TEST_F(PopSessionDovecotTest, TlsAndStlsLogIn) {
  server_.AddMessages("alice", {JapaneseMail(1)});
  settings_.keep_on_server = true;
  for (const TlsCase& c : {TlsCase{"STLS", false}, TlsCase{"implicit", true}}) {
    SCOPED_TRACE(c.name);
    (void)RemoveFile(settings_.received_uid_list);
    settings_.tls = c.implicit ? TlsMode::Implicit : TlsMode::StartTls;
    settings_.port = c.implicit ? server_.pop3s_port() : server_.pop3_port();
    const PopSessionResult result = Run();
    EXPECT_EQ(result.outcome, PopOutcome::Completed) << result.error_text;
    EXPECT_EQ(result.received, 1);
    EXPECT_EQ(CountOf(testing::ReadFileBytes(dir_.File("rec.log")), "STLS\r\n"), c.implicit ? 0 : 1);
  }
}

TEST_F(PopSessionDovecotTest, WrongPasswordIsShown) {
  settings_.password = "wrong";
  const PopSessionResult result = Run();
  EXPECT_EQ(result.outcome, PopOutcome::Failed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].rfind(pop_text::kPasswordError, 0), 0u);
}

TEST_F(PopSessionDovecotTest, DeleteAllEmptiesTheServer) {
  server_.AddMessages("alice", {JapaneseMail(1), JapaneseMail(2)});
  const PopSessionResult result = Run(Machine::DeleteAll);
  EXPECT_EQ(result.outcome, PopOutcome::Completed) << result.error_text;
  EXPECT_EQ(result.new_retr, 1);
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
}

TEST_F(PopSessionDovecotTest, ServerGoneMidRetrKeepsWhatArrived) {
  std::string big;
  while (big.size() < 40u * 1024 * 1024) big += std::string(76, 'b') + "\r\n";
  server_.AddMessages("alice", {JapaneseMail(1), JapaneseMail(2, big)});
  bool killed = false;
  const PopSessionResult result = Run(Machine::Receive, [&] {
    if (killed) return;
    const std::optional<std::uint64_t> size = FileSize("inbox.log");
    if (size && *size > 1024 * 1024) {
      server_.Kill();
      killed = true;
    }
  });
  ASSERT_TRUE(killed);
  EXPECT_EQ(result.outcome, PopOutcome::Failed);
  EXPECT_EQ(result.received, 1);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].rfind(pop_text::kNoResponse, 0), 0u);
  const std::string spool = Spool();
  EXPECT_THAT(spool, HasSubstr("Message-Id: <1@example.jp>"));
  EXPECT_THAT(spool, HasSubstr("Message-Id: <2@example.jp>"));
  EXPECT_EQ(CountOf(spool, "\r\n.\r\n"), 1);  // the second never ended
}

}  // namespace
}  // namespace lp
