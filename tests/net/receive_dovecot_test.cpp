#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/mail_controller.h"
#include "config/account_table.h"
#include "net/pop_messages.h"
#include "net/receive_messages.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "config/app_settings.h"
#include "rules/sort_rules.h"
#include "store/fixed_boxes.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_directory.h"

// Receiving through the controller and the Qt transport from a real Dovecot
// on 127.0.0.1, into a real receive box.

namespace lp {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using testing::DovecotServer;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::string kInbox = "\x8E\xF3\x90\x4D.lp";  // 受信.lp
const std::string kHello = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd";  // こんにちは

// A Japanese mail as a mail program sends it: subject "こんにちは <tag>",
// body in ISO-2022-JP.
std::string JapaneseMail(const std::string& tag, const std::string& to = "alice@example.jp",
                         const std::string& extra_body = {}) {
  return "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
         "To: " + to + "\r\n"
         "Subject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?= " + tag + "\r\n"
         "Date: Wed, 09 Dec 2026 10:00:00 +0900\r\n"
         "Message-Id: <" + tag + "@example.jp>\r\n"
         "MIME-Version: 1.0\r\n"
         "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n"
         "\x1B$B$3$s$K$A$O\x1B(B\r\n" + extra_body;
}

// HTML mail that runs a file through an IFRAME, as mail worms sent it.
std::string IframeMail(const std::string& tag) {
  return "From: bad@example.com\r\nTo: alice@example.jp\r\nSubject: " + tag + "\r\nMessage-Id: <" + tag +
         "@example.com>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/alternative;\r\n"
         "\tboundary=\"----=_NextPart\"\r\n\r\n"
         "------=_NextPart\r\nContent-Type: text/html; charset=us-ascii\r\n\r\n"
         "<HTML><BODY><IFRAME src=3D\"cid:EA4DMGBP9p\" height=3D0 width=3D0></IFRAME></BODY></HTML>\r\n"
         "------=_NextPart--\r\n";
}

std::string Subject(const std::string& tag) { return kHello + " " + tag; }

std::string Format(const char* format, int n) {
  char text[128];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

class ReceiveDovecotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("alice", "secret");
    EnsureEventLoopApplication();
    CSetMenu& account = accounts_.At(0);
    account.name = "alice";
    account.pop = server_.host();
    account.pop_port = static_cast<std::uint16_t>(server_.pop3_port());
    account.user_id = "alice";
    account.pass = "secret";
    account.adr = "alice@example.jp";
    account.not_del = false;
    controller_ = std::make_unique<MailController>(MailController::Dependencies{
        profile_, accounts_, registry_, ui_, commands_, CurrentDirectory(), [this]() -> std::unique_ptr<Transport> {
          return std::make_unique<QtTransport>(QtTransportOptions{server_.certificate_path()});
        }});
    EnsureFixedBoxes(profile_);
    ASSERT_TRUE(controller_->OpenReceiveBox());
  }

  // Waits until the run that `start` began is over.
  void Run(const std::function<bool()>& start, const std::function<void()>& while_running = {}) {
    ui_.messages.clear();
    ASSERT_TRUE(start());
    const bool ended = RunEventLoopUntil(
        [&] {
          if (while_running) while_running();
          return controller_->Idle();
        },
        120s);
    ASSERT_TRUE(ended) << server_.Log();
  }
  void Receive() {
    Run([&] { return controller_->Receive(); });
  }

  std::vector<std::string> SubjectsOf(const std::string& box_path) {
    CLPOSTDoc box(profile_, ui_, commands_);
    if (!box.Open(box_path).ok) return {};
    std::vector<std::string> subjects;
    for (int i = 0; i < box.Count(); ++i) subjects.push_back(box.RecordAt(i)->subject);
    return subjects;
  }

  DovecotServer server_;
  testing::TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  OpenBoxRegistry registry_{profile_, ui_, commands_};
  CSetMenuArray accounts_;
  std::unique_ptr<MailController> controller_;
};

TEST_F(ReceiveDovecotTest, DeleteAfterRetrieveEmptiesTheServer) {
  server_.AddMessages("alice", {JapaneseMail("1"), JapaneseMail("2", "alice@example.jp", ".leading dot\r\n"),
                                JapaneseMail("3")});
  Receive();
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 3)));
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), Subject("2"), Subject("3")));
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
  EXPECT_FALSE(PathExists("inbox.log"));
  EXPECT_EQ(profile_.GetString("Set00", "MessageID"), "<3@example.jp>");
  EXPECT_THAT(ReadFileBytes(dir_.File("rec.log")), ::testing::Not(HasSubstr("secret")));

  Receive();
  EXPECT_THAT(ui_.messages, ElementsAre(receive_text::kNoNewMail));
  EXPECT_THAT(SubjectsOf(kInbox), SizeIs(3));
}

