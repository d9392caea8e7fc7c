#include "net/receive_pipeline.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/mail_controller.h"
#include "config/account_table.h"
#include "net/pop_messages.h"
#include "net/receive_messages.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "rules/sort_rules.h"
#include "store/fixed_boxes.h"
#include "tests/store/mailbox_test_boxes.h"
#include "tests/support/scripted_transport.h"

// The receive pipeline and the controller's receive, patrol, LAN and
// delete-all runs, with scripted POP3 servers and spools written by hand.

namespace lp {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ReadFileBytes;
using testing::ScriptedTransport;
using testing::WriteFileBytes;

const std::string kInbox = "\x8E\xF3\x90\x4D.lp";  // 受信.lp

std::string Mail(const std::string& subject, const std::string& body = "body\r\n") {
  return "From: sender@example.jp\r\nTo: me@example.jp\r\nSubject: " + subject + "\r\nMessage-Id: <" + subject +
         "@example.jp>\r\n\r\n" + body;
}

std::string IframeMail(const std::string& subject) {
  return "From: bad@example.com\r\nTo: me@example.jp\r\nSubject: " + subject +
         "\r\nContent-Type: text/html\r\n\r\n<html><body><iframe src=\"cid:x\"></iframe></body></html>\r\n";
}

// A spool as a POP3 session writes it.
std::string Spool(const std::vector<std::string>& mails) {
  std::string spool;
  for (const std::string& mail : mails) spool += "+OK\r\n" + mail + "\r\n.\r\n";
  return spool;
}

std::string Format(const char* format, int n) {
  char text[128];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

// A POP3 dialogue that hands over `subjects` (their uids) and deletes them.
std::string DeliveringScript(const std::vector<std::string>& subjects) {
  std::string script = "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: UIDL\nS: +OK\n";
  for (std::size_t i = 0; i < subjects.size(); ++i) script += "S: " + std::to_string(i + 1) + " " + subjects[i] + "\n";
  script += "S: .\n";
  for (std::size_t i = 0; i < subjects.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    script += "C: RETR " + n + "\nS: +OK\nS: Subject: " + subjects[i] + "\nS: Message-Id: <" + subjects[i] +
              "@example.jp>\nS:\nS: body\nS: .\nC: DELE " + n + "\nS: +OK\n";
  }
  return script + "C: QUIT\nS: +OK\n";
}

class RecordingView : public ReceiveViewObserver {
 public:
  void OnStatusText(std::string_view text) override { status.emplace_back(text); }
  void OnMailListSet(CLPOSTDoc&, int caret) override { carets.push_back(caret); }
  std::vector<std::string> status;
  std::vector<int> carets;
};

class ReceivePipelineTest : public testing::BoxTest {
 protected:
  ReceivePipelineTest() {
    accounts_.At(0).name = "main";
    accounts_.At(0).pop = "";  // LAN-only unless a test sets a server
    accounts_.At(0).user_id = "alice";
    accounts_.At(0).pass = "secret";
    accounts_.At(0).not_del = false;
  }

  std::unique_ptr<MailController> MakeController() {
    EnsureFixedBoxes(profile_);
    auto controller = std::make_unique<MailController>(MailController::Dependencies{
        profile_, accounts_, registry_, ui_, commands_, CurrentDirectory(), [this]() -> std::unique_ptr<Transport> {
          if (scripts_.empty()) return nullptr;
          auto transport = std::make_unique<ScriptedTransport>(scripts_.front());
          scripts_.pop_front();
          transports_.push_back(transport.get());
          return transport;
        }});
    EXPECT_TRUE(controller->OpenReceiveBox());
    controller->SetViewObserver(&view_);
    return controller;
  }

  // Plays every transport the controller makes until it is idle.
  void Drive(MailController& controller) {
    for (; played_ < transports_.size(); ++played_) {
      ScriptedTransport* transport = transports_[played_];
      transport->Run();
      EXPECT_THAT(transport->Failures(), IsEmpty());
    }
    EXPECT_TRUE(controller.Idle());
  }

  std::vector<std::string> InboxSubjects() { return Subjects(*Reopen(kInbox)); }

  // One run of the pipeline on the receive box, `steps` told of each file step.
  void RunPipeline(const WriteStepHook& steps) {
    OpenBoxRegistry registry(profile_, ui_, commands_);
    BoxHandle box = registry.Acquire(kInbox).box;
    EXPECT_TRUE(box);
    ReceivePipeline pipeline(*box, registry, ui_);
    ReceivePipelineInput input;
    input.working_directory = CurrentDirectory();
    input.steps = steps;
    (void)pipeline.Run(input);
  }

  // Runs the pipeline in a child process that ends itself at file step `n`,
  // as a crash would; true when the run completed before it got there.
  bool RunPipelineEndingAtStep(int n) {
    constexpr int kCrashed = 42;
    constexpr int kCompleted = 43;
    const pid_t child = fork();
    if (child == 0) {
      int step = 0;
      RunPipeline([&](std::string_view) {
        if (++step == n) _exit(kCrashed);
      });
      _exit(kCompleted);
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    const bool exited = WIFEXITED(status) != 0;
    EXPECT_TRUE(exited && (WEXITSTATUS(status) == kCrashed || WEXITSTATUS(status) == kCompleted));
    return exited && WEXITSTATUS(status) == kCompleted;
  }

  CSetMenuArray accounts_;
  OpenBoxRegistry registry_{profile_, ui_, commands_};
  RecordingView view_;
  std::deque<std::string> scripts_;
  std::vector<ScriptedTransport*> transports_;
  std::size_t played_ = 0;
};

TEST_F(ReceivePipelineTest, ArrivalMessagesFollowTheSettings) {
  struct Case {
    int no_mail, mail_mes, received, created;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {1, 1, 0, 0, {receive_text::kNoNewMail}},
      {0, 1, 0, 0, {}},
      {1, 1, 3, 0, {Format(receive_text::kNewMailFormat, 3)}},
      {1, 0, 3, 2, {}},
      {1, 1, 0, 2, {receive_text::kNoNewMail, Format(receive_text::kCreatedMailFormat, 2)}},
      {1, 1, 5, 1, {Format(receive_text::kNewMailFormat, 5), Format(receive_text::kCreatedMailFormat, 1)}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(profile_.WriteInt("View", "NoMail", c.no_mail));
    ASSERT_TRUE(profile_.WriteInt("View", "MailMes", c.mail_mes));
    ui_.messages.clear();
    ShowArrivalMessages(ui_, profile_, c.received, c.created);
    EXPECT_THAT(ui_.messages, ElementsAreArray(c.expected)) << c.received << " " << c.created;
  }
  EXPECT_EQ(Format(receive_text::kNewMailFormat, 3),
            "\x90\x56\x82\xb5\x82\xa2\x83\x81\x81\x5b\x83\x8b\x82\xaa 3\x92\xca \x93\x9e\x92\x85\x82\xb5\x82\xdc\x82\xb5"
            "\x82\xbd");  // 新しいメールが 3通 到着しました
}

TEST_F(ReceivePipelineTest, CaretAfterReceiveFollowsRecCursor) {
  std::vector<testing::TestMail> mails;
  for (int i = 0; i < 13; ++i) mails.emplace_back("m" + std::to_string(i), "t", i == 5 || i >= 10 ? kStatusUnread : kStatusRead);
  auto box = MakeBox(kInbox, mails);
  const struct {
    int setting;
    int first_new;
    int expected;
  } cases[] = {{0, 10, -1}, {1, 10, 10}, {1, 20, 12}, {2, 10, 5}, {7, 10, -1}};
  for (const auto& c : cases) {
    ASSERT_TRUE(profile_.WriteInt("System", "nRecCursor", c.setting));
    EXPECT_EQ(CaretAfterReceive(*box, profile_, c.first_new), c.expected) << c.setting;
  }
}

TEST_F(ReceivePipelineTest, LanDirectoryEqualToTheWorkingDirectoryIsNoSecondSpool) {
  const std::string work = "/data/Mail";
  const struct {
    std::string lan;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"/data/Mail", ""},
      {"/data/Mail/", ""},
      {"/DATA/mail", ""},
      {"/data/Other", "/data/Other/"},
      {"/data/Other/", "/data/Other/"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(profile_.WriteString("Lan", "Dir", c.lan));
    EXPECT_EQ(LanSpoolDirectory(profile_, work), c.expected) << c.lan;
  }
}

TEST_F(ReceivePipelineTest, UnfinishedTailIsCutOnlyWhenASessionWroteIt) {
  const std::string whole = Spool({Mail("a"), Mail("b")});
  const struct {
    std::string name;
    std::string content;
    std::string expected;
  } cases[] = {
      {"whole", whole, whole},
      {"half a message", whole + "+OK\r\nSubject: c\r\n\r\nhalf", whole},
      {"only half a message", "+OK\r\nSubject: c\r\n", ""},
      {"text not from a session", whole + "Subject: hand made\r\n", whole + "Subject: hand made\r\n"},
      {"empty", "", ""},
      {"big message cut", whole + "+OK\r\n" + std::string(200000, 'x'), whole},
  };
  for (const auto& c : cases) {
    WriteFileBytes(dir_.File("inbox.log"), c.content);
    EXPECT_TRUE(TrimUnfinishedSpoolTail("inbox.log")) << c.name;
    EXPECT_EQ(ReadFileBytes(dir_.File("inbox.log")), c.expected) << c.name;
  }
  EXPECT_TRUE(TrimUnfinishedSpoolTail("missing.log"));
}

TEST_F(ReceivePipelineTest, ReceivedMailIsOnDiskBeforeTheSpoolGoes) {
  MakeBox(kInbox, {{"old", "old text"}});
  WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("a"), Mail("b"), Mail("c")}));
  auto controller = MakeController();
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_TRUE(controller->Idle());
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_FALSE(PathExists("inbox.log"));
  EXPECT_THAT(InboxSubjects(), ElementsAre("old", "a", "b", "c"));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 3)));
  EXPECT_EQ(controller->NewCount(), 3);
  EXPECT_THAT(view_.carets, ElementsAre(-1));
  EXPECT_EQ(view_.status.back(), receive_text::kReady);
}

