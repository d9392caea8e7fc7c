#include "platform/trash.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

// The trash lives below XDG_DATA_HOME; point it into the test's directory so
// the user's own trash is never touched.
class TrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_DATA_HOME");
    if (old) old_xdg_ = old;
    had_xdg_ = old != nullptr;
    ::setenv("XDG_DATA_HOME", dir_.File("xdg").c_str(), 1);
    std::filesystem::create_directories(dir_.File("xdg"));
  }
  void TearDown() override {
    if (had_xdg_) {
      ::setenv("XDG_DATA_HOME", old_xdg_.c_str(), 1);
    } else {
      ::unsetenv("XDG_DATA_HOME");
    }
  }
  TempDirectory dir_;
  std::string old_xdg_;
  bool had_xdg_ = false;
};

TEST_F(TrashTest, FilesAndFoldersGoToTheTrashAndCanBeFoundThere) {
  WriteFileBytes(dir_.File("表示.lp"), "index");
  std::filesystem::create_directories(dir_.File("Old.lp/inner"));
  WriteFileBytes(dir_.File("Old.lp/inner/A.lp"), "");

  ASSERT_TRUE(MoveToTrash(FromNativePath(dir_.File("表示.lp"))));
  ASSERT_TRUE(MoveToTrash(FromNativePath(dir_.File("Old.lp"))));
  EXPECT_FALSE(PathExists(dir_.File("表示.lp")));
  EXPECT_FALSE(PathExists(dir_.File("Old.lp")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("xdg/Trash/files/表示.lp")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("xdg/Trash/files/Old.lp/inner/A.lp")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("xdg/Trash/info/表示.lp.trashinfo")));
}

TEST_F(TrashTest, MissingItemIsAFailure) {
  EXPECT_FALSE(MoveToTrash(FromNativePath(dir_.File("missing.lp"))));
}

// HOME pointed elsewhere for one test; XDG_DATA_HOME unset.
class HomeTrashTest : public TrashTest {
 protected:
  void SetUp() override {
    TrashTest::SetUp();
    const char* old = std::getenv("HOME");
    old_home_ = old != nullptr ? old : "";
    ::unsetenv("XDG_DATA_HOME");
  }
  void TearDown() override {
    ::setenv("HOME", old_home_.c_str(), 1);
    TrashTest::TearDown();
  }
  std::string old_home_;
};

TEST_F(HomeTrashTest, AMissingHomeTrashIsMadeAndNothingLandsBesideTheItem) {
  std::filesystem::create_directories(dir_.File("home"));  // no .local/share in it
  ::setenv("HOME", dir_.File("home").c_str(), 1);
  std::filesystem::create_directories(dir_.File("data"));
  WriteFileBytes(dir_.File("data/Old.lp"), "index");

  ASSERT_EQ(TrashItem(FromNativePath(dir_.File("data/Old.lp"))), TrashOutcome::Moved);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("home/.local/share/Trash/files/Old.lp")));
  const std::string info = testing::ReadFileBytes(dir_.File("home/.local/share/Trash/info/Old.lp.trashinfo"));
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir_.File("data/Old.lp") + "\nDeletionDate=", 0), 0u) << info;
  // The data directory holds no trash folders.
  for (const auto& entry : std::filesystem::directory_iterator(dir_.File("data"))) ADD_FAILURE() << entry.path();

  // A second item of the same name gets a name of its own.
  WriteFileBytes(dir_.File("data/Old.lp"), "again");
  ASSERT_EQ(TrashItem(FromNativePath(dir_.File("data/Old.lp"))), TrashOutcome::Moved);
  EXPECT_EQ(testing::ReadFileBytes(dir_.File("home/.local/share/Trash/files/Old.lp.2")), "again");
}

TEST_F(HomeTrashTest, WithoutAUsableHomeTrashTheItemStaysAndSaysSo) {
  WriteFileBytes(dir_.File("not-a-directory"), "");
  ::setenv("HOME", dir_.File("not-a-directory").c_str(), 1);
  WriteFileBytes(dir_.File("Old.lp"), "index");

  EXPECT_EQ(TrashItem(FromNativePath(dir_.File("Old.lp"))), TrashOutcome::NoTrash);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("Old.lp")));
}

}  // namespace
}  // namespace lp
