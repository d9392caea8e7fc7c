#include "net/send_pipeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "net/address_list_expansion.h"
#include "net/send_messages.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/compaction.h"
#include "store/store_messages.h"
#include "tests/store/mailbox_test_boxes.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/scripted_transport.h"

// Send runs over a send box on disk, against scripted SMTP servers.

namespace lp {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ReadFileBytes;
using testing::ScriptedTransport;
using testing::WriteFileBytes;

const std::string kSendBox = kDefaultSendBoxFile;
const std::string kSentBox = kDefaultSentBoxFile;

std::string Script(const std::string& name) {
  return ScriptedTransport::LoadScript(std::string(LP_TEST_DATA_DIR) + "/send/" + name);
}

struct Outgoing {
  Outgoing(std::string to_field, std::string subject_text, std::string body_text, int mail_status = kStatusUnsent,
           std::string bcc_field = {}, int signature_number = 0)
      : to(std::move(to_field)),
        subject(std::move(subject_text)),
        body(std::move(body_text)),
        status(mail_status),
        bcc(std::move(bcc_field)),
        signature(signature_number) {}
  std::string to;
  std::string subject;
  std::string body;
  int status = kStatusUnsent;
  std::string bcc;
  int signature = 0;
};

class RecordingObserver : public SendRunObserver {
 public:
  void OnSendMarks(bool busy, bool sending) override { marks.push_back({busy, sending}); }
  void OnSendRunEnded(const SendRunResult& result) override { ended.push_back(result); }
  std::vector<std::pair<bool, bool>> marks;
  std::vector<SendRunResult> ended;
};

class SendPipelineTest : public testing::BoxTest {
 protected:
  SendPipelineTest() {
    account_.name = "main";
    account_.smtp = "mail.example.jp";
    account_.adr = "taro@example.jp";
    account_.sender_name = "Taro";
  }

  // The send box with these mails, open as the registry's shared document.
  void MakeSendBox(const std::vector<Outgoing>& mails) {
    WriteFileBytes(Native(kSendBox), "");
    box_ = registry_.Acquire(kSendBox).box;
    ASSERT_TRUE(box_);
    for (const Outgoing& mail : mails) {
      auto record = std::make_unique<CMail>();
      record->to = mail.to;
      record->from = "Taro <taro@example.jp>";
      record->subject = mail.subject;
      record->bcc = mail.bcc;
      record->status = mail.status;
      record->signature = mail.signature;
      box_->Add(std::move(record));
      ASSERT_TRUE(box_->StoreTextOfLast(mail.body));
    }
    ASSERT_TRUE(box_->Save().ok);
    MakePipeline();
  }

  void MakePipeline() {
    pipeline_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
        profile_, ui_, registry_, *box_,
        [this]() -> std::unique_ptr<Transport> {
          if (scripts_.empty()) return nullptr;
          auto transport = std::make_unique<ScriptedTransport>(scripts_.front());
          scripts_.pop_front();
          transports_.push_back(transport.get());
          return transport;
        },
        {}, &observer_, [] { return std::time_t{1234567890}; }, {},
        // "<1@example.jp>", "<2@example.jp>" ... in build order.
        [this](std::string_view) { return "<" + std::to_string(++message_ids_) + "@example.jp>"; }});
  }

  // Starts a run and plays the server's script to its end.
  void Run(bool in_send_and_receive = false) {
    (void)pipeline_->Start(account_, in_send_and_receive);
    for (ScriptedTransport* transport : transports_) {
      transport->Run();
      EXPECT_THAT(transport->Failures(), IsEmpty());
    }
    EXPECT_FALSE(pipeline_->Running());
  }

  std::vector<int> Statuses(const std::string& name) {
    std::vector<int> statuses;
    auto doc = Reopen(name);
    for (int i = 0; i < doc->Count(); ++i) statuses.push_back(doc->RecordAt(i)->status);
    return statuses;
  }

  testing::ScopedTimeZone zone_{"JST-9"};
  int message_ids_ = 0;
  CSetMenu account_;
  OpenBoxRegistry registry_{profile_, ui_, commands_};
  RecordingObserver observer_;
  BoxHandle box_;
  std::unique_ptr<SendPipeline> pipeline_;
  std::deque<std::string> scripts_;
  std::vector<ScriptedTransport*> transports_;
};

