#include "platform/file_system.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

TEST(FileSystem, ShiftJisPathsReachTheDiskAsUtf8) {
  TempDirectory dir;
  std::string sjis_dir = FromNativePath(dir.path());
  std::string box = sjis_dir + "/" + Utf8ToCp932("表示.lp");
  ASSERT_TRUE(CreateEmptyFileIfMissing(box));
  EXPECT_EQ(ReadFileBytes(dir.File("表示.lp")), "");

  auto entries = ListDirectory(sjis_dir);
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ((*entries)[0].name, Utf8ToCp932("表示.lp"));
  EXPECT_FALSE((*entries)[0].is_directory);
}

TEST(FileSystem, CreateEmptyFileKeepsExistingContent) {
  TempDirectory dir;
  WriteFileBytes(dir.File("a.lp"), "data");
  ASSERT_TRUE(CreateEmptyFileIfMissing(dir.File("a.lp")));
  EXPECT_EQ(ReadFileBytes(dir.File("a.lp")), "data");
}

TEST(FileSystem, RenameNoReplaceRefusesExistingTarget) {
  TempDirectory dir;
  WriteFileBytes(dir.File("old"), "old");
  WriteFileBytes(dir.File("new"), "new");
  EXPECT_FALSE(RenameNoReplace(dir.File("old"), dir.File("new")));
  EXPECT_EQ(ReadFileBytes(dir.File("new")), "new");
  EXPECT_EQ(ReadFileBytes(dir.File("old")), "old");
  ASSERT_TRUE(RemoveFile(dir.File("new")));
  EXPECT_TRUE(RenameNoReplace(dir.File("old"), dir.File("new")));
  EXPECT_FALSE(PathExists(dir.File("old")));
  EXPECT_EQ(ReadFileBytes(dir.File("new")), "old");
}

TEST(FileSystem, FileReadsWritesAndSeeks) {
  TempDirectory dir;
  File file;
  ASSERT_TRUE(file.Open(dir.File("f"), File::Mode::Append));
  ASSERT_TRUE(file.Write("hello "));
  ASSERT_TRUE(file.Write("world"));
  file.Close();
  ASSERT_TRUE(file.Open(dir.File("f"), File::Mode::Read));
  EXPECT_EQ(file.Size(), 11u);
  ASSERT_TRUE(file.Seek(6));
  char buffer[16] = {};
  EXPECT_EQ(file.ReadFull(buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_FALSE(file.Open(dir.File("missing"), File::Mode::Read));
  EXPECT_FALSE(file.Open(dir.path(), File::Mode::Read));  // a directory is no file
}

TEST(FileSystem, MakeDirectoriesCreatesParents) {
  TempDirectory dir;
  EXPECT_TRUE(MakeDirectories(dir.File("a/b/c")));
  EXPECT_TRUE(IsDirectory(dir.File("a/b/c")));
  EXPECT_TRUE(MakeDirectory(dir.File("a")));  // existing: no error
  WriteFileBytes(dir.File("file"), "");
  EXPECT_FALSE(MakeDirectory(dir.File("file")));
}

}  // namespace
}  // namespace lp
