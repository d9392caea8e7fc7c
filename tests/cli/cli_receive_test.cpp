#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "config/account_table.h"
#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "tests/support/cli_runner.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_directory.h"

// lanternpost-cli receive, patrol, lan and delete-all as child processes
// against Dovecot, and receives killed at many points and run again.

namespace lp {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::CliResult;
using testing::DovecotServer;
using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

// The receive box's files, Shift_JIS names as the platform layer takes them.
const std::string kInbox = "\x8E\xF3\x90\x4D.lp";      // 受信.lp
const std::string kInboxText = "\x8E\xF3\x90\x4D.mb";  // 受信.mb

std::string Mail(const std::string& subject, const std::string& to = "alice@example.jp", std::size_t body_lines = 3) {
  std::string body;
  for (std::size_t i = 0; i < body_lines; ++i) body += "\x1B$B$3$s$K$A$O\x1B(B line " + std::to_string(i) + "\r\n";
  return "From: yamada@example.jp\r\nTo: " + to + "\r\nSubject: " + subject + "\r\nMessage-Id: <" + subject +
         "@example.jp>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + body;
}

class CliReceiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("alice", "secret");
    server_.AddUser("bob", "hunter2");
    // The server's self-signed certificate, trusted by the child processes.
    ASSERT_EQ(setenv("LANTERNPOST_EXTRA_CA", server_.certificate_path().c_str(), 1), 0);
    CSetMenu& alice = accounts_.At(0);
    alice.name = "alice";
    alice.pop = server_.host();
    alice.pop_port = static_cast<std::uint16_t>(server_.pop3_port());
    alice.user_id = "alice";
    alice.pass = "secret";
    alice.adr = "alice@example.jp";
    alice.not_del = false;
    // The table may move its records: `alice` is not used past this point.
    ASSERT_TRUE(accounts_.AppendNew("bob"));
    CSetMenu& bob = accounts_.At(1);
    bob = accounts_.At(0);
    bob.name = "bob";
    bob.user_id = "bob";
    bob.pass = "hunter2";
    bob.adr = "bob@example.jp";
    SaveAccounts();
  }

  void SaveAccounts() {
    Profile profile(data_.File("lpost.conf"));
    ASSERT_TRUE(accounts_.Save(profile));
  }

  CliResult Cli(const std::vector<std::string>& args) { return RunCli(scratch_, data_.path(), args); }

  // The subjects in the receive box, with how often each occurs.
  std::map<std::string, int> InboxSubjects() {
    Profile profile(data_.File("lpost.conf"));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc box(profile, ui, commands);
    std::map<std::string, int> subjects;
    if (!box.Open(data_.File(kInbox)).ok) return subjects;
    for (int i = 0; i < box.Count(); ++i) ++subjects[box.RecordAt(i)->subject];
    return subjects;
  }

  DovecotServer server_;
  TempDirectory data_;
  TempDirectory scratch_;
  CSetMenuArray accounts_;
};

