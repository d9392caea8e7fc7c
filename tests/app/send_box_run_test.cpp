#include "app/send_box_run.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/send_messages.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

// The send-and-receive run and the patrol's send step each keep a send run
// of their own; both must work on the one document of the send box that a
// window may hold as well, never on a copy of their own that could save
// over the window's records.

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

class EndedRuns : public SendRunObserver {
 public:
  void OnSendRunEnded(const SendRunResult& result) override { results.push_back(result); }
  std::vector<SendRunResult> results;
};

std::unique_ptr<CMail> UnsentMail(std::string subject) {
  auto mail = std::make_unique<CMail>();
  mail->to = "hanako@example.jp";
  mail->subject = std::move(subject);
  mail->status = kStatusUnsent;
  return mail;
}

TEST(SendBoxRunTest, RunsAndTheWindowShareOneSendBox) {
  TempDirectory dir(true);
  Profile profile(dir.File("lpost.conf"));
  RecordingUserInterface ui;
  NullCommandObserver commands;
  OpenBoxRegistry registry(profile, ui, commands);
  WriteFileBytes(dir.File("send.lp"), "");
  CSetMenuArray accounts;
  accounts.At(0).smtp = "mail.example.jp";
  // No server answers: every run ends at its connection, mails unsent.
  const SendBoxRun::Dependencies dependencies{profile,      ui, registry, commands, accounts, "send.lp",
                                              [] { return std::unique_ptr<Transport>(); }, {}};
  EndedRuns send_and_receive_ends;
  EndedRuns patrol_ends;

  // A window holds the box with a mail not yet saved.
  BoxHandle window = registry.Acquire("send.lp").box;
  ASSERT_TRUE(window);
  window->Add(UnsentMail("written in the window"));
  ASSERT_TRUE(window->StoreTextOfLast("body\r\n"));
  {
    SendBoxRun send_and_receive(dependencies, send_and_receive_ends);
    SendBoxRun patrol_send(dependencies, patrol_ends);
    EXPECT_EQ(send_and_receive.Start(), SendBoxRun::Outcome::Started);
    window->Add(UnsentMail("written while the first run was on"));
    ASSERT_TRUE(window->StoreTextOfLast("second body\r\n"));
    EXPECT_EQ(patrol_send.Start(), SendBoxRun::Outcome::Started);
    EXPECT_EQ(registry.OpenCount(), 1u);

    ASSERT_EQ(send_and_receive_ends.results.size(), 1u);
    EXPECT_EQ(send_and_receive_ends.results[0].status, SendRunStatus::ConnectFailed);
    EXPECT_EQ(send_and_receive_ends.results[0].unsent_at_start, 1);
    ASSERT_EQ(patrol_ends.results.size(), 1u);
    EXPECT_EQ(patrol_ends.results[0].unsent_at_start, 2);
  }
  // The runs let go; the window's records are all there, and its save
  // writes them.
  EXPECT_EQ(window->Count(), 2);
  ASSERT_TRUE(window.Release().ok);
  EXPECT_EQ(registry.OpenCount(), 0u);
  CLPOSTDoc on_disk(profile, ui, commands);
  ASSERT_TRUE(on_disk.Open("send.lp").ok);
  EXPECT_EQ(on_disk.Count(), 2);
}

TEST(SendBoxRunTest, ASendBoxThatDoesNotLoadIsReportedOnce) {
  TempDirectory dir(true);
  Profile profile(dir.File("lpost.conf"));
  RecordingUserInterface ui;
  NullCommandObserver commands;
  OpenBoxRegistry registry(profile, ui, commands);
  WriteFileBytes(dir.File("send.lp"), "not an index");
  CSetMenuArray accounts;
  EndedRuns ends;
  SendBoxRun run({profile, ui, registry, commands, accounts, "send.lp", {}, {}}, ends);
  EXPECT_EQ(run.Start(), SendBoxRun::Outcome::BoxFailed);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].find("send.lp"), std::string::npos);
  EXPECT_EQ(registry.OpenCount(), 0u);
  EXPECT_TRUE(ends.results.empty());
}

}  // namespace
}  // namespace lp