TEST_F(ReceivePipelineTest, BoxThatCannotBeSavedKeepsTheSpool) {
  MakeBox(kInbox, {});
  const std::string spool = Spool({Mail("a")});
  WriteFileBytes(dir_.File("inbox.log"), spool);
  auto controller = MakeController();
  // The index file turns into a non-empty directory: no save can replace it.
  ASSERT_TRUE(RemoveFile(kInbox));
  ASSERT_TRUE(MakeDirectory(kInbox));
  WriteFileBytes(dir_.File(kInbox + "/keep"), "x");
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::AnalysisFailed);
  EXPECT_EQ(ReadFileBytes(dir_.File("inbox.log")), spool);
}

TEST_F(ReceivePipelineTest, AnalysisFailureKeepsTheSpoolForAnalyseAgain) {
  MakeBox(kInbox, {});
  const std::string spool = Spool({Mail("a"), Mail("b")});
  WriteFileBytes(dir_.File("inbox.log"), spool);
  auto controller = MakeController();
  // The text file cannot be appended to.
  (void)RemoveFile(TextFilePathOf(kInbox));
  ASSERT_TRUE(MakeDirectory(TextFilePathOf(kInbox)));
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::AnalysisFailed);
  EXPECT_EQ(ReadFileBytes(dir_.File("inbox.log")), spool);
  EXPECT_THAT(ui_.messages, ElementsAre(std::string(receive_text::kAnalysisFailed), receive_text::kNoNewMail));

  // Analyse again once the text file is usable.
  ASSERT_EQ(rmdir(Native(TextFilePathOf(kInbox)).c_str()), 0);
  ui_.messages.clear();
  EXPECT_EQ(controller->AnalyseAgain(), 2);
  EXPECT_THAT(ui_.messages, IsEmpty());
  EXPECT_FALSE(PathExists("inbox.log"));
  EXPECT_THAT(InboxSubjects(), ElementsAre("a", "b"));
}

