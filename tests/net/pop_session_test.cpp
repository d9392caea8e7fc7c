#include "net/pop_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "net/fetched_uid_journal.h"
#include "net/oauth_messages.h"
#include "net/pop_messages.h"
#include "net/uidl_lists.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/scripted_transport.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ScriptedTransport;

constexpr char kPassword[] = "s3cret!";

std::string Script(const std::string& name) {
  return ScriptedTransport::LoadScript(std::string(LP_TEST_DATA_DIR) + "/pop/" + name);
}

std::string Text(const char* message, std::string_view reply) {
  return std::string(message) + pop_text::kColon + std::string(reply);
}

// Records the progress window's status texts as well as the messages.
class StatusRecordingUi : public RecordingUserInterface {
 public:
  std::unique_ptr<Progress> BeginProgress(std::string_view caption) override {
    progress_captions.emplace_back(caption);
    return std::make_unique<Window>(*this);
  }
  std::vector<std::string> statuses;
  int last_position = -1;
  int range_upper = -1;

 private:
  class Window : public Progress {
   public:
    explicit Window(StatusRecordingUi& ui) : ui_(ui) {}
    void SetRange(int, int upper) override { ui_.range_upper = upper; }
    void SetPosition(int position) override { ui_.last_position = position; }
    void SetStatusText(std::string_view text) override { ui_.statuses.emplace_back(text); }
    bool CancelRequested() override { return false; }

   private:
    StatusRecordingUi& ui_;
  };
};

// Looks at the spool on the disk at the moment each DELE leaves.
class DeleWatchingTransport : public ScriptedTransport {
 public:
  using ScriptedTransport::ScriptedTransport;
  bool Send(std::string_view bytes) override {
    if (bytes.rfind("DELE", 0) == 0) spool_at_dele.push_back(testing::ReadFileBytes("inbox.log"));
    return ScriptedTransport::Send(bytes);
  }
  std::vector<std::string> spool_at_dele;
};

struct Played {
  std::optional<PopSessionResult> result;
  std::vector<std::string> failures;
  std::string sent;
  std::string spool;
  std::string log;
  bool tls_requested = false;
  PopState final_state = PopState::Idle;
};

enum class Machine { Receive, DeleteAll, LoginCheck };

class PopSessionTest : public ::testing::Test {
 protected:
  PopSessionTest() {
    settings_.account_name = "test";
    settings_.host = "pop.example.jp";
    settings_.user = "alice";
    settings_.password = kPassword;
    settings_.keep_on_server = false;
    settings_.received_uid_list = "UIDLtest.txt";
    settings_.new_uid_list = "UIDL2test.txt";
  }

  Played Play(const std::string& script, std::size_t piece = 0, Machine machine = Machine::Receive,
              ScriptedTransport* transport = nullptr) {
    (void)RemoveFile("inbox.log");
    (void)RemoveFile("rec.log");
    ScriptedTransport own(script, piece);
    ScriptedTransport& t = transport != nullptr ? *transport : own;
    Played played;
    int calls = 0;
    CPopSession session(t, ui_, [&](const PopSessionResult& result) {
      played.result = result;
      ++calls;
    });
    if (machine == Machine::Receive) {
      session.StartReceive(settings_);
    } else if (machine == Machine::DeleteAll) {
      session.StartDeleteAll(settings_);
    } else {
      session.StartLoginCheck(settings_);
    }
    t.Run();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(session.Running());
    played.final_state = session.State();
    played.failures = t.Failures();
    played.sent = t.Sent();
    played.tls_requested = t.TlsRequested();
    if (PathExists("inbox.log")) played.spool = testing::ReadFileBytes("inbox.log");
    played.log = testing::ReadFileBytes("rec.log");
    // Whatever happened, the log never holds the password.
    EXPECT_THAT(played.log, Not(HasSubstr(kPassword)));
    return played;
  }

  testing::TempDirectory dir_{true};
  StatusRecordingUi ui_;
  PopSessionSettings settings_;
};

// A message as the scripts send it and as the spool must keep it.
std::string MessageLines(int n) {
  return "S: +OK\nS: Subject: m" + std::to_string(n) + "\nS: Message-Id: <" + std::to_string(n) +
         "@example.jp>\nS:\nS: body " + std::to_string(n) + "\nS: .\n";
}
std::string SpooledMessage(int n) {
  return "+OK\r\nSubject: m" + std::to_string(n) + "\r\nMessage-Id: <" + std::to_string(n) + "@example.jp>\r\n\r\nbody " +
         std::to_string(n) + "\r\n.\r\n";
}
constexpr char kLoginLines[] = "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS s3cret!\nS: +OK\n";

TEST_F(PopSessionTest, UserPassFetchesAndDeletesWhateverThePieces) {
  const std::string expected_spool =
      "+OK 120 octets\r\nFrom: a@example.jp\r\nSubject: first\r\n\r\nhello\r\n.\r\n"
      "+OK 200 octets\r\nFrom: b@example.jp\r\nSubject: second\r\n\r\n..leading dot\r\n.\r\n";
  for (const std::size_t piece : {0, 1, 2, 3, 4, 5, 7, 13}) {
    SCOPED_TRACE("piece " + std::to_string(piece));
    ui_.statuses.clear();
    const Played played = Play(Script("user_pass_delete_after_retrieve.pop"), piece);
    EXPECT_THAT(played.failures, IsEmpty());
    ASSERT_TRUE(played.result);
    EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
    EXPECT_EQ(played.result->received, 2);
    EXPECT_FALSE(played.result->new_retr);
    EXPECT_EQ(played.spool, expected_spool);
    EXPECT_THAT(played.log, HasSubstr("PASS ******\r\n"));
    EXPECT_THAT(played.log, HasSubstr("USER alice\r\n"));
    EXPECT_THAT(ui_.messages, IsEmpty());
    // Progress by bytes: the range is the STAT total, the position the RETR bytes so far.
    EXPECT_EQ(ui_.range_upper, 320);
    EXPECT_EQ(ui_.last_position, static_cast<int>(expected_spool.size()));
  }
  EXPECT_EQ(ui_.progress_captions.back(), std::string("test") + pop_text::kReceivingFrom);
  EXPECT_THAT(ui_.statuses,
              ElementsAre(pop_text::kInitialising, pop_text::kConnectingToHost, pop_text::kHostConnected,
                          pop_text::kCheckingPassword, pop_text::kCheckingNewMail, pop_text::kCheckingMail,
                          "\x83\x81\x81\x5B\x83\x8B\x8E\xF3\x90\x4D\x92\x86 1/2",  // メール受信中 1/2
                          "\x83\x81\x81\x5B\x83\x8B\x8E\xF3\x90\x4D\x92\x86 2/2", pop_text::kDisconnecting));
}