TEST_F(ReceiveDovecotTest, ApopLeavingMailOnTheServerFetchesOnlyWhatIsNew) {
  accounts_.At(0).apop = true;
  accounts_.At(0).not_del = true;
  server_.AddMessages("alice", {JapaneseMail("1"), JapaneseMail("2")});
  Receive();
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), Subject("2")));
  server_.AddMessages("alice", {JapaneseMail("3")});
  Receive();
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 1)));
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), Subject("2"), Subject("3")));
  EXPECT_THAT(server_.Messages("alice"), SizeIs(3));
  Receive();
  EXPECT_THAT(ui_.messages, ElementsAre(receive_text::kNoNewMail));
}

// The user turns "leave on server" off: what was kept there is deleted,
// not fetched again, and the new mail comes once.
TEST_F(ReceiveDovecotTest, TurningLeaveOnServerOffBringsNoDuplicates) {
  accounts_.At(0).not_del = true;
  server_.AddMessages("alice", {JapaneseMail("1"), JapaneseMail("2"), JapaneseMail("3")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), SizeIs(3));
  EXPECT_THAT(server_.Messages("alice"), SizeIs(3));

  accounts_.At(0).not_del = false;
  server_.AddMessages("alice", {JapaneseMail("4")});
  Receive();
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 1)));
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), Subject("2"), Subject("3"), Subject("4")));
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
}

TEST_F(ReceiveDovecotTest, ServerTrimLeavesTheNewestMail) {
  accounts_.At(0).not_del = true;
  ASSERT_TRUE(profile_.WriteInt("System", "Serverdel", 1));
  ASSERT_TRUE(profile_.WriteInt("System", "DelNo", 1));
  server_.AddMessages("alice", {JapaneseMail("1"), JapaneseMail("2"), JapaneseMail("3"), JapaneseMail("4")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), SizeIs(4));
  const std::vector<std::string> left = server_.Messages("alice");
  ASSERT_FALSE(left.empty());
  EXPECT_LT(left.size(), 4u);
  EXPECT_THAT(left.back(), HasSubstr("<4@example.jp>"));
}

TEST_F(ReceiveDovecotTest, IframeMailIsSetAside) {
  // Received: the pipeline moves it to the trash.
  server_.AddMessages("alice", {JapaneseMail("1"), IframeMail("virus1")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1")));
  EXPECT_THAT(SubjectsOf(TrashBoxPath(profile_)), ElementsAre("virus1"));
  // Checked on the server: it never arrives.
  ASSERT_TRUE(profile_.WriteInt("System", "IframeDel", 1));
  server_.AddMessages("alice", {IframeMail("virus2"), JapaneseMail("2")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), Subject("2")));
  EXPECT_THAT(SubjectsOf(TrashBoxPath(profile_)), ElementsAre("virus1"));
  EXPECT_THAT(server_.Messages("alice"), IsEmpty());
}

TEST_F(ReceiveDovecotTest, LanSpoolComesWithTheServersMail) {
  testing::TempDirectory lan;
  WriteFileBytes(lan.File("inbox.log"), "From: bob@example.jp\r\nSubject: lan\r\n\r\nhello\r\n.\r\n");
  ASSERT_TRUE(profile_.WriteString("Lan", "Dir", lan.path()));
  server_.AddMessages("alice", {JapaneseMail("1")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), "lan"));
  EXPECT_FALSE(PathExists(lan.path() + "/inbox.log"));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 2)));

  // LAN mail only.
  WriteFileBytes(lan.File("inbox.log"), "From: bob@example.jp\r\nSubject: lan2\r\n\r\nhello\r\n.\r\n");
  server_.AddMessages("alice", {JapaneseMail("2")});
  Run([&] { return controller_->LanReceive(); });
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1"), "lan", "lan2"));
  EXPECT_THAT(server_.Messages("alice"), SizeIs(1));
}

TEST_F(ReceiveDovecotTest, RulesMoveForwardAndReply) {
  const std::string moved_box = AbsolutePath("moved.lp");
  WriteFileBytes(dir_.File("moved.lp"), "");
  WriteFileBytes(dir_.File("reply.txt"), "Thank you.\r\n");
  CDivMenuArray rules;
  ASSERT_TRUE(rules.Add(CDivMenu{kRuleFieldSubject, "move", moved_box, "", ""}));
  ASSERT_TRUE(rules.Add(CDivMenu{kRuleFieldSubject, "forward", "", "boss@example.jp", ""}));
  ASSERT_TRUE(rules.Add(CDivMenu{kRuleFieldSubject, "reply", "", "", AbsolutePath("reply.txt")}));
  ASSERT_TRUE(rules.Save(profile_));
  server_.AddMessages("alice", {JapaneseMail("move"), JapaneseMail("forward"), JapaneseMail("reply"),
                                JapaneseMail("stay")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("forward"), Subject("reply"), Subject("stay")));
  EXPECT_THAT(SubjectsOf(moved_box), ElementsAre(Subject("move")));
  EXPECT_THAT(SubjectsOf(kDefaultSendBoxFile), SizeIs(2));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 4),
                                        Format(receive_text::kCreatedMailFormat, 2)));
}