TEST_F(ReceivePipelineTest, NoMailLeavesTheEmptySpool) {
  MakeBox(kInbox, {});
  WriteFileBytes(dir_.File("inbox.log"), "");
  auto controller = MakeController();
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(ui_.messages, ElementsAre(receive_text::kNoNewMail));
  EXPECT_TRUE(PathExists("inbox.log"));
}

TEST_F(ReceivePipelineTest, IframeMailGoesToTheTrash) {
  MakeBox(kInbox, {});
  WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("good"), IframeMail("virus"), Mail("fine")}));
  auto controller = MakeController();
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_THAT(InboxSubjects(), ElementsAre("good", "fine"));
  EXPECT_THAT(Subjects(*Reopen(TrashBoxPath(profile_))), ElementsAre("virus"));
  // The count is of the mail that arrived, the virus mail included.
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 3)));
}

TEST_F(ReceivePipelineTest, LanSpoolIsPickedUpOnceAndRemoved) {
  MakeBox(kInbox, {});
  testing::TempDirectory lan;
  WriteFileBytes(lan.File("inbox.log"), Spool({Mail("lan1"), Mail("lan2")}));
  WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("pop")}));
  ASSERT_TRUE(profile_.WriteString("Lan", "Dir", lan.path()));
  auto controller = MakeController();
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_THAT(InboxSubjects(), ElementsAre("pop", "lan1", "lan2"));
  EXPECT_FALSE(PathExists(lan.path() + "/inbox.log"));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 3)));

  // The working directory named as the LAN directory is not read twice.
  WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("again")}));
  ASSERT_TRUE(profile_.WriteString("Lan", "Dir", CurrentDirectory() + "/"));
  ui_.messages.clear();
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_THAT(InboxSubjects(), ElementsAre("pop", "lan1", "lan2", "again"));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 1)));
}

