#include "platform/atomic_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporary) {
  TempDirectory dir;
  WriteFileBytes(dir.File("lpost.conf"), "old");
  ::chmod(dir.File("lpost.conf").c_str(), 0600);
  ASSERT_TRUE(ReplaceFileAtomically(dir.File("lpost.conf"), "new content"));
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.conf")), "new content");
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("lpost.conf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  auto entries = ListDirectory(dir.path());
  ASSERT_TRUE(entries);
  EXPECT_EQ(entries->size(), 1u);
}

TEST(AtomicFile, AbandonedWriteKeepsTheOldFile) {
  TempDirectory dir;
  WriteFileBytes(dir.File("box.lp"), "old");
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Begin(dir.File("box.lp")));
    ASSERT_TRUE(writer.Write("half of the new"));
  }
  EXPECT_EQ(ReadFileBytes(dir.File("box.lp")), "old");
  EXPECT_EQ(ListDirectory(dir.path())->size(), 1u);
}

TEST(AtomicFile, ProcessKilledMidWriteLeavesTheOldFile) {
  TempDirectory dir;
  WriteFileBytes(dir.File("box.lp"), "old");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    AtomicFileWriter writer;
    if (writer.Begin(dir.File("box.lp")) && writer.Write("partial")) ::_exit(0);  // dies before Commit
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFileBytes(dir.File("box.lp")), "old");
}

TEST(AtomicFile, MissingDirectoryFailsWithReason) {
  TempDirectory dir;
  std::string error;
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("no/such/file"), "x", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace lp
