#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "store/mailbox_document.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

// An mbox of `count` small Japanese mails (UTF-8 bodies).
std::string Mbox(int count) {
  std::string mbox;
  for (int i = 0; i < count; ++i) {
    mbox += "From a@b Mon Jun  2 10:00:00 2025\nMessage-ID: <" + std::to_string(i) +
            "@example.jp>\nDate: Mon, 2 Jun 2025 10:00:00 +0900\nSubject: =?UTF-8?B?5pel5pys6Kqe?=\n"
            "Content-Type: text/plain; charset=UTF-8\n\n本文 " + std::to_string(i) + "\n\n";
  }
  return mbox;
}

class CliImportMailTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0); }

  // Message-Ids of the box, each once; a second copy fails the test.
  std::set<std::string> MessageIds(const std::string& utf8_box) {
    Profile profile(Utf8ToCp932(data_ + "/lpost.conf"));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc box(profile, ui, commands);
    EXPECT_TRUE(box.Open(Utf8ToCp932(data_ + "/" + utf8_box)).ok);
    std::set<std::string> ids;
    for (int i = 0; i < box.Count(); ++i) {
      EXPECT_TRUE(ids.insert(box.RecordAt(i)->message_id).second) << box.RecordAt(i)->message_id;
    }
    return ids;
  }

  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");
};

TEST_F(CliImportMailTest, PrintsALinePerBoxAndTheSummaryAndRunsAgainWithoutDuplicates) {
  std::filesystem::create_directories(scratch_.File("mutt"));
  WriteFileBytes(scratch_.File("mutt/受信箱"), Mbox(3));
  const std::vector<std::string> args = {"import-mail", scratch_.File("mutt"), "--into", "古いメール", "--format",
                                         "mbox"};
  CliResult first = RunCli(scratch_, data_, args);
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, scratch_.File("mutt/受信箱") + " → " + data_ + "/古いメール.lp/受信箱.lp: 3通 (取り込み済み 0通)\n"
                       "取り込み: 3通\n");
  CliResult again = RunCli(scratch_, data_, args);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("0通 (取り込み済み 3通)"), std::string::npos) << again.out;
  EXPECT_EQ(MessageIds("古いメール.lp/受信箱.lp").size(), 3u);

  CliResult wrong = RunCli(scratch_, data_, {"import-mail", scratch_.File("mutt"), "--format", "pst"});
  EXPECT_EQ(wrong.status, 2);
}

TEST_F(CliImportMailTest, ExitsWithOneWhenSomethingCouldNotBeRead) {
  WriteFileBytes(scratch_.File("notes.txt"), "not mail\n");
  CliResult result = RunCli(scratch_, data_, {"import-mail", scratch_.File("notes.txt")});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("読めませんでした: " + scratch_.File("notes.txt")), std::string::npos) << result.out;
}

// Two link loops and a named pipe: the walk ends, each mail comes once,
// the pipe is named and the status says the source was not taken whole.
TEST_F(CliImportMailTest, ALoopedTreeWithANamedPipeEndsAndNamesWhatItLeftOut) {
  const std::string tree = scratch_.File("tree");
  std::filesystem::create_directories(tree);
  WriteFileBytes(tree + "/Inbox", Mbox(2));
  std::filesystem::create_directory_symlink(".", tree + "/a");
  std::filesystem::create_directory_symlink(".", tree + "/b");
  ASSERT_EQ(::mkfifo((tree + "/pipe").c_str(), 0600), 0);
  CliResult result = RunCli(scratch_, data_, {"import-mail", tree});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(result.out, tree + "/Inbox → " + data_ + "/Inbox.lp: 2通 (取り込み済み 0通)\n"
                        "読めませんでした: " + tree + "/pipe (0通): 通常のファイルではありません\n"
                        "取り込み: 2通\n");
  EXPECT_EQ(MessageIds("Inbox.lp").size(), 2u);
}

TEST_F(CliImportMailTest, AKilledImportRunAgainLosesAndDuplicatesNothing) {
  constexpr int kMails = 60000;  // three pieces of the work spool
  WriteFileBytes(scratch_.File("big"), Mbox(kMails));
  const std::vector<std::string> args = {"import-mail", scratch_.File("big")};
  const std::string index = data_ + "/big.lp";

  // Killed as soon as the first piece is on the disk, while the next one is
  // written and analysed.
  const int pid = testing::StartCli(scratch_, data_, args);
  ASSERT_GT(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (FileSize(Utf8ToCp932(index)).value_or(0) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  const std::size_t before = MessageIds("big.lp").size();
  EXPECT_GT(before, 0u);

  CliResult rerun = RunCli(scratch_, data_, args);
  EXPECT_EQ(rerun.status, 0) << rerun.err;
  EXPECT_EQ(MessageIds("big.lp").size(), static_cast<std::size_t>(kMails));
}

}  // namespace
}  // namespace lp