TEST_F(ReceivePipelineTest, CaretGoesToTheFirstNewMail) {
  std::vector<testing::TestMail> old;
  for (int i = 0; i < 10; ++i) old.emplace_back("old" + std::to_string(i), "t");
  MakeBox(kInbox, old);
  ASSERT_TRUE(profile_.WriteInt("System", "nRecCursor", 1));
  WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("a"), Mail("b"), Mail("c")}));
  auto controller = MakeController();
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_THAT(view_.carets, ElementsAre(10));
  EXPECT_EQ(controller->ReceiveBox().current_index(), 10);
}

// In a send-and-receive of an account that receives first, the list and
// the unread marks show the new mail before the send starts; the arrival
// messages wait for the end of the send.
TEST_F(ReceivePipelineTest, ReceiveBeforeTheSendRefreshesTheListFirst) {
  accounts_.At(0).pop_before = true;
  WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("a")}));
  auto controller = MakeController();
  controller->SetSendAfterReceive(true);
  ASSERT_TRUE(controller->LanReceive());
  EXPECT_THAT(view_.carets, ElementsAre(-1));
  ASSERT_FALSE(commands_.commands.empty());
  EXPECT_EQ(commands_.commands.back(), kCommandSend);
  EXPECT_THAT(ui_.messages, IsEmpty());
  EXPECT_EQ(controller->NewCount(), 1);
}

TEST_F(ReceivePipelineTest, ReceiveFromTheServerKeepsTheAccountsState) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  scripts_.push_back(DeliveringScript({"one", "two"}));
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  EXPECT_FALSE(controller->Idle());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(InboxSubjects(), ElementsAre("one", "two"));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 2)));
  // The last Message-Id read is the account's, on disk.
  EXPECT_EQ(profile_.GetString("Set00", "MessageID"), "<two@example.jp>");
  EXPECT_EQ(view_.status.front(), receive_text::kConnectingPop);
}

TEST_F(ReceivePipelineTest, RememberedNumberAndMessageIdCarryOverToTheNextReceive) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  accounts_.At(0).not_del = true;
  const std::string login = "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: UIDL\nS: -ERR\n";
  auto message = [](int n) {
    return "C: RETR " + std::to_string(n) + "\nS: +OK\nS: Subject: m" + std::to_string(n) + "\nS: Message-Id: <m" +
           std::to_string(n) + "@example.jp>\nS:\nS: body\nS: .\n";
  };
  scripts_.push_back(login + "C: STAT\nS: +OK 2 200\n" + message(1) + message(2) + "C: QUIT\nS: +OK\n");
  // The next session checks by Message-Id that message 2 is still the last
  // one received, and fetches from 3 on.
  scripts_.push_back(login + "C: STAT\nS: +OK 3 300\nC: TOP 2 0\nS: +OK\nS: Message-Id: <m2@example.jp>\nS:\nS: .\n" +
                     message(3) + "C: QUIT\nS: +OK\n");
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(profile_.GetInt("Set00", "RETR", 0), 3);
  EXPECT_EQ(profile_.GetString("Set00", "MessageID"), "<m2@example.jp>");
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(InboxSubjects(), ElementsAre("m1", "m2", "m3"));
  EXPECT_EQ(profile_.GetInt("Set00", "RETR", 0), 4);
  EXPECT_EQ(accounts_.At(0).message_id, "<m3@example.jp>");
}