TEST_F(SendPipelineTest, UnsentMailsGoOutInOneRunAndAreMarkedSent) {
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"},
               {"old@example.jp", "done", "sent before\r\n", kStatusSent},
               {"jiro@example.com", "second", "second body\r\n"}});
  scripts_.push_back(Script("two_mails_one_run.smtp"));
  Run();
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent, kStatusSent, kStatusSent));
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Sent);
  EXPECT_EQ(observer_.ended[0].sent, 2);
  EXPECT_EQ(observer_.ended[0].moved, 0);
  EXPECT_THAT(ui_.messages, ElementsAre(send_text::kSendFinished));
  EXPECT_THAT(observer_.marks, ElementsAre(std::pair{true, true}, std::pair{false, false}));
  EXPECT_EQ(profile_.GetString("Time", "Send", ""), "1234567890");
  EXPECT_EQ(transports_.at(0)->Endpoint().host, "mail.example.jp");
  EXPECT_EQ(transports_.at(0)->Endpoint().port, 25);
  // Each sent mail keeps the Message-ID it went out with.
  auto box = Reopen(kSendBox);
  EXPECT_EQ(box->RecordAt(0)->message_id, "<1@example.jp>");
  EXPECT_EQ(box->RecordAt(1)->message_id, "");
  EXPECT_EQ(box->RecordAt(2)->message_id, "<2@example.jp>");
  EXPECT_FALSE(PathExists(SentJournalPath(kSendBox)));
}

TEST_F(SendPipelineTest, RunKilledAfterADeliveryNeverSendsThatMailAgain) {
  ASSERT_TRUE(profile_.WriteInt("System", "SmailDone", 1));
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"}, {"jiro@example.com", "second", "second body\r\n"}});
  scripts_.push_back(Script("killed_after_first.smtp"));
  ASSERT_TRUE(pipeline_->Start(account_));
  transports_.at(0)->Run();
  EXPECT_THAT(transports_[0]->Failures(), ElementsAre(HasSubstr("left the connection open")));
  // The program dies: the run never reaches its end and saves nothing.
  pipeline_.reset();
  transports_.clear();
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent, kStatusUnsent));
  const std::vector<SentJournalEntry> journal = ReadSentJournal(SentJournalPath(kSendBox));
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].message_id, "<1@example.jp>");

  // The next start reads the box from the disk and applies the journal first.
  ASSERT_TRUE(box_->Open(kSendBox).ok);
  MakePipeline();
  scripts_.push_back(Script("second_mail_after_restart.smtp"));
  Run();
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Sent);
  EXPECT_EQ(observer_.ended[0].recovered, 1);
  EXPECT_EQ(observer_.ended[0].sent, 1);
  EXPECT_EQ(observer_.ended[0].moved, 2);
  EXPECT_THAT(Subjects(*Reopen(kSendBox)), IsEmpty());
  auto sent_box = Reopen(kSentBox);
  EXPECT_THAT(Subjects(*sent_box), ElementsAre("first", "second"));
  EXPECT_EQ(sent_box->RecordAt(0)->message_id, "<1@example.jp>");
  EXPECT_EQ(sent_box->RecordAt(1)->message_id, "<3@example.jp>");
  EXPECT_FALSE(PathExists(SentJournalPath(kSendBox)));
}

