#include "tests/support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace lp::testing {

int StartDovecotProcess(const std::string& configuration, const std::string& output_path) {
  // Everything the child needs is prepared before fork: only
  // async-signal-safe calls may follow it.
  const char* argv[] = {"dovecot", "-F", "-c", configuration.c_str(), nullptr};
  const long open_max = std::min(::sysconf(_SC_OPEN_MAX), 4096L);
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::setpgid(0, 0);
    const int log = ::open(output_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      ::dup2(log, STDOUT_FILENO);
      ::dup2(log, STDERR_FILENO);
    }
    for (int fd = 3; fd < open_max; ++fd) ::close(fd);
    ::execv("/usr/sbin/dovecot", const_cast<char* const*>(argv));
    ::execvp("dovecot", const_cast<char* const*>(argv));
    static const char kMissing[] = "cannot run dovecot (is dovecot-pop3d installed?)\n";
    static_cast<void>(::write(STDERR_FILENO, kMissing, sizeof(kMissing) - 1));
    ::_exit(127);
  }
  ::setpgid(pid, pid);
  return pid;
}

int RunProgram(const std::vector<std::string>& arguments, const std::string& output_path) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int output = ::open(output_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output >= 0) {
      ::dup2(output, STDOUT_FILENO);
      ::dup2(output, STDERR_FILENO);
    }
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

FreePort::FreePort() {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port_ = ntohs(address.sin_port);
  }
}

FreePort::~FreePort() {
  if (fd_ >= 0) ::close(fd_);
}

int ConnectLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace lp::testing