TEST_F(ReceivePipelineTest, NoCrashPointOfThePipelineLosesMail) {
  const std::string moved = AbsolutePath("a.lp");
  CDivMenuArray rules;
  ASSERT_TRUE(rules.Add(CDivMenu{kRuleFieldSubject, "move", moved, "", ""}));
  ASSERT_TRUE(rules.Save(profile_));
  testing::TempDirectory lan;
  ASSERT_TRUE(profile_.WriteString("Lan", "Dir", lan.path()));
  const std::vector<std::string> expected = {"m0", "move1", "virus", "m3", "lan0"};

  int n = 1;
  for (bool done = false; !done && n < 200; ++n) {
    for (const std::string& name : {kInbox, TextFilePathOf(kInbox), std::string("a.lp"), std::string("a.mb"),
                                    TrashBoxPath(profile_), TextFilePathOf(TrashBoxPath(profile_))}) {
      (void)RemoveFile(name);
    }
    MakeBox(kInbox, {});
    MakeBox("a.lp", {});
    EnsureFixedBoxes(profile_);
    WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("m0"), Mail("move1"), IframeMail("virus"), Mail("m3")}));
    WriteFileBytes(lan.File("inbox.log"), Spool({Mail("lan0")}));

    done = RunPipelineEndingAtStep(n);

    // The next receive finds whatever the crash left.
    RunPipeline({});
    std::map<std::string, int> seen;
    for (const std::string& name : {kInbox, std::string("a.lp"), TrashBoxPath(profile_)}) {
      for (const std::string& subject : Subjects(*Reopen(name))) ++seen[subject];
    }
    for (const std::string& subject : expected) EXPECT_GE(seen[subject], 1) << "lost at step " << n << ": " << subject;
    if (done) {
      EXPECT_THAT(Subjects(*Reopen(kInbox)), ElementsAre("m0", "m3", "lan0"));
      EXPECT_THAT(Subjects(*Reopen("a.lp")), ElementsAre("move1"));
      EXPECT_THAT(Subjects(*Reopen(TrashBoxPath(profile_))), ElementsAre("virus"));
    }
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(n, 8);  // the pipeline went through many steps
  EXPECT_LT(n, 200);
}