TEST(SentJournalTest, EntriesSurviveACutOffWriteAndNameTheMailByItsContent) {
  testing::TempDirectory dir(true);
  SentJournal journal("box.sentlog");
  const std::string a(64, 'a');
  ASSERT_TRUE(journal.Append({a, "<1@example.jp>"}));
  ASSERT_TRUE(journal.Append({std::string(64, 'b'), "<2@example.jp>\r\nX"}));
  EXPECT_FALSE(journal.Append({"short", "<3@example.jp>"}));
  // A write that was cut off leaves a line without its end.
  WriteFileBytes(dir.File("box.sentlog"), ReadFileBytes(dir.File("box.sentlog")) + std::string(64, 'c') + " <4@ex");
  const std::vector<SentJournalEntry> entries = ReadSentJournal("box.sentlog");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].fingerprint, a);
  EXPECT_EQ(entries[1].message_id, "<2@example.jp>X");
  EXPECT_TRUE(journal.Remove());
  EXPECT_TRUE(ReadSentJournal("box.sentlog").empty());
  EXPECT_EQ(SentJournalPath("dir/\x91\x97\x90M.lp"), "dir/\x91\x97\x90M.sentlog");

  CMail mail;
  mail.to = "a@example.jp";
  mail.date = 100;
  const std::string base = MailFingerprint(mail, "text");
  EXPECT_EQ(base.size(), 64u);
  EXPECT_EQ(MailFingerprint(mail, "text"), base);
  EXPECT_NE(MailFingerprint(mail, "text2"), base);
  CMail other = mail;
  other.date = 101;
  EXPECT_NE(MailFingerprint(other, "text"), base);
  other = mail;
  other.to = "a@example.j";
  other.from = "p";
  EXPECT_NE(MailFingerprint(other, "text"), base);
}

TEST_F(SendPipelineTest, MailsOfTheRunAreFoundWhateverOtherUsersDoToTheBoxMeanwhile) {
  // Each change comes while the first mail is with the server.
  const std::vector<std::pair<const char*, std::function<void(CLPOSTDoc&)>>> cases = {
      {"another operation reloads every open box", [this](CLPOSTDoc&) { registry_.ReloadAllOpenBoxes(); }},
      {"a window sorts the box",
       [](CLPOSTDoc& box) { box.Reorder([](CLPOSTDoc::Records& records) { std::reverse(records.begin(), records.end()); }); }},
      {"the box is compacted: every text moves", [](CLPOSTDoc& box) { ASSERT_TRUE(Compact(box)); }},
  };
  for (const auto& [what, change] : cases) {
    SCOPED_TRACE(what);
    MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"}, {"jiro@example.com", "second", "second body\r\n"}});
    // A block nobody points at, so that compacting moves the texts.
    ASSERT_TRUE(box_->StoreText(0, "first body\r\n"));
    ASSERT_TRUE(box_->Save().ok);
    scripts_.push_back(Script("pause_before_the_first_is_accepted.smtp"));
    transports_.clear();
    message_ids_ = 0;
    ASSERT_TRUE(pipeline_->Start(account_));
    ASSERT_EQ(transports_.size(), 1u);
    transports_[0]->Run();
    change(*box_);
    transports_[0]->Run();
    EXPECT_THAT(transports_[0]->Failures(), IsEmpty());
    EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent, kStatusSent));
    EXPECT_FALSE(PathExists(SentJournalPath(kSendBox)));
    pipeline_.reset();
    box_ = BoxHandle();
  }
}

TEST_F(SendPipelineTest, MailWhoseTextCannotBeReadIsNotSentEmpty) {
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"}});
  RemoveFile(TextFilePathOf(kSendBox));
  scripts_.push_back(Script("unreadable_text_ends_the_run.smtp"));
  Run();
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Failed);
  EXPECT_EQ(observer_.ended[0].sent, 0);
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent));
  EXPECT_THAT(ui_.messages, Contains(std::string(store_messages::kTextFileOpenFailed)));
}

