#include "platform/mapped_file.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

TEST(MappedFile, GivesTheBytesUnderAShiftJisPathAndReadsReleasedPagesAgain) {
  TempDirectory dir;
  std::string content;
  for (int i = 0; content.size() < 3 * 4096 + 100; ++i) content += "record " + std::to_string(i) + "\n";
  WriteFileBytes(dir.File("受信.lp"), content);
  MappedFile file;
  std::string error;
  ASSERT_TRUE(file.Open(FromNativePath(dir.path()) + "/" + Utf8ToCp932("受信.lp"), &error)) << error;
  ASSERT_EQ(file.bytes(), content);
  // Released pages come back from the file when read again.
  file.ReleaseBefore(2 * 4096 + 10);
  file.ReleaseBefore(100);
  EXPECT_EQ(file.bytes(), content);
  file.ReleaseBefore(content.size() + 4096);
  EXPECT_EQ(file.bytes(), content);
}

TEST(MappedFile, EmptyFileHasNoBytesAndAMissingFileSaysWhy) {
  TempDirectory dir;
  WriteFileBytes(dir.File("empty.lp"), "");
  MappedFile empty;
  std::string error;
  ASSERT_TRUE(empty.Open(dir.File("empty.lp"), &error));
  EXPECT_TRUE(empty.bytes().empty());
  empty.ReleaseBefore(10);

  MappedFile missing;
  EXPECT_FALSE(missing.Open(dir.File("missing.lp"), &error));
  EXPECT_FALSE(error.empty());
  MappedFile directory;
  EXPECT_FALSE(directory.Open(dir.path(), &error));
}

}  // namespace
}  // namespace lp