TEST_F(PopSessionTest, SpoolHoldsEachMessageBeforeItsDele) {
  DeleWatchingTransport transport(Script("user_pass_delete_after_retrieve.pop"));
  const Played played = Play({}, 0, Machine::Receive, &transport);
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_EQ(transport.spool_at_dele.size(), 2u);
  EXPECT_THAT(transport.spool_at_dele[0], HasSubstr("hello\r\n.\r\n"));
  EXPECT_THAT(transport.spool_at_dele[1], HasSubstr("..leading dot\r\n.\r\n"));
}

TEST_F(PopSessionTest, NulBytesReachSpoolAndLogAsSpaces) {
  const std::string script = std::string(kLoginLines) +
                             "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 1 20\nC: RETR 1\nS: +OK\nS: Subject: a\\0b\nS:\nS: .\nC: DELE 1\nS: +OK\n"
                             "C: QUIT\nS: +OK\n";
  const Played played = Play(script);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.spool, "+OK\r\nSubject: a b\r\n\r\n.\r\n");
  EXPECT_THAT(played.log, HasSubstr("Subject: a b\r\n"));
}

TEST_F(PopSessionTest, ApopSendsTheDigestOfStampAndPassword) {
  settings_.use_apop = true;
  settings_.password = "tanstaaf";
  const Played played = Play(Script("apop_login.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_TRUE(played.result);
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->received, 0);
}

TEST_F(PopSessionTest, ApopWithoutStampNeverSendsADigest) {
  settings_.use_apop = true;
  const Played played = Play("S: +OK ready\nC: QUIT\nS: +OK\n");
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_THAT(ui_.messages, ElementsAre(pop_text::kNoApop));
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
}

// The connection test: a login and QUIT, no mail touched, no spool written;
// a refused password is told apart from other failures.
TEST_F(PopSessionTest, LoginCheckQuitsRightAfterTheLogin) {
  const Played good = Play(std::string(kLoginLines) + "C: QUIT\nS: +OK\n", 0, Machine::LoginCheck);
  EXPECT_THAT(good.failures, IsEmpty());
  ASSERT_TRUE(good.result);
  EXPECT_EQ(good.result->outcome, PopOutcome::Completed);
  EXPECT_FALSE(good.result->password_refused);
  EXPECT_FALSE(PathExists("inbox.log"));
  EXPECT_FALSE(PathExists("UIDL2test.txt"));

  const Played refused = Play("S: +OK ready\nC: USER alice\nS: +OK\nC: PASS s3cret!\nS: -ERR [AUTH] failed\n"
                              "C: QUIT\nS: +OK\n",
                              0, Machine::LoginCheck);
  EXPECT_THAT(refused.failures, IsEmpty());
  ASSERT_TRUE(refused.result);
  EXPECT_EQ(refused.result->outcome, PopOutcome::Failed);
  EXPECT_TRUE(refused.result->password_refused);
}

struct RememberedCase {
  const char* name;
  int retr;
  int count;
  bool message_id_matches;  // of message retr - 1, when checked
  int first_fetched;        // 0: nothing
  std::optional<int> new_retr;
};

TEST_F(PopSessionTest, KeepOnServerStartsAfterTheRememberedMessage) {
  const std::vector<RememberedCase> cases = {
      {"fewer messages than remembered", 7, 5, false, 1, 6},
      {"nothing new", 6, 5, true, 0, std::nullopt},
      {"position holds", 4, 7, true, 4, 8},
      {"position lost", 4, 7, false, 1, 8},
  };
  settings_.keep_on_server = true;
  settings_.remembered_message_id = "<remembered@example.jp>";
  for (const RememberedCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::WriteFileBytes(dir_.File("UIDLtest.txt"), "");
    settings_.remembered_retr = c.retr;
    std::string script = std::string(kLoginLines) + "C: UIDL\nS: -ERR unknown command\nC: STAT\nS: +OK " +
                         std::to_string(c.count) + " 1000\n";
    if (c.count + 1 >= c.retr) {
      script += "C: TOP " + std::to_string(c.retr - 1) + " 0\nS: +OK\nS: Message-Id: " +
                (c.message_id_matches ? "<remembered@example.jp>" : "<other@example.jp>") + "\nS:\nS: .\n";
    }
    std::string spool;
    for (int n = c.first_fetched; n >= 1 && n <= c.count; ++n) {
      script += "C: RETR " + std::to_string(n) + "\n" + MessageLines(n);
      spool += SpooledMessage(n);
    }
    script += "C: QUIT\nS: +OK\n";
    const Played played = Play(script);
    EXPECT_THAT(played.failures, IsEmpty());
    ASSERT_TRUE(played.result);
    EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
    EXPECT_EQ(played.spool, spool);
    EXPECT_EQ(played.result->new_retr, c.new_retr);
  }
}

TEST_F(PopSessionTest, RememberedNumberWithoutReceivedListIsResetForLaterSessions) {
  settings_.keep_on_server = true;
  settings_.remembered_retr = 6;
  settings_.remembered_message_id = "<5@example.jp>";
  const std::string script = std::string(kLoginLines) +
                             "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 5 500\nC: TOP 5 0\nS: +OK\nS: Message-Id: <5@example.jp>\n"
                             "S:\nS: .\nC: QUIT\nS: +OK\n";
  const Played played = Play(script);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.result->new_retr, 1);
}