TEST_F(SendPipelineTest, SentBoxGetsOnlyTheMailsTheServerAccepted) {
  ASSERT_TRUE(profile_.WriteInt("System", "SmailDone", 1));
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"},
               {"jiro@example.com", "second", "second body\r\n"},
               {"saburo@example.com", "third", "third body\r\n"}});
  scripts_.push_back(Script("broken_off_after_first.smtp"));
  Run();
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Failed);
  EXPECT_EQ(observer_.ended[0].sent, 1);
  EXPECT_EQ(observer_.ended[0].moved, 1);
  auto send_box = Reopen(kSendBox);
  EXPECT_THAT(Subjects(*send_box), ElementsAre("second", "third"));
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent, kStatusUnsent));
  auto sent_box = Reopen(kSentBox);
  EXPECT_THAT(Subjects(*sent_box), ElementsAre("first"));
  EXPECT_THAT(Texts(*sent_box), ElementsAre("first body\r\n"));
  EXPECT_THAT(Statuses(kSentBox), ElementsAre(kStatusSent));
  // The server's error is the run's last word: no "finished" notice.
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_THAT(ui_.messages, Not(Contains(std::string(send_text::kSendFinished))));
}

TEST_F(SendPipelineTest, AllSentMailsMoveWhenTheRunCompletes) {
  ASSERT_TRUE(profile_.WriteInt("System", "SmailDone", 1));
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"},
               {"old@example.jp", "done", "sent before\r\n", kStatusSent},
               {"jiro@example.com", "second", "second body\r\n"}});
  scripts_.push_back(Script("two_mails_one_run.smtp"));
  Run();
  EXPECT_THAT(Subjects(*Reopen(kSendBox)), ElementsAre("done"));
  EXPECT_THAT(Subjects(*Reopen(kSentBox)), ElementsAre("first", "second"));
}

TEST_F(SendPipelineTest, SignatureOfTheMailFollowsItsText) {
  WriteFileBytes(Native("signe1.txt"), "first signature\n");
  WriteFileBytes(Native("signe2.txt"), "-- \nTaro $4wy\n");
  MakeSendBox({{"hanako@example.jp", "signed", "first body\r\n", kStatusUnsent, "", 2}});
  scripts_.push_back(Script("signature_appended.smtp"));
  Run();
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent));
}

TEST_F(SendPipelineTest, BccAndTheAccountsBccAddressAreEnvelopeOnly) {
  account_.bcc_adr = "archive@example.jp";
  MakeSendBox({{"hanako@example.jp", "blind", "first body\r\n", kStatusUnsent, "secret@example.jp"}});
  scripts_.push_back(Script("bcc_envelope.smtp"));
  Run();
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent));
  EXPECT_THAT(transports_.at(0)->Sent(), Not(HasSubstr("Bcc")));
}

TEST_F(SendPipelineTest, LanOnlyRunWritesTheCopyAndMovesNothing) {
  ASSERT_TRUE(profile_.WriteInt("System", "SmailDone", 1));
  ASSERT_TRUE(MakeDirectory("lan"));
  const std::string lan = JoinPath(CurrentDirectory(), "lan");
  MakeSendBox({{lan, "to lan", "lan body\r\n"}});
  WriteFileBytes(Native("smail.log"), "an older run");
  Run();
  EXPECT_EQ(ReadFileBytes(Native("smail.log")), "");
  EXPECT_TRUE(transports_.empty());
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent));
  const std::string copy = ReadFileBytes(ToNativePath(JoinPath(lan, "inbox.log")));
  EXPECT_THAT(copy, HasSubstr("Subject: to lan\r\n"));
  EXPECT_THAT(copy, HasSubstr("lan body\r\n"));
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_TRUE(observer_.ended[0].lan_only);
  EXPECT_EQ(observer_.ended[0].moved, 0);
  EXPECT_THAT(ui_.messages, ElementsAre(send_text::kSendFinished));
}

TEST_F(SendPipelineTest, LanCopyIsWrittenWhileTheSmtpMessageIsBuilt) {
  ASSERT_TRUE(MakeDirectory("lan"));
  const std::string lan = JoinPath(CurrentDirectory(), "lan");
  MakeSendBox({{"hanako@example.jp," + lan, "both", "both body\r\n"}});
  scripts_.push_back(Script("lan_and_network.smtp"));
  Run();
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent));
  EXPECT_THAT(ReadFileBytes(ToNativePath(JoinPath(lan, "inbox.log"))), HasSubstr("both body\r\n"));
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_FALSE(observer_.ended[0].lan_only);
}