// Crash safety of the hand-over from the spool to the box: the pipeline
// ends itself at each of its file steps in turn, and the next run finds
// every mail exactly once (a crash between the save and the removal of the
// spool must not bring the mail twice).
TEST_F(ReceivePipelineTest, NoCrashPointOfTheHandOverLosesOrDuplicatesMail) {
  int n = 1;
  for (bool done = false; !done && n < 50; ++n) {
    (void)RemoveFile(kInbox);
    (void)RemoveFile(TextFilePathOf(kInbox));
    MakeBox(kInbox, {{"old", "old text"}});
    WriteFileBytes(dir_.File("inbox.log"), Spool({Mail("a"), Mail("b")}));
    done = RunPipelineEndingAtStep(n);
    RunPipeline({});
    EXPECT_THAT(InboxSubjects(), ElementsAre("old", "a", "b")) << "crash at step " << n;
    EXPECT_FALSE(PathExists("inbox.log")) << "crash at step " << n;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(n, 4);
}

// The box's texts that cannot be flushed to the disk count as a failed
// save: the spool stays whole, the box takes nothing of it.
TEST_F(ReceivePipelineTest, BoxTextThatCannotBeFlushedKeepsTheSpool) {
  MakeBox(kInbox, {{"old", "old text"}});
  const std::string spool = Spool({Mail("a")});
  WriteFileBytes(dir_.File("inbox.log"), spool);
  OpenBoxRegistry registry(profile_, ui_, commands_);
  BoxHandle box = registry.Acquire(kInbox).box;
  ASSERT_TRUE(box);
  ReceivePipeline pipeline(*box, registry, ui_);
  ReceivePipelineInput input;
  input.working_directory = CurrentDirectory();
  // The text file vanishes just before its flush: nothing is left to flush.
  input.steps = [&](std::string_view step) {
    if (step == "flush box text") (void)RemoveFile(TextFilePathOf(kInbox));
  };
  const ReceivePipelineResult result = pipeline.Run(input);
  EXPECT_TRUE(result.save_failed);
  EXPECT_EQ(ReadFileBytes(dir_.File("inbox.log")), spool);
  EXPECT_EQ(box->Count(), 1);
  EXPECT_THAT(InboxSubjects(), ElementsAre("old"));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_THAT(ui_.messages[0], HasSubstr(pop_text::kCannotWrite));
}

// A session that cannot flush the spool has taken its deletions back; the
// spool is kept unanalysed for the next receive, which brings the mail once.
TEST_F(ReceivePipelineTest, SpoolThatCannotBeFlushedIsKeptAndTheServerKeepsTheMail) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  ASSERT_EQ(symlink("/dev/null", "inbox.log"), 0);  // takes writes, refuses fsync
  scripts_.push_back("S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: UIDL\nS: +OK\nS: 1 u1\nS: .\n"
                     "C: RETR 1\nS: +OK\nS: Subject: kept\nS:\nS: body\nS: .\nC: DELE 1\nS: +OK\n"
                     "C: RSET\nS: +OK\nC: QUIT\nS: +OK\n");
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::SessionFailed);
  EXPECT_THAT(InboxSubjects(), IsEmpty());
  struct stat link {};
  EXPECT_TRUE(lstat("inbox.log", &link) == 0 && S_ISLNK(link.st_mode));
}

// An analysis that fails keeps the spool; the mail is not fetched again
// (its uid is in the received list) and the next receive, with the box
// usable again, brings it exactly once.
TEST_F(ReceivePipelineTest, FailedAnalysisKeepsTheSpoolAndTheMailComesOnce) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  scripts_.push_back(DeliveringScript({"first"}));
  scripts_.push_back("S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: UIDL\nS: +OK\nS: 1 first\n"
                     "S: 2 second\nS: .\nC: RETR 2\nS: +OK\nS: Subject: second\nS:\nS: body\nS: .\nC: DELE 2\n"
                     "S: +OK\nC: DELE 1\nS: +OK\nC: QUIT\nS: +OK\n");
  auto controller = MakeController();
  // The text file cannot be appended to.
  (void)RemoveFile(TextFilePathOf(kInbox));
  ASSERT_TRUE(MakeDirectory(TextFilePathOf(kInbox)));
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::AnalysisFailed);
  EXPECT_THAT(ReadFileBytes(dir_.File("inbox.log")), HasSubstr("Subject: first"));
  EXPECT_THAT(InboxSubjects(), IsEmpty());

  ASSERT_EQ(rmdir(Native(TextFilePathOf(kInbox)).c_str()), 0);
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(InboxSubjects(), ElementsAre("first", "second"));
  EXPECT_FALSE(PathExists("inbox.log"));
}

TEST_F(ReceivePipelineTest, CancelledReceiveKeepsWhatArrived) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  // The dialogue stops after the first message; the user cancels there.
  scripts_.push_back("S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: UIDL\nS: -ERR\n"
                     "C: STAT\nS: +OK 2 200\nC: RETR 1\nS: +OK\nS: Subject: first\nS:\nS: body\nS: .\nC: DELE 1\n");
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  transports_.front()->Run();
  EXPECT_FALSE(controller->Idle());
  controller->Cancel();
  EXPECT_TRUE(controller->Idle());
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::SessionFailed);
  EXPECT_THAT(InboxSubjects(), ElementsAre("first"));
}

// A POP3 dialogue that puts one mail to the user and stops there (PAUSE)
// while the question is open; `rest` is what happens next.
std::string ConfirmOneMailScript(const std::string& rest) {
  return "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: UIDL\nS: +OK\nS: 1 uid-one\nS: .\n"
         "C: TOP 1 100\nS: +OK\nS: Subject: one\nS:\nS: .\nPAUSE\n" +
         rest;
}