TEST_F(PopSessionTest, ServerTrimDeletesTheOldestBeyondTheKeptNumber) {
  settings_.keep_on_server = true;
  settings_.server_delete = true;
  settings_.delete_keep = 100;
  std::string script = std::string(kLoginLines) + "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 130 13000\n";
  for (int n = 1; n <= 130; ++n) script += "C: RETR " + std::to_string(n) + "\n" + MessageLines(n);
  for (int n = 1; n <= 30; ++n) script += "C: DELE " + std::to_string(n) + "\nS: +OK\n";
  script += "C: QUIT\nS: +OK\n";
  const Played played = Play(script);
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_TRUE(played.result);
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->received, 130);
  EXPECT_EQ(played.result->new_retr, 101);
  EXPECT_EQ(ui_.statuses[ui_.statuses.size() - 2], "\x83\x81\x81\x5B\x83\x8B\x8D\xED\x8F\x9C\x92\x86 30");  // メール削除中 30
}

TEST_F(PopSessionTest, UidlModeTrimCountsTheServersMessages) {
  settings_.keep_on_server = true;
  settings_.server_delete = true;
  settings_.delete_keep = 2;
  testing::WriteFileBytes(dir_.File("UIDLtest.txt"), "+OK\r\n1 u1\r\n2 u2\r\n3 u3\r\n.\r\n");
  const std::string list = "S: +OK\nS: 1 u1\nS: 2 u2\nS: 3 u3\nS: 4 u4\nS: 5 u5\nS: .\n";
  const std::string script = std::string(kLoginLines) + "C: UIDL\n" + list + "C: RETR 4\n" + MessageLines(4) +
                             "C: RETR 5\n" + MessageLines(5) + "C: DELE 1\nS: +OK\nC: DELE 2\nS: +OK\nC: QUIT\nS: +OK\n";
  const Played played = Play(script);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->new_retr, 1);
  EXPECT_EQ(played.spool, SpooledMessage(4) + SpooledMessage(5));
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("UIDLtest.txt")),
            "+OK\r\n1 u1\r\n2 u2\r\n3 u3\r\n4 u4\r\n5 u5\r\n.\r\n");
}

TEST_F(PopSessionTest, CredentialWithLineBreakIsNeverSent) {
  settings_.password = std::string(kPassword) + "\r\nDELE 1";
  const Played played = Play("S: +OK ready\nC: QUIT\nS: +OK\n");
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_THAT(played.sent, Not(HasSubstr("DELE")));
  EXPECT_THAT(ui_.messages, ElementsAre(pop_text::kPasswordError));
}

TEST_F(PopSessionTest, UidlFetchesOnlyNewIdsAndTheNewListReplacesTheOld) {
  settings_.keep_on_server = true;
  settings_.remembered_retr = 3;
  const std::string old_list = "+OK\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n2 QhdPYR:00WBw1Ph7x7\r\n.\r\n";
  for (const std::size_t piece : {0, 1, 6}) {
    SCOPED_TRACE("piece " + std::to_string(piece));
    testing::WriteFileBytes(dir_.File("UIDLtest.txt"), old_list);
    const Played played = Play(Script("uidl_new_ids.pop"), piece);
    EXPECT_THAT(played.failures, IsEmpty());
    ASSERT_TRUE(played.result);
    EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
    EXPECT_EQ(played.result->received, 1);
    EXPECT_EQ(played.result->new_retr, 1);
    EXPECT_EQ(played.spool, "+OK\r\nSubject: third\r\n\r\nbody\r\n.\r\n");
    EXPECT_EQ(testing::ReadFileBytes(dir_.File("UIDLtest.txt")),
              "+OK\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n2 QhdPYR:00WBw1Ph7x7\r\n3 QhdPYR:00WBw1Ph7x8\r\n.\r\n");
    EXPECT_FALSE(PathExists("UIDL2test.txt"));
  }
  EXPECT_EQ(ui_.statuses[4], pop_text::kCheckingNewMail);
}

TEST_F(PopSessionTest, EqualUidlListGoesStraightToQuit) {
  settings_.keep_on_server = true;
  const std::string old_list = "+OK\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n2 QhdPYR:00WBw1Ph7x7\r\n.\r\n";
  testing::WriteFileBytes(dir_.File("UIDLtest.txt"), old_list);
  const Played played = Play(Script("uidl_equal_list.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->received, 0);
  EXPECT_EQ(played.spool, "");
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("UIDLtest.txt")), old_list);
}

TEST_F(PopSessionTest, DeleteModeDeletesWhatWasReceivedWhileKeptOnTheServer) {
  const std::string old_list = "+OK\r\n1 whqtswO00WBw418f9t5JxYwZ\r\n2 QhdPYR:00WBw1Ph7x7\r\n.\r\n";
  for (const std::size_t piece : {0, 1, 6}) {
    SCOPED_TRACE("piece " + std::to_string(piece));
    testing::WriteFileBytes(dir_.File("UIDLtest.txt"), old_list);
    const Played played = Play(Script("delete_mode_skips_received_uids.pop"), piece);
    EXPECT_THAT(played.failures, IsEmpty());
    ASSERT_TRUE(played.result);
    EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
    EXPECT_EQ(played.result->received, 1);
    EXPECT_EQ(played.spool, "+OK\r\nSubject: third\r\n\r\nbody\r\n.\r\n");
    // The list names what the server held: all of it is stored now.
    EXPECT_THAT(ParseUidlList(testing::ReadFileBytes(dir_.File("UIDLtest.txt"))),
                ElementsAre("whqtswO00WBw418f9t5JxYwZ", "QhdPYR:00WBw1Ph7x7", "QhdPYR:00WBw1Ph7x8"));
    EXPECT_FALSE(PathExists(FetchedJournalPathFor("UIDLtest.txt")));
  }
}