// A LAN copy that breaks off while it is written: the other recipients
// have the mail, so it is marked sent and not sent again; the run fails
// with the destination named.
TEST_F(SendPipelineTest, LanCopyThatBreaksOffFailsTheRunButTheMailCountsAsSent) {
  ASSERT_TRUE(MakeDirectories("lan/bob"));
  ASSERT_TRUE(MakeDirectories("lan/full"));
  std::filesystem::create_symlink("/dev/full", Native("lan/full/inbox.log"));
  MakeSendBox({{"lan/full,lan/bob", "to lan", "lan body\r\n"}});
  Run();
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Failed);
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusSent));
  EXPECT_THAT(ReadFileBytes(Native("lan/bob/inbox.log")), HasSubstr("lan body\r\n"));
  EXPECT_THAT(ui_.messages, ElementsAre(HasSubstr("\n\nlan/full")));
}

// A LAN destination that does not exist is found before anyone gets the
// mail: it stays unsent for all and the run fails.
TEST_F(SendPipelineTest, MissingLanDirectoryLeavesTheMailUnsentForEveryone) {
  ASSERT_TRUE(MakeDirectories("lan/bob"));
  MakeSendBox({{"lan/bob,lan/gone", "to lan", "lan body\r\n"}});
  Run();
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Failed);
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent));
  EXPECT_FALSE(PathExists("lan/bob/inbox.log"));
  EXPECT_THAT(ui_.messages, ElementsAre(HasSubstr("\n\nlan/gone")));
}

TEST_F(SendPipelineTest, MailThatCannotBeBuiltStaysUnsentAndEndsTheRun) {
  ASSERT_TRUE(profile_.WriteInt("System", "ManyAlert", 1));
  ASSERT_TRUE(profile_.WriteInt("System", "SmailDone", 1));
  std::string crowd;
  for (int i = 0; i < 10; ++i) crowd += (i == 0 ? "" : ",") + std::string("m") + std::to_string(i) + "@example.jp";
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"},
               {crowd, "crowd", "crowd body\r\n"},
               {"jiro@example.com", "third", "third body\r\n"}});
  ui_.QueueAnswer(Answer::Cancel);
  scripts_.push_back(Script("second_mail_cancelled.smtp"));
  Run();
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::Failed);
  EXPECT_THAT(Subjects(*Reopen(kSendBox)), ElementsAre("crowd", "third"));
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent, kStatusUnsent));
  EXPECT_THAT(Subjects(*Reopen(kSentBox)), ElementsAre("first"));
  EXPECT_EQ(ui_.questions.size(), 1u);
}

TEST_F(SendPipelineTest, NothingToSend) {
  struct Case {
    bool in_send_and_receive;
    std::vector<std::string> messages;
    std::pair<bool, bool> last_marks;
  };
  const Case cases[] = {
      {false, {send_text::kNothingToSend}, {false, false}},
      {true, {}, {true, false}},
  };
  for (const Case& c : cases) {
    ui_.messages.clear();
    observer_ = RecordingObserver{};
    MakeSendBox({{"old@example.jp", "done", "sent before\r\n", kStatusSent}});
    Run(c.in_send_and_receive);
    EXPECT_TRUE(transports_.empty());
    EXPECT_EQ(ui_.messages, c.messages) << c.in_send_and_receive;
    ASSERT_EQ(observer_.ended.size(), 1u);
    EXPECT_EQ(observer_.ended[0].status, SendRunStatus::NothingToSend);
    EXPECT_EQ(observer_.marks.back(), c.last_marks);
  }
}

TEST_F(SendPipelineTest, RefusedConnectionLeavesEveryMailUnsent) {
  ASSERT_TRUE(profile_.WriteInt("System", "SmailDone", 1));
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"}});
  scripts_.push_back(Script("connection_refused.smtp"));
  Run();
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent));
  EXPECT_THAT(ui_.messages, ElementsAre(HasSubstr("refused"), send_text::kCannotConnectSmtp));
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::ConnectFailed);
}