TEST_F(ReceiveDovecotTest, DirectMailIsMovedAside) {
  const std::string dm_box = AbsolutePath("dm.lp");
  WriteFileBytes(dir_.File("dm.lp"), "");
  ASSERT_TRUE(profile_.WriteInt("Spam", "Divide", 1));
  ASSERT_TRUE(profile_.WriteString("Spam", "Box", dm_box));
  ASSERT_TRUE(profile_.WriteInt("Spam", "ToCheck", 1));
  server_.AddMessages("alice", {JapaneseMail("mine"), JapaneseMail("ad", "everyone@example.com")});
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("mine")));
  EXPECT_THAT(SubjectsOf(dm_box), ElementsAre(Subject("ad")));
}

TEST_F(ReceiveDovecotTest, PatrolOverTwoAccountsReportsOnce) {
  server_.AddUser("bob", "hunter2");
  ASSERT_TRUE(accounts_.AppendNew("bob"));
  CSetMenu& bob = accounts_.At(1);
  bob.pop = server_.host();
  bob.pop_port = static_cast<std::uint16_t>(server_.pop3_port());
  bob.user_id = "bob";
  bob.pass = "hunter2";
  bob.not_del = false;
  server_.AddMessages("alice", {JapaneseMail("a1"), JapaneseMail("a2")});
  server_.AddMessages("bob", {JapaneseMail("b1", "bob@example.jp")});
  Run([&] { return controller_->Patrol(); });
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 3)));
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("a1"), Subject("a2"), Subject("b1")));
  EXPECT_EQ(accounts_.CurrentIndex(), 0u);
  EXPECT_THAT(server_.Messages("bob"), IsEmpty());
}

TEST_F(ReceiveDovecotTest, ImplicitTlsAndStls) {
  const struct {
    AccountTls tls;
    bool implicit_port;
  } cases[] = {{AccountTls::Implicit, true}, {AccountTls::StartTls, false}};
  int n = 0;
  for (const auto& c : cases) {
    accounts_.At(0).pop_tls = c.tls;
    accounts_.At(0).pop_port = static_cast<std::uint16_t>(c.implicit_port ? server_.pop3s_port() : server_.pop3_port());
    const std::string tag = "tls" + std::to_string(++n);
    server_.AddMessages("alice", {JapaneseMail(tag)});
    Receive();
    EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::Ok) << tag;
    EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 1))) << tag;
  }
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("tls1"), Subject("tls2")));
}

TEST_F(ReceiveDovecotTest, WrongPasswordLosesNothing) {
  accounts_.At(0).pass = "wrong";
  server_.AddMessages("alice", {JapaneseMail("1")});
  Receive();
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::SessionFailed);
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_EQ(ui_.messages.front().rfind(pop_text::kPasswordError, 0), 0u);
  EXPECT_THAT(SubjectsOf(kInbox), IsEmpty());
  EXPECT_THAT(server_.Messages("alice"), SizeIs(1));

  accounts_.At(0).pass = "secret";
  Receive();
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1")));
}

TEST_F(ReceiveDovecotTest, ServerKilledMidRetrKeepsWhatArrivedAndTheRerunGetsTheRest) {
  std::string big;
  while (big.size() < 40u * 1024 * 1024) big += std::string(76, 'b') + "\r\n";
  server_.AddMessages("alice", {JapaneseMail("1"), JapaneseMail("2", "alice@example.jp", big), JapaneseMail("3")});
  bool killed = false;
  Run([&] { return controller_->Receive(); },
      [&] {
        if (killed) return;
        const std::optional<std::uint64_t> size = FileSize("inbox.log");
        if (size && *size > 1024 * 1024) {
          server_.Kill();
          killed = true;
        }
      });
  ASSERT_TRUE(killed);
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::SessionFailed);
  EXPECT_THAT(SubjectsOf(kInbox), ElementsAre(Subject("1")));

  // The same mail directory served again: the rest arrives, once.
  std::vector<std::string> left = server_.Messages("alice");
  DovecotServer again;
  ASSERT_TRUE(again.running()) << again.Log();
  again.AddUser("alice", "secret");
  again.AddMessages("alice", left);
  accounts_.At(0).pop_port = static_cast<std::uint16_t>(again.pop3_port());
  Receive();
  EXPECT_EQ(controller_->LastStatus(), ReceiveStatus::Ok);
  // Without QUIT the server rolled the deletion of the first mail back, so
  // it may come twice; the others come once and whole.
  const std::vector<std::string> subjects = SubjectsOf(kInbox);
  EXPECT_THAT(subjects, ::testing::Contains(Subject("1")));
  EXPECT_EQ(std::count(subjects.begin(), subjects.end(), Subject("2")), 1);
  EXPECT_EQ(std::count(subjects.begin(), subjects.end(), Subject("3")), 1);
  EXPECT_EQ(subjects.back(), Subject("3"));
  EXPECT_THAT(again.Messages("alice"), IsEmpty());
}

}  // namespace
}  // namespace lp