// A session that breaks off keeps what it fetched in the received list, so
// the next one deletes that mail instead of fetching it a second time.
TEST_F(PopSessionTest, MailFetchedBeforeABreakComesOnce) {
  const std::string uidl = "C: UIDL\nS: +OK\nS: 1 u1\nS: 2 u2\nS: .\n";
  const Played broken = Play(std::string(kLoginLines) + uidl + "C: RETR 1\n" + MessageLines(1) +
                             "C: DELE 1\nS: +OK\nC: RETR 2\nS: +OK\nS: Subject: m2\nCLOSE\n");
  EXPECT_THAT(broken.failures, IsEmpty());
  EXPECT_EQ(broken.result->outcome, PopOutcome::Failed);
  EXPECT_THAT(testing::ReadFileBytes(dir_.File("UIDLtest.txt")), HasSubstr("1 u1\n"));
  EXPECT_THAT(testing::ReadFileBytes(dir_.File("UIDLtest.txt")), Not(HasSubstr("u2")));

  const Played again = Play(std::string(kLoginLines) + uidl + "C: RETR 2\n" + MessageLines(2) +
                            "C: DELE 2\nS: +OK\nC: DELE 1\nS: +OK\nC: QUIT\nS: +OK\n");
  EXPECT_THAT(again.failures, IsEmpty());
  EXPECT_EQ(again.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(again.spool, SpooledMessage(2));
}

// The deletions take effect at QUIT; a spool that cannot be flushed to the
// disk before it takes them back with RSET.
TEST_F(PopSessionTest, SpoolThatCannotBeFlushedDeletesNothing) {
  settings_.spool_path = "/dev/null";  // takes writes, refuses fsync
  const Played played = Play(std::string(kLoginLines) + "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 1 100\nC: RETR 1\n" +
                             MessageLines(1) + "C: DELE 1\nS: +OK\nC: RSET\nS: +OK\nC: QUIT\nS: +OK\n");
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_TRUE(played.result);
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
  EXPECT_TRUE(played.result->spool_not_on_disk);
  EXPECT_THAT(ui_.messages, ElementsAre(Text(pop_text::kCannotWrite, "/dev/null")));

  // A refused RSET ends the session without QUIT.
  ui_.messages.clear();
  const Played refused = Play(std::string(kLoginLines) + "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 1 100\nC: RETR 1\n" +
                              MessageLines(1) + "C: DELE 1\nS: +OK\nC: RSET\nS: -ERR\n");
  EXPECT_THAT(refused.failures, IsEmpty());
  EXPECT_THAT(refused.sent, Not(HasSubstr("QUIT")));
}

TEST_F(PopSessionTest, ConfirmEachActsOnReceiveSkipAndDelete) {
  settings_.confirm_each = true;  // forces keep-on-server: the UIDL path
  for (const ConfirmAnswer answer : {ConfirmAnswer::Receive, ConfirmAnswer::Skip, ConfirmAnswer::Delete}) {
    ui_.QueueConfirmAnswer(answer);
  }
  const Played played = Play(Script("confirm_each_answers.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_TRUE(played.result);
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->received, 2);  // the received one and the deleted one
  EXPECT_EQ(played.spool, "+OK\r\nSubject: one\r\n\r\nbody one\r\n.\r\n");
  // Only the received mail is recorded, at once, and the list is not replaced.
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("UIDLtest.txt")), "1 uid-one\n");
  const std::vector<MailSummary>& asked = ui_.mails_confirmed;
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].number, 1);
  EXPECT_EQ(asked[0].from, Utf8ToSjis("山田 <yamada@example.jp>"));
  EXPECT_EQ(asked[0].subject, Utf8ToSjis("こんにちは"));
  EXPECT_EQ(asked[0].to, "alice@example.jp");
  EXPECT_EQ(asked[0].body, "line one\r\n");
  EXPECT_EQ(asked[2].subject, "three");
}

TEST_F(PopSessionTest, ConfirmEachStopQuitsAtOnce) {
  settings_.confirm_each = true;
  ui_.QueueConfirmAnswer(ConfirmAnswer::Stop);
  const Played played = Play(Script("confirm_each_stop.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->received, 0);
  EXPECT_FALSE(PathExists("UIDLtest.txt"));
}

TEST_F(PopSessionTest, AnswersGivenLaterLeadToTheSameDialogue) {
  settings_.confirm_each = true;
  ui_.HoldAnswers();
  ScriptedTransport transport(Script("confirm_each_answered_later.pop"));
  std::optional<PopSessionResult> result;
  int calls = 0;
  CPopSession session(transport, ui_, [&](const PopSessionResult& r) {
    result = r;
    ++calls;
  });
  session.StartReceive(settings_);
  for (const ConfirmAnswer answer : {ConfirmAnswer::Receive, ConfirmAnswer::Skip, ConfirmAnswer::Delete}) {
    transport.Run();  // up to the next PAUSE: the question is open
    ASSERT_THAT(transport.Failures(), IsEmpty());
    ASSERT_EQ(ui_.HeldCount(), 1u);
    EXPECT_EQ(session.State(), PopState::ConfirmAnswerWait);
    EXPECT_TRUE(transport.IdleTimerPaused());
    EXPECT_FALSE(result);
    ui_.TakeHeldConfirm()(answer);
    EXPECT_FALSE(transport.IdleTimerPaused());
  }
  transport.Run();
  EXPECT_TRUE(transport.Finished());
  EXPECT_THAT(transport.Failures(), IsEmpty());
  EXPECT_EQ(calls, 1);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->outcome, PopOutcome::Completed);
  EXPECT_EQ(result->received, 2);
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("inbox.log")), "+OK\r\nSubject: one\r\n\r\nbody one\r\n.\r\n");
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("UIDLtest.txt")), "1 uid-one\n");
}

