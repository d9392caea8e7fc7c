#include "tests/support/oauth_token_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "tests/support/server_process.h"

namespace lp::testing {
namespace {

constexpr auto kStartLimit = std::chrono::seconds(20);

// "http://127.0.0.1:PORT/rest": the port and the target; false otherwise.
bool SplitLoopbackUrl(const std::string& url, int& port, std::string& target) {
  static const std::string kPrefix = "http://127.0.0.1:";
  if (url.rfind(kPrefix, 0) != 0) return false;
  const std::size_t slash = url.find('/', kPrefix.size());
  port = std::atoi(url.substr(kPrefix.size(), slash - kPrefix.size()).c_str());
  target = slash == std::string::npos ? "/" : url.substr(slash);
  return port > 0;
}

std::string HeaderValue(const std::string& answer, const std::string& name) {
  const std::size_t end = answer.find("\r\n\r\n");
  std::size_t at = 0;
  while (at < end) {
    const std::size_t line_end = answer.find("\r\n", at);
    const std::string line = answer.substr(at, line_end - at);
    if (line.size() > name.size() + 1 && strncasecmp(line.c_str(), name.c_str(), name.size()) == 0 &&
        line[name.size()] == ':') {
      std::string value = line.substr(name.size() + 1);
      while (!value.empty() && value.front() == ' ') value.erase(0, 1);
      return value;
    }
    at = line_end + 2;
  }
  return {};
}

}  // namespace

std::string HttpExchange(int port, const std::string& method, const std::string& target, const std::string& body) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return {};
  std::string request = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n";
  if (method == "POST") {
    request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\n";
  }
  request += "Connection: close\r\n\r\n" + body;
  std::size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string answer;
  pollfd readable{fd, POLLIN, 0};
  while (::poll(&readable, 1, 10000) > 0) {
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    answer.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return answer;
}

std::string FollowSignIn(const std::string& url) {
  int port = 0;
  std::string target;
  if (!SplitLoopbackUrl(url, port, target)) return {};
  const std::string approval = HttpExchange(port, "GET", target);
  const std::string location = HeaderValue(approval, "Location");
  if (!SplitLoopbackUrl(location, port, target)) return {};
  const std::string answer = HttpExchange(port, "GET", target);
  const std::size_t body = answer.find("\r\n\r\n");
  return body == std::string::npos ? std::string() : answer.substr(body + 4);
}

OAuthTokenServer::OAuthTokenServer(const std::string& user, const std::string& client_id) {
  const std::string output = directory_.File("server.out");
  const pid_t pid = ::fork();
  if (pid < 0) return;
  if (pid == 0) {
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
    }
    ::execlp("python3", "python3", LP_TOKEN_SERVER_SCRIPT, user.c_str(), client_id.c_str(),
             static_cast<char*>(nullptr));
    ::_exit(127);
  }
  pid_ = pid;
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string text = ReadFileBytes(output);
    const std::size_t at = text.find("PORT ");
    if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
      port_ = std::atoi(text.c_str() + at + 5);
      return;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      ADD_FAILURE() << "the token server ended: " << text;
      return;
    }
    // Python starts within a fraction of a second; look again shortly.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ADD_FAILURE() << "the token server did not start";
}

OAuthTokenServer::~OAuthTokenServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
}

void OAuthTokenServer::ExpireAccessTokens() { (void)HttpExchange(port_, "POST", "/expire"); }

void OAuthTokenServer::RevokeAll() { (void)HttpExchange(port_, "POST", "/revoke"); }

std::string OAuthTokenServer::Log() {
  const std::string answer = HttpExchange(port_, "GET", "/log");
  const std::size_t body = answer.find("\r\n\r\n");
  return body == std::string::npos ? std::string() : answer.substr(body + 4);
}

}  // namespace lp::testing
