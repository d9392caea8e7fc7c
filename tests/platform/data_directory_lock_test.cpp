#include "platform/data_directory_lock.h"

#include <unistd.h>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/lock_holder_process.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::LockHolderProcess;
using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;
using Result = DataDirectoryLock::Result;

TEST(DataDirectoryLock, OneHolderAtATimeAndReleaseLetsTheNextIn) {
  TempDirectory dir;
  DataDirectoryLock first;
  ASSERT_EQ(first.TryLock(dir.path(), "first"), Result::Locked);
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.lock")), std::to_string(::getpid()) + " first\n");

  // flock conflicts between two opens even inside one process.
  DataDirectoryLock second;
  EXPECT_EQ(second.TryLock(dir.path(), "second"), Result::HeldByAnother);
  EXPECT_EQ(second.holder(), "process " + std::to_string(::getpid()) + " (first)");
  EXPECT_FALSE(second.IsLocked());

  DataDirectoryLock moved = std::move(first);
  EXPECT_FALSE(first.IsLocked());
  EXPECT_EQ(second.TryLock(dir.path(), "second"), Result::HeldByAnother);
  moved.Unlock();
  EXPECT_EQ(second.TryLock(dir.path(), "second"), Result::Locked);
}

TEST(DataDirectoryLock, AnotherProcessHoldsItAndAWaiterGivesUp) {
  TempDirectory dir;
  LockHolderProcess holder(dir.path());
  ASSERT_EQ(holder.report(), "locked");
  DataDirectoryLock lock;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(lock.Lock(dir.path(), "waiter", std::chrono::milliseconds(200)), Result::HeldByAnother);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  EXPECT_EQ(lock.holder(), "process " + std::to_string(holder.pid()) + " (lock-holder)");

  holder.Finish();
  EXPECT_EQ(lock.TryLock(dir.path(), "waiter"), Result::Locked);
}

TEST(DataDirectoryLock, AKilledHolderNeverLeavesTheDirectoryLocked) {
  TempDirectory dir;
  LockHolderProcess holder(dir.path());
  ASSERT_EQ(holder.report(), "locked");
  holder.Kill();
  DataDirectoryLock lock;
  EXPECT_EQ(lock.TryLock(dir.path(), "next"), Result::Locked);
  // The next holder's record replaces the dead one's.
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.lock")), std::to_string(::getpid()) + " next\n");
}

TEST(DataDirectoryLock, TwoProcessesNeverHoldItTogether) {
  TempDirectory dir;
  {
    LockHolderProcess holder(dir.path());
    ASSERT_EQ(holder.report(), "locked");
    LockHolderProcess second(dir.path());
    EXPECT_EQ(second.report(), "busy");
  }
  DataDirectoryLock lock;
  EXPECT_EQ(lock.Lock(dir.path(), "after", std::chrono::seconds(10)), Result::Locked);
}

TEST(DataDirectoryLock, UnusableLockFilesFailWithTheReason) {
  TempDirectory dir;
  // A link in place of the lock file is never followed: its target stays.
  WriteFileBytes(dir.File("target"), "precious");
  ASSERT_EQ(::symlink("target", dir.File("lpost.lock").c_str()), 0);
  DataDirectoryLock lock;
  EXPECT_EQ(lock.TryLock(dir.path(), "x"), Result::Failed);
  EXPECT_NE(lock.error().find(dir.File("lpost.lock")), std::string::npos) << lock.error();
  EXPECT_EQ(ReadFileBytes(dir.File("target")), "precious");

  EXPECT_EQ(lock.Lock(dir.File("missing"), "x", std::chrono::seconds(10)), Result::Failed);
  EXPECT_NE(lock.error().find(dir.File("missing")), std::string::npos) << lock.error();
  EXPECT_FALSE(lock.IsLocked());
}

}  // namespace
}  // namespace lp
