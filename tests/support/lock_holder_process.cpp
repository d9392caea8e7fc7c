#include "tests/support/lock_holder_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace lp::testing {

LockHolderProcess::LockHolderProcess(const std::string& native_directory) {
  int input[2];
  int output[2];
  if (::pipe2(input, O_CLOEXEC) != 0) return;
  if (::pipe2(output, O_CLOEXEC) != 0) {
    ::close(input[0]);
    ::close(input[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  std::string program = LP_LOCK_HOLDER_PATH;
  std::vector<char*> argv = {program.data(), const_cast<char*>(native_directory.c_str()), nullptr};
  pid_t pid = -1;
  if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  ::close(input[0]);
  ::close(output[1]);
  input_fd_ = input[1];
  // Its first line says whether it holds the lock; reading blocks until then.
  char c;
  while (::read(output[0], &c, 1) == 1 && c != '\n') report_ += c;
  ::close(output[0]);
}

LockHolderProcess::~LockHolderProcess() { Finish(); }

void LockHolderProcess::Kill() {
  if (pid_ > 0) ::kill(pid_, SIGKILL);
  Reap();
}

void LockHolderProcess::Finish() { Reap(); }

void LockHolderProcess::Reap() {
  if (input_fd_ >= 0) ::close(input_fd_);
  input_fd_ = -1;
  if (pid_ > 0) {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
}

}  // namespace lp::testing