// However the session ends while the user still looks at a mail, it reports
// its end once, and the answer given afterwards (once or twice) sends
// nothing, writes nothing and reports nothing.
TEST_F(PopSessionTest, AnswerAfterTheSessionEndedIsIgnored) {
  enum class Ending { IdleTimeout, ServerCloses, UserCancels, SessionDestroyed };
  struct Case {
    const char* name;
    Ending ending;
    std::string script_end;
    int finished_calls;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      {"idle timeout of a transport that cannot pause", Ending::IdleTimeout, "IDLE\n", 1,
       {Text(pop_text::kNoResponse, "idle timeout")}},
      {"server closes", Ending::ServerCloses, "CLOSE\n", 1, {pop_text::kNoResponse}},
      {"user cancels", Ending::UserCancels, "", 1, {}},
      {"session destroyed", Ending::SessionDestroyed, "", 0, {}},
  };
  settings_.confirm_each = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.messages.clear();
    ui_.HoldAnswers();
    ScriptedTransport transport(Script("confirm_each_question_open.pop") + c.script_end);
    if (c.ending == Ending::IdleTimeout) transport.IgnoreIdlePause();
    int calls = 0;
    std::optional<PopSessionResult> result;
    auto session = std::make_unique<CPopSession>(transport, ui_, [&](const PopSessionResult& r) {
      result = r;
      ++calls;
    });
    session->StartReceive(settings_);
    transport.Run();
    EXPECT_THAT(transport.Failures(), Not(Contains(HasSubstr("expected C:"))));
    const UserInterface::ConfirmHandler answer = ui_.TakeHeldConfirm();
    ASSERT_TRUE(answer);
    if (c.ending == Ending::UserCancels) session->Cancel();
    if (c.ending == Ending::SessionDestroyed) session.reset();
    EXPECT_TRUE(transport.Closed());
    const std::string sent = transport.Sent();
    answer(ConfirmAnswer::Receive);
    answer(ConfirmAnswer::Delete);
    EXPECT_EQ(transport.Sent(), sent);
    EXPECT_THAT(sent, Not(HasSubstr("RETR")));
    EXPECT_EQ(calls, c.finished_calls);
    if (result) {
      EXPECT_EQ(result->outcome, PopOutcome::Failed);
    }
    if (session) {
      EXPECT_EQ(session->State(), PopState::Done);
    }
    EXPECT_EQ(ui_.messages, c.messages);
    EXPECT_EQ(ui_.HeldCount(), 0u);
    EXPECT_EQ(testing::ReadFileBytes(dir_.File("inbox.log")), "");
    EXPECT_FALSE(PathExists("UIDLtest.txt"));
  }
}

// The command line's way: the answer comes from inside the question.
TEST_F(PopSessionTest, AnswerGivenAtOnceNeverLeavesTheIdleTimerPaused) {
  settings_.confirm_each = true;
  ui_.QueueConfirmAnswer(ConfirmAnswer::Stop);
  ScriptedTransport transport(Script("confirm_each_stop.pop"));
  const Played played = Play({}, 0, Machine::Receive, &transport);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_FALSE(transport.IdleTimerPaused());
}

TEST_F(PopSessionTest, InlineFrameMailIsDeletedUnfetched) {
  settings_.iframe_check = true;
  const Played played = Play(Script("iframe_mail_set_aside.pop"), 3);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->received, 2);
  EXPECT_THAT(played.spool, Not(HasSubstr("Subject: look")));
  EXPECT_THAT(played.spool, HasSubstr("Subject: plain"));
}

TEST_F(PopSessionTest, DeleteAllDeletesEveryMessageAndResetsTheNumber) {
  settings_.keep_on_server = true;  // no UIDL in this machine
  const Played played = Play(Script("delete_all.pop"), 0, Machine::DeleteAll);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_EQ(played.result->new_retr, 1);
  EXPECT_FALSE(PathExists("inbox.log"));
}