TEST_F(ReceivePipelineTest, MailConfirmedLaterIsReceivedOnce) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  accounts_.At(0).mail_kakunin = true;
  scripts_.push_back(ConfirmOneMailScript(
      "C: RETR 1\nS: +OK\nS: Subject: one\nS: Message-Id: <one@example.jp>\nS:\nS: body\nS: .\nC: QUIT\nS: +OK\n"));
  ui_.HoldAnswers();
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  transports_.front()->Run();
  EXPECT_FALSE(controller->Idle());  // the run waits for the user
  EXPECT_TRUE(transports_.front()->IdleTimerPaused());
  ui_.TakeHeldConfirm()(ConfirmAnswer::Receive);
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_THAT(InboxSubjects(), ElementsAre("one"));
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 1)));
  EXPECT_THAT(view_.carets, ElementsAre(-1));
}

// However the run ends while the user still looks at a mail, the pipeline
// runs once, and the answer given afterwards changes nothing.
TEST_F(ReceivePipelineTest, LateAnswerNeverRunsThePipelineTwice) {
  enum class Ending { IdleTimeout, ServerCloses, UserCancels, ControllerGone };
  struct Case {
    const char* name;
    Ending ending;
    std::string rest;
    std::size_t pipeline_runs;
  };
  const std::vector<Case> cases = {
      {"idle timeout of a transport that cannot pause", Ending::IdleTimeout, "IDLE\n", 1},
      {"server closes", Ending::ServerCloses, "CLOSE\n", 1},
      {"user cancels", Ending::UserCancels, "", 1},
      {"controller gone", Ending::ControllerGone, "", 0},
  };
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  accounts_.At(0).mail_kakunin = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_.messages.clear();
    view_.carets.clear();
    transports_.clear();
    played_ = 0;
    scripts_.push_back(ConfirmOneMailScript(c.rest));
    ui_.HoldAnswers();
    auto controller = MakeController();
    ASSERT_TRUE(controller->Receive());
    ASSERT_EQ(transports_.size(), 1u);
    if (c.ending == Ending::IdleTimeout) transports_.front()->IgnoreIdlePause();
    transports_.front()->Run();  // up to the open question
    const UserInterface::ConfirmHandler answer = ui_.TakeHeldConfirm();
    ASSERT_TRUE(answer);
    if (!c.rest.empty()) transports_.front()->Run();
    if (c.ending == Ending::UserCancels) controller->Cancel();
    if (c.ending == Ending::ControllerGone) {
      controller.reset();
      transports_.clear();  // the controller owned them
    }
    if (controller) {
      EXPECT_TRUE(controller->Idle());
    }
    const std::vector<std::string> messages = ui_.messages;
    answer(ConfirmAnswer::Receive);
    answer(ConfirmAnswer::Delete);
    EXPECT_EQ(view_.carets.size(), c.pipeline_runs);
    EXPECT_EQ(ui_.messages, messages);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), std::string(receive_text::kNoNewMail)),
              static_cast<long>(c.pipeline_runs));
    if (controller) {
      EXPECT_TRUE(controller->Idle());
      EXPECT_EQ(controller->LastStatus(), ReceiveStatus::SessionFailed);
    }
    EXPECT_THAT(InboxSubjects(), IsEmpty());
  }
}

TEST_F(ReceivePipelineTest, ConnectionFailureSaysSoAndEndsTheRun) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  scripts_.push_back("REFUSE connection refused\n");
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::ConnectFailed);
  EXPECT_FALSE(controller->Receiving());
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_EQ(ui_.messages.back(), receive_text::kCannotConnectPop);
}

TEST_F(ReceivePipelineTest, WrongPasswordLosesNothingAndFails) {
  MakeBox(kInbox, {{"kept", "t"}});
  accounts_.At(0).pop = "pop.example.jp";
  scripts_.push_back(
      "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: -ERR [AUTH] Authentication failed.\nC: QUIT\nS: +OK\n");
  auto controller = MakeController();
  ASSERT_TRUE(controller->Receive());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::SessionFailed);
  EXPECT_THAT(InboxSubjects(), ElementsAre("kept"));
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_THAT(ui_.messages.front(), HasSubstr(pop_text::kPasswordError));
}

