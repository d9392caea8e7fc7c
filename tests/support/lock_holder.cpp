// Holds the lock of the data directory named by its argument until its
// standard input ends, as another writer would: prints "locked" once it
// holds the lock, or "busy" / "failed" and ends with status 1.
#include <cstdio>
#include <string>

#include "platform/data_directory_lock.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  lp::DataDirectoryLock lock;
  switch (lock.TryLock(argv[1], "lock-holder")) {
    case lp::DataDirectoryLock::Result::Locked: break;
    case lp::DataDirectoryLock::Result::HeldByAnother: std::puts("busy"); return 1;
    case lp::DataDirectoryLock::Result::Failed: std::puts("failed"); return 1;
  }
  std::puts("locked");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  return 0;
}
