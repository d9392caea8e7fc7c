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

}  // namespace
}  // namespace lp