TEST_F(PopSessionTest, WrongPasswordShowsTheReplyAndQuits) {
  const Played played = Play(Script("wrong_password.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  const std::string text = Text(pop_text::kPasswordError, "-ERR [AUTH] Authentication failed.");
  EXPECT_THAT(ui_.messages, ElementsAre(text));
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
  EXPECT_EQ(played.result->error_text, text);
}

TEST_F(PopSessionTest, RefusedTopShowsTheReplyAndQuits) {
  settings_.keep_on_server = true;
  settings_.remembered_retr = 4;
  testing::WriteFileBytes(dir_.File("UIDLtest.txt"), "");
  const Played played = Play(Script("top_error.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_THAT(ui_.messages, ElementsAre(Text(pop_text::kError, "-ERR TOP not supported")));
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
}

TEST_F(PopSessionTest, StlsUpgradesBeforeTheLogin) {
  settings_.tls = TlsMode::StartTls;
  settings_.use_apop = true;
  const Played played = Play(Script("stls_upgrade.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_TRUE(played.tls_requested);
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
}

TEST_F(PopSessionTest, StlsUpgradeIgnoresBytesInjectedBeforeTheHandshake) {
  settings_.tls = TlsMode::StartTls;
  settings_.use_apop = true;
  for (const std::size_t piece : {1, 4}) {
    SCOPED_TRACE("piece " + std::to_string(piece));
    const Played played = Play(Script("stls_upgrade.pop"), piece);
    EXPECT_THAT(played.failures, IsEmpty());
    EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  }
}

TEST_F(PopSessionTest, CancelEndsWithoutQuitAndKeepsTheSpool) {
  ScriptedTransport transport(std::string(kLoginLines) + "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 1 100\nC: RETR 1\nS: +OK\nS: partial\n");
  std::optional<PopSessionResult> result;
  CPopSession session(transport, ui_, [&](const PopSessionResult& r) { result = r; });
  session.StartReceive(settings_);
  transport.Run();  // stops with the client still waiting for the rest of RETR
  ASSERT_FALSE(result);
  session.Cancel();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->outcome, PopOutcome::Failed);
  EXPECT_TRUE(transport.Closed());
  EXPECT_THAT(transport.Sent(), Not(HasSubstr("QUIT")));
  EXPECT_THAT(ui_.messages, IsEmpty());
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("inbox.log")), "+OK\r\npartial\r\n");
}

TEST_F(PopSessionTest, RefusedStlsNeverLogsInInClear) {
  settings_.tls = TlsMode::StartTls;
  const Played played = Play(Script("stls_refused.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_FALSE(played.tls_requested);
  EXPECT_THAT(played.sent, Not(HasSubstr("USER")));
  EXPECT_THAT(played.sent, Not(HasSubstr("PASS")));
  EXPECT_THAT(ui_.messages, ElementsAre(Text(pop_text::kNoStls, "-ERR command not recognised")));
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
}

TEST_F(PopSessionTest, FailedTlsHandshakeShowsTheTransportsReason) {
  settings_.tls = TlsMode::StartTls;
  const Played played = Play("S: +OK ready\nC: STLS\nS: +OK\nCLOSE certificate of pop.example.jp not trusted\n");
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_THAT(ui_.messages, ElementsAre("certificate of pop.example.jp not trusted"));
  EXPECT_THAT(played.sent, Not(HasSubstr("USER")));
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
}

TEST_F(PopSessionTest, EndpointCarriesTheAccountsConnection) {
  settings_.port = 995;
  settings_.tls = TlsMode::Implicit;
  ScriptedTransport transport("S: +OK ready\nC: USER alice\nS: +OK\nC: PASS s3cret!\nS: +OK\nC: UIDL\nS: -ERR\n"
                              "C: STAT\nS: +OK 0 0\n"
                              "C: QUIT\nS: +OK\n");
  const Played played = Play({}, 0, Machine::Receive, &transport);
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(transport.Endpoint().host, "pop.example.jp");
  EXPECT_EQ(transport.Endpoint().port, 995);
  EXPECT_EQ(transport.Endpoint().tls, TlsMode::Implicit);
}

struct HostileCase {
  const char* name;
  std::string script;
  std::string message;
  PopOutcome outcome;
  std::string spool;
  bool sends_quit;
  bool keep_on_server = false;
};

TEST_F(PopSessionTest, HostileServersEndTheSessionWithAMessage) {
  const std::string no_response = pop_text::kNoResponse;
  const std::vector<HostileCase> cases = {
      {"status line without end", "S-: +OK " + std::string(5000, 'x') + "\n", pop_text::kBadResponse,
       PopOutcome::Failed, "", false},
      {"uid longer than 70", Script("overlong_uid.pop"), pop_text::kBadResponse, PopOutcome::Failed, "", true, true},
      {"STAT lies about the count", Script("stat_lies_about_count.pop"),
       Text(pop_text::kError, "-ERR no such message"), PopOutcome::Failed,
       "+OK\r\nSubject: one\r\n\r\n.\r\n+OK\r\nSubject: two\r\n\r\n.\r\n", true},
      {"STAT count past any message number", std::string(kLoginLines) + "C: UIDL\nS: -ERR\nC: STAT\nS: +OK 99999999999 1\nC: QUIT\nS: +OK\n",
       pop_text::kBadResponse, PopOutcome::Failed, "", true},
      {"STAT without numbers", std::string(kLoginLines) + "C: UIDL\nS: -ERR\nC: STAT\nS: +OK\nC: QUIT\nS: +OK\n", pop_text::kBadResponse,
       PopOutcome::Failed, "", true},
      {"message without terminator", Script("message_without_terminator.pop"), no_response, PopOutcome::Failed,
       "+OK\r\nSubject: one\r\n\r\ncomplete\r\n.\r\n+OK\r\nSubject: two\r\n\r\ncut off here\r\n", false},
      {"stall", Script("stall_after_greeting.pop"), Text(pop_text::kNoResponse, "idle timeout"), PopOutcome::Failed,
       "", false},
      {"no greeting", "CLOSE\n", pop_text::kCannotConnect, PopOutcome::ConnectFailed, "", false},
      {"negative greeting", "S: -ERR busy\n", pop_text::kCannotConnect, PopOutcome::ConnectFailed, "", false},
      {"connection refused", "REFUSE host not found\n", "host not found", PopOutcome::ConnectFailed, "", false},
      {"send fails", "SENDFAIL\nS: +OK ready\n", pop_text::kSendError, PopOutcome::Failed, "", false},
  };
  for (const HostileCase& c : cases) {
    for (const std::size_t piece : {0, 1}) {
      SCOPED_TRACE(std::string(c.name) + " piece " + std::to_string(piece));
      ui_.messages.clear();
      settings_.keep_on_server = c.keep_on_server;
      const Played played = Play(c.script, piece);
      EXPECT_THAT(played.failures, IsEmpty());
      ASSERT_TRUE(played.result);
      EXPECT_EQ(played.result->outcome, c.outcome);
      EXPECT_EQ(played.result->error_text, c.message);
      EXPECT_THAT(ui_.messages, ElementsAre(c.message));
      EXPECT_EQ(played.spool, c.spool);
      EXPECT_EQ(played.sent.find("QUIT") != std::string::npos, c.sends_quit);
      EXPECT_EQ(played.final_state, PopState::Done);
    }
  }
}

// A server that answers every command with random bytes drawn from the
// pieces replies are made of; whatever it sends, the session ends exactly
// once and reports it.
class RandomServer : public Transport {
 public:
  explicit RandomServer(unsigned seed) : random_(seed) {}
  void Connect(const TransportEndpoint&, TransportEvents& events) override { events_ = &events; }
  bool Send(std::string_view) override { return !closed_; }
  void StartTls() override { tls_ = true; }
  void Close() override { closed_ = true; }

  void Run() {
    static const std::vector<std::string> kPieces = {
        "+OK", "-ERR", " ", "\r\n", ".", "\r\n.\r\n", "1", "3", "99999999999999999999", "<a@b>", "x", "\n",
        std::string(1, '\0'), "Message-Id: <a@b>", "Content-Type: multipart/alternative;", "<IFRAME ", "\r\n\r\n",
        std::string(300, 'u')};
    events_->OnConnected();
    for (int round = 0; round < 400 && !closed_; ++round) {
      if (tls_ && random_() % 3 == 0) {
        tls_ = false;
        events_->OnTlsStarted();
        continue;
      }
      std::string chunk;
      const int parts = 1 + static_cast<int>(random_() % 12);
      for (int i = 0; i < parts; ++i) chunk += kPieces[random_() % kPieces.size()];
      events_->OnReceived(chunk);
    }
    if (!closed_) events_->OnDisconnected("");
  }

 private:
  std::mt19937 random_;
  TransportEvents* events_ = nullptr;
  bool closed_ = false;
  bool tls_ = false;
};

TEST_F(PopSessionTest, RandomRepliesAlwaysEndTheSessionOnce) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    settings_.keep_on_server = seed % 2 == 0;
    settings_.use_apop = seed % 3 == 0;
    settings_.iframe_check = seed % 5 == 0;
    settings_.confirm_each = seed % 7 == 0;
    settings_.server_delete = seed % 4 == 0;
    settings_.delete_keep = 1;
    settings_.remembered_retr = static_cast<int>(seed % 4);
    settings_.tls = seed % 6 == 0 ? TlsMode::StartTls : TlsMode::None;
    for (const ConfirmAnswer answer : {ConfirmAnswer::Receive, ConfirmAnswer::Skip, ConfirmAnswer::Delete}) {
      ui_.QueueConfirmAnswer(answer);
    }
    RandomServer server(seed);
    int calls = 0;
    CPopSession session(server, ui_, [&](const PopSessionResult&) { ++calls; });
    if (seed % 11 == 0) {
      session.StartDeleteAll(settings_);
    } else {
      session.StartReceive(settings_);
    }
    server.Run();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(session.Running());
  }
}

TEST_F(PopSessionTest, OverlongUidLeavesTheReceivedListAlone) {
  settings_.keep_on_server = true;
  testing::WriteFileBytes(dir_.File("UIDLtest.txt"), "+OK\r\n1 old\r\n.\r\n");
  const Played played = Play(Script("overlong_uid.pop"));
  EXPECT_THAT(played.failures, IsEmpty());
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("UIDLtest.txt")), "+OK\r\n1 old\r\n.\r\n");
  EXPECT_EQ(played.result->outcome, PopOutcome::Failed);
}

TEST_F(PopSessionTest, UnwritableSpoolStopsBeforeConnecting) {
  settings_.spool_path = "no-such-directory/inbox.log";
  ScriptedTransport transport("");
  std::optional<PopSessionResult> result;
  CPopSession session(transport, ui_, [&](const PopSessionResult& r) { result = r; });
  session.StartReceive(settings_);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->outcome, PopOutcome::ConnectFailed);
  EXPECT_THAT(ui_.messages, ElementsAre(Text(pop_text::kCannotWrite, settings_.spool_path)));
  EXPECT_EQ(transport.Endpoint().host, "");  // never connected
}

