#pragma once

#include <string>
#include <vector>

// Process and port helpers shared by the test servers (Dovecot, Postfix).

namespace lp::testing {

// Runs a program to its end with its output appended to `output_path`;
// its exit status, or -1 when it could not be run.
int RunProgram(const std::vector<std::string>& arguments, const std::string& output_path);

// A loopback port that was free a moment ago; both ports of one attempt are
// held together so that they differ.
class FreePort {
 public:
  FreePort();
  ~FreePort();
  FreePort(const FreePort&) = delete;
  FreePort& operator=(const FreePort&) = delete;
  [[nodiscard]] int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Starts `dovecot -F -c configuration` in a process group of its own (so
// that killing the group ends every Dovecot process), its output going to
// `output_path`; the pid, or -1 when fork failed. A missing program shows
// as the child exiting with 127 and a note in the output.
[[nodiscard]] int StartDovecotProcess(const std::string& configuration, const std::string& output_path);

// A connected socket to 127.0.0.1:port, or -1.
int ConnectLoopback(int port);

}  // namespace lp::testing