TEST_F(SendPipelineTest, CancelBeforeTheGreetingEndsTheRunQuietly) {
  MakeSendBox({{"hanako@example.jp", "first", "first body\r\n"}});
  scripts_.push_back(Script("two_mails_one_run.smtp"));
  ASSERT_TRUE(pipeline_->Start(account_));
  pipeline_->Cancel();
  EXPECT_FALSE(pipeline_->Running());
  EXPECT_TRUE(transports_.at(0)->Closed());
  EXPECT_THAT(ui_.messages, IsEmpty());
  EXPECT_THAT(Statuses(kSendBox), ElementsAre(kStatusUnsent));
  ASSERT_EQ(observer_.ended.size(), 1u);
  EXPECT_EQ(observer_.ended[0].status, SendRunStatus::ConnectFailed);
}

TEST(SendSessionSettingsTest, ComeFromTheAccount) {
  const struct {
    AccountTls tls;
    int auth_mode;
    TlsMode expected_tls;
    SmtpAuthMode expected_mode;
  } cases[] = {
      {AccountTls::None, 0, TlsMode::None, SmtpAuthMode::Automatic},
      {AccountTls::Implicit, 1, TlsMode::Implicit, SmtpAuthMode::CramMd5},
      {AccountTls::StartTls, 2, TlsMode::StartTls, SmtpAuthMode::Login},
      {AccountTls::None, 7, TlsMode::None, SmtpAuthMode::Automatic},
  };
  for (const auto& c : cases) {
    CSetMenu account;
    account.smtp = "smtp.example.jp";
    account.smtp_port = 587;
    account.smtp_tls = c.tls;
    account.smtp_auth = true;
    account.smtp_auth_mode = c.auth_mode;
    account.user_id = "taro";
    account.pass = "secret";
    const SmtpSessionSettings settings = SendPipeline::SessionSettings(account);
    EXPECT_EQ(settings.host, "smtp.example.jp");
    EXPECT_EQ(settings.port, 587);
    EXPECT_EQ(settings.tls, c.expected_tls);
    EXPECT_TRUE(settings.auth);
    EXPECT_EQ(settings.auth_mode, c.expected_mode) << c.auth_mode;
    EXPECT_EQ(settings.user, "taro");
    EXPECT_EQ(settings.password, "secret");
  }
}

TEST(AddressListExpansionTest, ListContentIsEntriesOrAFile) {
  testing::TempDirectory dir(true);
  RecordingUserInterface ui;
  WriteFileBytes(dir.File("team.txt"), "a@example.jp\r\n\r\nb@example.jp\nc@example.jp");
  const std::string list_file = FromNativePath(dir.File("team.txt"));
  const struct {
    std::string content;
    std::vector<std::string> entries;
  } cases[] = {
      {"a@example.jp\r\nb@example.jp\r\n", {"a@example.jp", "b@example.jp"}},
      {"a@example.jp\r\n\r\nb@example.jp", {"a@example.jp", "b@example.jp"}},
      {list_file, {"a@example.jp", "b@example.jp", "c@example.jp"}},
      {list_file + "\r\n", {"a@example.jp", "b@example.jp", "c@example.jp"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandAddressList(c.content, ui), c.entries) << c.content;
  EXPECT_THAT(ui.messages, IsEmpty());
  EXPECT_THAT(ExpandAddressList(list_file + ".missing", ui), IsEmpty());
  EXPECT_THAT(ui.messages, ElementsAre(std::string(send_text::kAddressFileMissing) + list_file + ".missing"));
}

TEST(SendTextTest, TextsAreTheShiftJisOfTheirJapanese) {
  EXPECT_EQ(std::string(send_text::kNothingToSend),
            "\x91\x97\x90\x4D\x82\xB7\x82\xE9\x83\x81\x81\x5B\x83\x8B\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
  EXPECT_EQ(std::string(send_text::kSendFinished),
            "\x83\x81\x81\x5B\x83\x8B\x82\xCC\x91\x97\x90\x4D\x82\xAA\x8F\x49\x82\xED\x82\xE8\x82\xDC\x82\xB5\x82\xBD");
}

}  // namespace
}  // namespace lp