// OAuth 2.0 logins: CAPA picks the mechanism, the token goes with AUTH,
// and a refusal challenge is ended the way the mechanism wants.
constexpr char kXOAuth2Response[] = "dXNlcj1hbGljZUBleGFtcGxlLmpwAWF1dGg9QmVhcmVyIHlhMjkudG9rAQE=";
constexpr char kBearerResponse[] =
    "bixhPWFsaWNlQGV4YW1wbGUuanAsAWhvc3Q9cG9wLmV4YW1wbGUuanABcG9ydD05OTUBYXV0aD1CZWFyZXIgeWEyOS50b2sBAQ==";
// {"status":"invalid_token","schemes":"bearer","scope":"https://mail.google.com/"}
constexpr char kInvalidTokenChallenge[] =
    "eyJzdGF0dXMiOiJpbnZhbGlkX3Rva2VuIiwic2NoZW1lcyI6ImJlYXJlciIsInNjb3BlIjoiaHR0cHM6Ly9tYWlsLmdvb2dsZS5jb20vIn0=";

struct OAuthCase {
  const char* name;
  std::string dialogue;  // after the greeting
  PopOutcome outcome;
  bool token_refused;
  std::string message;  // the one message shown; empty: none
};

TEST_F(PopSessionTest, OAuthLoginsAndRefusals) {
  const std::string refused = std::string(oauth_text::kRefused);
  const std::vector<OAuthCase> cases = {
      {"XOAUTH2 when OAUTHBEARER is not offered",
       "C: CAPA\nS: +OK\nS: USER\nS: SASL PLAIN XOAUTH2\nS: .\nC: AUTH XOAUTH2 " + std::string(kXOAuth2Response) +
           "\nS: +OK logged in\nC: QUIT\nS: +OK\n",
       PopOutcome::Completed, false, ""},
      {"OAUTHBEARER preferred",
       "C: CAPA\nS: +OK\nS: SASL XOAUTH2 OAUTHBEARER\nS: .\nC: AUTH OAUTHBEARER " + std::string(kBearerResponse) +
           "\nS: +OK\nC: QUIT\nS: +OK\n",
       PopOutcome::Completed, false, ""},
      {"no CAPA: XOAUTH2 is tried",
       "C: CAPA\nS: -ERR unknown\nC: AUTH XOAUTH2 " + std::string(kXOAuth2Response) + "\nS: +OK\nC: QUIT\nS: +OK\n",
       PopOutcome::Completed, false, ""},
      {"XOAUTH2 refusal acknowledged with an empty line",
       "C: CAPA\nS: +OK\nS: SASL XOAUTH2\nS: .\nC: AUTH XOAUTH2 " + std::string(kXOAuth2Response) + "\nS: + " +
           kInvalidTokenChallenge + "\nC: \nS: -ERR [AUTH] failed\nC: QUIT\nS: +OK\n",
       PopOutcome::Failed, true, refused + "invalid_token"},
      {"OAUTHBEARER refusal acknowledged with 0x01",
       "C: CAPA\nS: +OK\nS: SASL OAUTHBEARER\nS: .\nC: AUTH OAUTHBEARER " + std::string(kBearerResponse) + "\nS: + " +
           kInvalidTokenChallenge + "\nC: AQ==\nS: -ERR failed\nC: QUIT\nS: +OK\n",
       PopOutcome::Failed, true, refused + "invalid_token"},
      {"malformed challenge cancelled",
       "C: CAPA\nS: +OK\nS: SASL XOAUTH2\nS: .\nC: AUTH XOAUTH2 " + std::string(kXOAuth2Response) +
           "\nS: + e30=\nC: *\nS: -ERR cancelled\nC: QUIT\nS: +OK\n",
       PopOutcome::Failed, true, refused + "-ERR cancelled"},
      {"plain refusal",
       "C: CAPA\nS: +OK\nS: SASL XOAUTH2\nS: .\nC: AUTH XOAUTH2 " + std::string(kXOAuth2Response) +
           "\nS: -ERR [AUTH] bad token\nC: QUIT\nS: +OK\n",
       PopOutcome::Failed, true, refused + "-ERR [AUTH] bad token"},
      {"no OAuth mechanism offered",
       "C: CAPA\nS: +OK\nS: SASL PLAIN LOGIN\nS: .\nC: QUIT\nS: +OK\n", PopOutcome::Failed, false,
       oauth_text::kNotOffered},
  };
  settings_.tls = TlsMode::Implicit;
  settings_.port = 995;
  settings_.oauth = true;
  settings_.user = "alice@example.jp";
  settings_.access_token = "ya29.tok";
  for (const OAuthCase& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.messages.clear();
    for (const std::size_t piece : {0, 3}) {
      const Played played = Play("S: +OK ready\n" + c.dialogue, piece, Machine::LoginCheck);
      EXPECT_THAT(played.failures, IsEmpty());
      ASSERT_TRUE(played.result);
      EXPECT_EQ(played.result->outcome, c.outcome);
      EXPECT_EQ(played.result->token_refused, c.token_refused);
      EXPECT_THAT(played.log, Not(HasSubstr("dXNlcj1")));
      EXPECT_THAT(played.log, Not(HasSubstr("bixhPW")));
    }
    if (c.message.empty()) {
      EXPECT_THAT(ui_.messages, IsEmpty());
    } else {
      EXPECT_THAT(ui_.messages, ElementsAre(c.message, c.message));
    }
  }
}

