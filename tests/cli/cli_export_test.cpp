#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "store/mailbox_document.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "util/text_out_set.h"

namespace lp {
namespace {

using testing::CliResult;
using testing::ReadFileBytes;
using testing::RunCli;
using testing::TempDirectory;
using testing::WriteFileBytes;

class CliExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli(scratch_, data_, {"init"}).status, 0);
    MakeBox("受信.lp", {{kStatusUnread, "未読の本文"}, {kStatusRead, "既読の本文"}});
    MakeBox("保存.lp", {{kStatusUnread, "別の箱"}});
    CTextOutSetArray list;
    (void)list.Load(FromNativePath(data_ + "/lposttext.set"));
    CTextOutSet unread;
    unread.name = Utf8ToCp932("未読");
    unread.read = false;
    unread.output_file = "unread.txt";
    list.entries().push_back(unread);
    ASSERT_TRUE(list.Save(FromNativePath(data_ + "/lposttext.set")));
  }

  void MakeBox(const std::string& name_utf8, const std::vector<std::pair<int, const char*>>& mails) {
    Profile profile(FromNativePath(data_ + "/lpost.conf"));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc doc(profile, ui, commands);
    WriteFileBytes(data_ + "/" + name_utf8, "");
    ASSERT_TRUE(doc.Open(FromNativePath(data_ + "/" + name_utf8)).ok);
    for (const auto& [status, text] : mails) {
      auto mail = std::make_unique<CMail>();
      mail->status = status;
      doc.Add(std::move(mail));
      ASSERT_TRUE(doc.StoreTextOfLast(Utf8ToCp932(text)));
    }
    ASSERT_TRUE(doc.Save().ok);
  }

  TempDirectory scratch_;
  std::string data_ = scratch_.File("data");
};

TEST_F(CliExportTest, RunsANamedSettingOnTheReceiveBox) {
  const CliResult result = RunCli(scratch_, data_, {"export", "未読"});
  EXPECT_EQ(result.status, 0) << result.err;
  // The setting's output file lies in the data directory.
  EXPECT_EQ(ReadFileBytes(data_ + "/unread.txt"), Utf8ToCp932("未読の本文\r\n.\r\n"));
}

TEST_F(CliExportTest, ExportsEveryBoxToTheGivenFile) {
  const CliResult result = RunCli(scratch_, data_, {"export", "未読", "--all", "--to", scratch_.File("all.txt")});
  EXPECT_EQ(result.status, 0) << result.err;
  // The boxes in the order of the box list.
  EXPECT_EQ(ReadFileBytes(scratch_.File("all.txt")), Utf8ToCp932("未読の本文\r\n.\r\n別の箱\r\n.\r\n"));
}

TEST_F(CliExportTest, UnknownSettingOrUnwritableFileFails) {
  EXPECT_EQ(RunCli(scratch_, data_, {"export", "none"}).status, 2);
  const CliResult unwritable = RunCli(scratch_, data_, {"export", "未読", "--to", "no/such/dir/x.txt"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("ファイルが開けません"), std::string::npos);
}

TEST_F(CliExportTest, AnOutputNamingAFileTheProgramKeepsIsRefused) {
  std::filesystem::create_symlink(data_ + "/受信.mb", scratch_.File("link.txt"));
  ASSERT_TRUE(std::filesystem::create_directory(scratch_.File("sub")));
  const std::string kept[] = {"受信.lp", "受信.mb", "lpost.conf", "lposttext.set"};
  const std::string before[] = {ReadFileBytes(data_ + "/受信.lp"), ReadFileBytes(data_ + "/受信.mb"),
                                ReadFileBytes(data_ + "/lpost.conf"), ReadFileBytes(data_ + "/lposttext.set")};
  const std::string outputs[] = {data_ + "/受信.lp", data_ + "/受信.mb", scratch_.File("sub/../data/lpost.conf"),
                                 data_ + "/lposttext.set", scratch_.File("link.txt")};
  const std::string listed = RunCli(scratch_, data_, {"list"}).out;
  ASSERT_FALSE(listed.empty());
  for (const std::string& output : outputs) {
    const CliResult result = RunCli(scratch_, data_, {"export", "未読", "--to", output});
    EXPECT_EQ(result.status, 1) << output;
    EXPECT_NE(result.err.find("プログラムが使うファイルには出力できません"), std::string::npos) << result.err;
  }
  for (std::size_t i = 0; i < std::size(kept); ++i) {
    EXPECT_EQ(ReadFileBytes(data_ + "/" + kept[i]), before[i]) << kept[i];
  }
  EXPECT_EQ(RunCli(scratch_, data_, {"list"}).out, listed);
}

TEST_F(CliExportTest, AFailedExportLeavesTheOutputFileAsItWas) {
  WriteFileBytes(scratch_.File("out.txt"), "earlier export");
  std::filesystem::remove(data_ + "/受信.mb");
  const CliResult result = RunCli(scratch_, data_, {"export", "未読", "--to", scratch_.File("out.txt")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(ReadFileBytes(scratch_.File("out.txt")), "earlier export");
}

}  // namespace
}  // namespace lp