TEST_F(CliReceiveTest, ReceivePrintsTheMessagesAndFillsTheBox) {
  server_.AddMessages("alice", {Mail("one"), Mail("two")});
  const CliResult result = Cli({"receive"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("新しいメールが 2通 到着しました"));
  EXPECT_EQ(InboxSubjects(), (std::map<std::string, int>{{"one", 1}, {"two", 1}}));
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());

  const CliResult again = Cli({"receive"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_THAT(again.err, HasSubstr("新しいメールはありません"));
}

TEST_F(CliReceiveTest, FailuresGiveANonZeroStatus) {
  server_.AddMessages("alice", {Mail("kept")});
  accounts_.At(0).pass = "wrong";
  SaveAccounts();
  const CliResult refused = Cli({"receive"});
  EXPECT_NE(refused.status, 0);
  EXPECT_THAT(refused.err, HasSubstr("パスワードエラー"));
  EXPECT_EQ(server_.Messages("alice").size(), 1u);

  // Nothing listens on the port of a stopped server.
  DovecotServer gone;
  ASSERT_TRUE(gone.running());
  const int port = gone.pop3_port();
  gone.Stop();
  accounts_.At(0).pop_port = static_cast<std::uint16_t>(port);
  SaveAccounts();
  const CliResult unreachable = Cli({"receive"});
  EXPECT_NE(unreachable.status, 0);
  EXPECT_THAT(unreachable.err, HasSubstr("Err:POPサーバに接続できません"));

  const CliResult bad_account = Cli({"receive", "--account", "7"});
  EXPECT_EQ(bad_account.status, 2);
}

TEST_F(CliReceiveTest, ImplicitTlsWithTheExtraCertificate) {
  accounts_.At(0).pop_tls = AccountTls::Implicit;
  accounts_.At(0).pop_port = static_cast<std::uint16_t>(server_.pop3s_port());
  SaveAccounts();
  server_.AddMessages("alice", {Mail("secure")});
  const CliResult result = Cli({"receive"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(InboxSubjects(), (std::map<std::string, int>{{"secure", 1}}));
}

TEST_F(CliReceiveTest, AccountOptionPatrolAndLan) {
  server_.AddMessages("alice", {Mail("a1")});
  server_.AddMessages("bob", {Mail("b1", "bob@example.jp"), Mail("b2", "bob@example.jp")});
  const CliResult bob = Cli({"receive", "--account", "1"});
  EXPECT_EQ(bob.status, 0) << bob.err;
  EXPECT_THAT(bob.err, HasSubstr("新しいメールが 2通 到着しました"));
  EXPECT_EQ(server_.Messages("alice").size(), 1u);
  // The account named for one receive does not become the current one.
  EXPECT_EQ(Profile(data_.File("lpost.conf")).GetInt("Mail", "SetNo", -1), 0);

  server_.AddMessages("bob", {Mail("b3", "bob@example.jp")});
  const CliResult patrol = Cli({"patrol"});
  EXPECT_EQ(patrol.status, 0) << patrol.err;
  EXPECT_THAT(patrol.err, HasSubstr("新しいメールが 2通 到着しました"));
  EXPECT_EQ(InboxSubjects(), (std::map<std::string, int>{{"a1", 1}, {"b1", 1}, {"b2", 1}, {"b3", 1}}));

  TempDirectory lan;
  WriteFileBytes(lan.File("inbox.log"), "From: carol@example.jp\r\nSubject: lan\r\n\r\nhello\r\n.\r\n");
  ASSERT_TRUE(Profile(data_.File("lpost.conf")).WriteString("Lan", "Dir", lan.path()));
  server_.AddMessages("alice", {Mail("a2")});
  const CliResult lan_only = Cli({"lan"});
  EXPECT_EQ(lan_only.status, 0) << lan_only.err;
  EXPECT_EQ(InboxSubjects()["lan"], 1);
  EXPECT_EQ(server_.Messages("alice").size(), 1u);
}

TEST_F(CliReceiveTest, DeleteAllOnlyWithYes) {
  server_.AddMessages("alice", {Mail("x"), Mail("y")});
  const CliResult declined = Cli({"delete-all"});
  EXPECT_NE(declined.status, 0);
  EXPECT_THAT(declined.err, HasSubstr("サーバ上のメールを全て削除しますか？"));
  EXPECT_EQ(server_.Messages("alice").size(), 2u);

  const CliResult done = Cli({"delete-all", "--yes"});
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_THAT(done.err, HasSubstr("削除が終了しました"));
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
  EXPECT_THAT(InboxSubjects(), IsEmpty());
}

// Starts "lanternpost-cli receive" and kills it (SIGKILL) once `file` in the
// data directory has grown past `bytes`, or lets it finish when it never
// does. Returns true when the process was killed.
bool ReceiveKilledAt(const TempDirectory& data, const std::string& file, std::uint64_t bytes) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl(LP_CLI_PATH, "lanternpost-cli", "--data-dir", data.path().c_str(), "receive", static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    const std::optional<std::uint64_t> size = FileSize(data.File(file));
    if (size && *size > bytes) break;
    std::this_thread::yield();
  }
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  return true;
}

TEST_F(CliReceiveTest, NoKillPointOfAReceiveLosesOrDuplicatesMail) {
  struct Point {
    std::string file;
    std::uint64_t bytes;
  };
  // The protocol log, the spool and the box's text file each grow at a
  // different stage: the dialogue, the retrieval, the analysis.
  std::vector<Point> points;
  for (std::uint64_t b : {0, 150, 400, 900, 1500, 2500}) points.push_back({"rec.log", b});
  for (std::uint64_t b : {0, 3000, 20000, 60000, 120000, 200000}) points.push_back({"inbox.log", b});
  for (std::uint64_t b : {0, 5000, 40000, 100000, 180000}) points.push_back({kInboxText, b});

  int killed = 0;
  std::map<std::string, int> expected;
  for (std::size_t p = 0; p < points.size(); ++p) {
    std::vector<std::string> mails;
    for (int m = 0; m < 12; ++m) {
      const std::string subject = "crash-" + std::to_string(p) + "-" + std::to_string(m);
      mails.push_back(Mail(subject, "alice@example.jp", 300));
      expected[subject] = 1;
    }
    server_.AddMessages("alice", mails);
    const std::uint64_t text_before = FileSize(data_.File(kInboxText)).value_or(0);
    const std::uint64_t offset = points[p].file == kInboxText ? text_before : 0;
    if (ReceiveKilledAt(data_, points[p].file, offset + points[p].bytes)) ++killed;

    const CliResult rerun = Cli({"receive"});
    EXPECT_EQ(rerun.status, 0) << "point " << p << ": " << rerun.err;
    EXPECT_THAT(server_.Messages("alice"), IsEmpty()) << "point " << p;
    const std::map<std::string, int> found = InboxSubjects();
    for (const auto& [subject, count] : expected) {
      const auto it = found.find(subject);
      EXPECT_TRUE(it != found.end()) << "point " << p << " lost " << subject;
      if (it != found.end()) {
        EXPECT_EQ(it->second, count) << "point " << p << " duplicated " << subject;
      }
    }
  }
  // Most points must really have interrupted a receive.
  EXPECT_GE(killed, static_cast<int>(points.size()) / 2);
}

}  // namespace
}  // namespace lp