TEST_F(PopSessionTest, OAuthTokenTooLongForTheCommandFollowsTheContinuation) {
  settings_.tls = TlsMode::Implicit;
  settings_.oauth = true;
  settings_.user = "alice@example.jp";
  settings_.access_token = std::string(300, 'x');
  const std::string response = Base64EncodeBlock("user=alice@example.jp\x01" "auth=Bearer " + std::string(300, 'x') +
                                                 "\x01\x01");
  const Played played = Play("S: +OK ready\nC: CAPA\nS: +OK\nS: SASL XOAUTH2\nS: .\nC: AUTH XOAUTH2\nS: + \nC: " +
                                 response + "\nS: +OK\nC: UIDL\nS: +OK\nS: .\nC: QUIT\nS: +OK\n");
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_TRUE(played.result);
  EXPECT_EQ(played.result->outcome, PopOutcome::Completed);
  EXPECT_THAT(played.log, Not(HasSubstr("eHh4")));
}

// A token never goes out in clear, and without one nothing is sent at all.
TEST_F(PopSessionTest, OAuthNeedsTlsAndAToken) {
  settings_.oauth = true;
  settings_.access_token = "ya29.tok";
  ScriptedTransport plain("S: +OK ready\n");
  Play({}, 0, Machine::LoginCheck, &plain);
  EXPECT_EQ(plain.Endpoint().host, "");
  EXPECT_THAT(ui_.messages, ElementsAre(oauth_text::kNeedsTls));

  ui_.messages.clear();
  settings_.tls = TlsMode::StartTls;
  settings_.access_token.clear();
  ScriptedTransport tokenless("S: +OK ready\n");
  const Played played = Play({}, 0, Machine::LoginCheck, &tokenless);
  EXPECT_EQ(tokenless.Endpoint().host, "");
  ASSERT_TRUE(played.result);
  EXPECT_TRUE(played.result->token_refused);
  EXPECT_THAT(ui_.messages, ElementsAre(oauth_text::kSignInNeeded));
}

// Providers that turned passwords off say so; the message leads to the sign-in.
TEST_F(PopSessionTest, ProviderRefusingPasswordsOffersTheSignIn) {
  const Played played = Play("S: +OK ready\nC: USER alice\nS: +OK\nC: PASS s3cret!\n"
                             "S: -ERR [AUTH] Web login required: https://support.google.com/mail/answer/78754\n"
                             "C: QUIT\nS: +OK\n",
                             0, Machine::LoginCheck);
  EXPECT_THAT(played.failures, IsEmpty());
  ASSERT_TRUE(played.result);
  EXPECT_TRUE(played.result->password_refused);
  EXPECT_TRUE(played.result->passwords_off);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], HasSubstr(oauth_text::kPasswordsOff));

  ui_.messages.clear();
  const Played wrong = Play(Script("wrong_password.pop"), 0, Machine::LoginCheck);
  ASSERT_TRUE(wrong.result);
  EXPECT_FALSE(wrong.result->passwords_off);
}

}  // namespace
}  // namespace lp