TEST_F(ReceivePipelineTest, PatrolOfThreeAccountsReportsOnceWithTheSums) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  ASSERT_TRUE(accounts_.AppendNew("second"));
  ASSERT_TRUE(accounts_.AppendNew("skipped"));
  ASSERT_TRUE(accounts_.AppendNew("third"));
  for (std::size_t i = 1; i < 4; ++i) {
    accounts_.At(i).pop = "pop.example.jp";
    accounts_.At(i).user_id = "alice";
    accounts_.At(i).pass = "secret";
    accounts_.At(i).not_del = false;
  }
  accounts_.At(2).round = false;
  ASSERT_TRUE(accounts_.SetCurrentIndex(2));
  scripts_ = {DeliveringScript({"a1"}), DeliveringScript({"b1", "b2"}), DeliveringScript({"c1", "c2", "c3"})};
  auto controller = MakeController();
  ASSERT_TRUE(controller->Patrol());
  EXPECT_TRUE(controller->PatrolRunState().PatrolActive());
  EXPECT_FALSE(controller->Receive());  // one run at a time
  Drive(*controller);
  EXPECT_EQ(transports_.size(), 3u);
  EXPECT_THAT(ui_.messages, ElementsAre(Format(receive_text::kNewMailFormat, 6)));
  EXPECT_THAT(InboxSubjects(), ElementsAre("a1", "b1", "b2", "c1", "c2", "c3"));
  EXPECT_EQ(accounts_.CurrentIndex(), 2u);
  EXPECT_FALSE(controller->PatrolRunState().PatrolActive());
  EXPECT_FALSE(controller->PatrolRunState().Busy());
  EXPECT_EQ(controller->NewCount(), 6);
  EXPECT_THAT(view_.carets, ElementsAre(-1));
}

TEST_F(ReceivePipelineTest, PatrolGoesOnPastAnAccountThatCannotConnect) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  ASSERT_TRUE(accounts_.AppendNew("second"));
  accounts_.At(1).pop = "pop.example.jp";
  accounts_.At(1).user_id = "alice";
  accounts_.At(1).pass = "secret";
  accounts_.At(1).not_del = false;
  scripts_ = {"REFUSE no route\n", DeliveringScript({"b1"})};
  auto controller = MakeController();
  ASSERT_TRUE(controller->Patrol());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::ConnectFailed);
  EXPECT_THAT(InboxSubjects(), ElementsAre("b1"));
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_EQ(ui_.messages.back(), Format(receive_text::kNewMailFormat, 1));
  EXPECT_FALSE(controller->PatrolRunState().Busy());
}

TEST_F(ReceivePipelineTest, DeleteAllAsksAndReportsOnlyASuccess) {
  MakeBox(kInbox, {});
  accounts_.At(0).pop = "pop.example.jp";
  auto controller = MakeController();

  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(controller->DeleteAllOnServer());
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Declined);
  EXPECT_TRUE(transports_.empty());

  scripts_.push_back(
      "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: +OK\nC: STAT\nS: +OK 2 200\nC: DELE 1\nS: +OK\n"
      "C: DELE 2\nS: +OK\nC: QUIT\nS: +OK\n");
  ui_.QueueAnswer(Answer::Yes);
  ASSERT_TRUE(controller->DeleteAllOnServer());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::Ok);
  EXPECT_EQ(ui_.messages.back(), receive_text::kDeleteAllFinished);

  scripts_.push_back(
      "S: +OK ready\nC: USER alice\nS: +OK\nC: PASS secret\nS: -ERR [AUTH] Authentication failed.\nC: QUIT\nS: +OK\n");
  ui_.QueueAnswer(Answer::Yes);
  ui_.messages.clear();
  ASSERT_TRUE(controller->DeleteAllOnServer());
  Drive(*controller);
  EXPECT_EQ(controller->LastStatus(), ReceiveStatus::SessionFailed);
  for (const std::string& message : ui_.messages) EXPECT_NE(message, receive_text::kDeleteAllFinished);
}

}  // namespace
}  // namespace lp
