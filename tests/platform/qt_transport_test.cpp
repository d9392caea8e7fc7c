#include "platform/qt_transport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using namespace std::chrono_literals;
using testing::DovecotServer;
using testing::TempDirectory;

constexpr auto kLimit = 15s;

// 応答がありません
const std::string kNoResponse = "\x89\x9E\x93\x9A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// サーバ証明書を確認できません(127.0.0.1)
const std::string kCertificateRejected =
    "\x83\x54\x81\x5B\x83\x6F\x8F\xD8\x96\xBE\x8F\x91\x82\xF0\x8A\x6D\x94\x46\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"
    "(127.0.0.1)";
// サーバに接続できません(127.0.0.1)
const std::string kConnectFailed =
    "\x83\x54\x81\x5B\x83\x6F\x82\xC9\x90\xDA\x91\xB1\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1(127.0.0.1)";
// ホストが見つかりません(no such host)
const std::string kHostNotFound =
    "\x83\x7A\x83\x58\x83\x67\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1(no such host)";
// 暗号化通信を開始できません(127.0.0.1)
const std::string kTlsFailed =
    "\x88\xC3\x8D\x86\x89\xBB\x92\xCA\x90\x4D\x82\xF0\x8A\x4A\x8E\x6E\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"
    "(127.0.0.1)";
// 証明書ファイルを読めません(
const std::string kCertificateFileUnreadable =
    "\x8F\xD8\x96\xBE\x8F\x91\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1(";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// A session stand-in: records every event and lets a test react to them.
// It also checks that no event arrives from inside a call it made.
class RecordingSession : public TransportEvents {
 public:
  explicit RecordingSession(QtTransportOptions options = {})
      : transport(std::make_unique<QtTransport>(std::move(options))) {}

  void Connect(const std::string& host, int port, TlsMode tls, std::chrono::milliseconds idle = 10s) {
    TransportEndpoint endpoint;
    endpoint.host = host;
    endpoint.port = port;
    endpoint.tls = tls;
    endpoint.idle_timeout = idle;
    Call([&] { transport->Connect(endpoint, *this); });
  }
  bool Send(std::string_view bytes) {
    bool sent = false;
    Call([&] { sent = transport->Send(bytes); });
    return sent;
  }
  void StartTls() {
    Call([&] { transport->StartTls(); });
    tls_requested = true;
  }

  void OnConnected() override {
    EXPECT_FALSE(inside_call_);
    EXPECT_FALSE(connected);
    connected = true;
    if (on_connected) on_connected();
  }
  void OnReceived(std::string_view bytes) override {
    EXPECT_FALSE(inside_call_);
    EXPECT_FALSE(disconnected.has_value());
    (tls_requested ? received_after_tls_request : received).append(bytes);
    if (on_received) on_received();
  }
  void OnTlsStarted() override {
    EXPECT_FALSE(inside_call_);
    tls_started = true;
    if (on_tls_started) on_tls_started();
  }
  void OnDisconnected(std::string_view reason) override {
    EXPECT_FALSE(inside_call_);
    EXPECT_FALSE(disconnected.has_value());
    disconnected = std::string(reason);
    if (on_disconnected) on_disconnected();
  }

  bool WaitFor(const std::function<bool()>& condition) { return RunEventLoopUntil(condition, kLimit); }
  bool WaitForDisconnect() {
    return WaitFor([this] { return disconnected.has_value(); });
  }
  bool WaitForLine() {
    return WaitFor([this] { return received.find("\r\n") != std::string::npos || disconnected.has_value(); });
  }

  std::unique_ptr<QtTransport> transport;
  bool connected = false;
  bool tls_requested = false;
  bool tls_started = false;
  std::string received;
  std::string received_after_tls_request;
  std::optional<std::string> disconnected;
  std::function<void()> on_connected;
  std::function<void()> on_received;
  std::function<void()> on_tls_started;
  std::function<void()> on_disconnected;

 private:
  void Call(const std::function<void()>& call) {
    inside_call_ = true;
    call();
    inside_call_ = false;
  }
  bool inside_call_ = false;
};

// A loopback TCP socket on a port of the system's choice: listening (it
// accepts connections into its backlog and never says a word) or only bound
// (connections to it are refused).
class LoopbackSocket {
 public:
  explicit LoopbackSocket(bool listening) {
    EnsureEventLoopApplication();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port_ = ntohs(address.sin_port);
    if (listening) {
      EXPECT_EQ(::listen(fd_, 4), 0);
    }
  }
  ~LoopbackSocket() { ::close(fd_); }
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;
  [[nodiscard]] int fd() const { return fd_; }
  [[nodiscard]] int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Waits for the descriptor to become readable; false after `limit`.
bool WaitReadable(int fd, std::chrono::milliseconds limit) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
}

// When the man in the middle adds his clear text.
enum class Injection {
  WithTheStlsReply,    // in the same segment as the server's "+OK"
  DuringTheHandshake,  // after the client's first handshake bytes came
};

// A POP3 server that answers STLS with "+OK" and clear text of its own (a
// man in the middle injecting a reply), then talks TLS: it answers the first
// line inside TLS with "+OK tls". Runs on a thread of its own with blocking
// OpenSSL calls.
class InjectingStlsServer {
 public:
  static constexpr const char* kInjected = "+OK INJECTED\r\n";

  explicit InjectingStlsServer(Injection injection) : injection_(injection), listener_(true) {
    if (!testing::MakeSelfSignedCertificate(directory_.path())) ADD_FAILURE() << "openssl req failed";
    context_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_file(context_, directory_.File("cert.pem").c_str(), SSL_FILETYPE_PEM);
    SSL_CTX_use_PrivateKey_file(context_, directory_.File("key.pem").c_str(), SSL_FILETYPE_PEM);
    thread_ = std::thread([this] { Serve(); });
  }
  ~InjectingStlsServer() {
    thread_.join();
    SSL_CTX_free(context_);
  }
  InjectingStlsServer(const InjectingStlsServer&) = delete;
  InjectingStlsServer& operator=(const InjectingStlsServer&) = delete;

  [[nodiscard]] int port() const { return listener_.port(); }
  [[nodiscard]] std::string certificate_path() const { return directory_.File("cert.pem"); }
  [[nodiscard]] bool handshake_succeeded() const { return handshake_succeeded_; }
  [[nodiscard]] std::string line_inside_tls() const { return line_inside_tls_; }

 private:
  void Serve() {
    if (!WaitReadable(listener_.fd(), kLimit)) return;
    const int client = ::accept(listener_.fd(), nullptr, nullptr);
    if (client < 0) return;
    timeval timeout{15, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    SendAll(client, "+OK ready\r\n");
    std::string command;
    char byte = 0;
    while (command.find("\r\n") == std::string::npos && ::recv(client, &byte, 1, 0) == 1) command += byte;
    if (command == "STLS\r\n") {
      if (injection_ == Injection::WithTheStlsReply) {
        SendAll(client, std::string("+OK Begin TLS\r\n") + kInjected);
      } else {
        SendAll(client, "+OK Begin TLS\r\n");
        // Peeked only: the handshake still reads the client's hello.
        char peeked = 0;
        EXPECT_EQ(::recv(client, &peeked, 1, MSG_PEEK), 1);
        SendAll(client, kInjected);
      }
      SSL* tls = SSL_new(context_);
      SSL_set_fd(tls, client);
      if (SSL_accept(tls) == 1) {
        handshake_succeeded_ = true;
        char buffer[256];
        const int count = SSL_read(tls, buffer, sizeof(buffer));
        if (count > 0) line_inside_tls_.assign(buffer, static_cast<std::size_t>(count));
        const std::string reply = "+OK tls\r\n";
        SSL_write(tls, reply.data(), static_cast<int>(reply.size()));
        // Waits for the client to hang up before closing.
        static_cast<void>(SSL_read(tls, buffer, sizeof(buffer)));
      }
      SSL_free(tls);
    }
    ::close(client);
  }
  static void SendAll(int fd, const std::string& bytes) {
    EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }

  Injection injection_;
  TempDirectory directory_;
  LoopbackSocket listener_;
  SSL_CTX* context_ = nullptr;
  std::thread thread_;
  std::atomic<bool> handshake_succeeded_ = false;
  std::string line_inside_tls_;
};

// --- Connecting to a real server --------------------------------------------

class QtTransportDovecotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("alice", "secret");
  }
  [[nodiscard]] QtTransportOptions Trusting() const { return {server_.certificate_path()}; }

  DovecotServer server_;
};

enum class Port { Pop3, Pop3s };

struct ConnectCase {
  const char* name;
  Port port;
  TlsMode tls;
  bool trust_server;
  bool expect_greeting;  // else the certificate is rejected
};

class QtTransportConnectTest : public QtTransportDovecotTest, public ::testing::WithParamInterface<ConnectCase> {};

// STLS is asked for by hand here; the greeting counts once TLS is up.
TEST_P(QtTransportConnectTest, GreetingOrCertificateRejection) {
  const ConnectCase& c = GetParam();
  RecordingSession session(c.trust_server ? Trusting() : QtTransportOptions{});
  // Both outlive the handlers that use them: the session calls them while
  // the test waits below.
  std::string stls_reply;
  bool stls_sent = false;
  if (c.tls == TlsMode::StartTls) {
    session.on_received = [&] {
      if (session.tls_requested) return;
      if (!stls_sent && session.received.find("\r\n") != std::string::npos) {
        stls_sent = true;
        EXPECT_TRUE(session.Send("STLS\r\n"));
        return;
      }
      const std::size_t greeting_end = session.received.find("\r\n") + 2;
      const std::size_t reply_end = session.received.find("\r\n", greeting_end);
      if (stls_sent && reply_end != std::string::npos) {
        stls_reply = session.received.substr(greeting_end, reply_end + 2 - greeting_end);
        session.StartTls();
      }
    };
    session.on_tls_started = [&session] { EXPECT_TRUE(session.Send("CAPA\r\n")); };
  }
  session.Connect(server_.host(), c.port == Port::Pop3 ? server_.pop3_port() : server_.pop3s_port(), c.tls);

  if (c.tls == TlsMode::StartTls) {
    ASSERT_TRUE(session.WaitFor([&session] {
      return session.received_after_tls_request.find("\r\n.\r\n") != std::string::npos ||
             session.disconnected.has_value();
    }));
    EXPECT_TRUE(StartsWith(stls_reply, "+OK")) << stls_reply;
  } else {
    ASSERT_TRUE(session.WaitForLine());
  }

  if (c.expect_greeting) {
    EXPECT_FALSE(session.disconnected.has_value()) << *session.disconnected;
    EXPECT_TRUE(session.connected);
    EXPECT_TRUE(StartsWith(session.received, "+OK Dovecot")) << session.received;
    if (c.tls == TlsMode::StartTls) {
      EXPECT_TRUE(session.tls_started);
      EXPECT_TRUE(StartsWith(session.received_after_tls_request, "+OK\r\n"));
      EXPECT_NE(session.received_after_tls_request.find("USER"), std::string::npos);
    }
  } else {
    ASSERT_TRUE(session.disconnected.has_value());
    EXPECT_TRUE(StartsWith(*session.disconnected, kCertificateRejected)) << *session.disconnected;
    // The reason says what was wrong, not only that something was.
    EXPECT_GT(session.disconnected->size(), kCertificateRejected.size() + 2);
    EXPECT_FALSE(session.tls_started);
    EXPECT_TRUE(session.received_after_tls_request.empty());
    if (c.tls == TlsMode::Implicit) {
      EXPECT_FALSE(session.connected);
      EXPECT_TRUE(session.received.empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, QtTransportConnectTest,
    ::testing::Values(ConnectCase{"Plain", Port::Pop3, TlsMode::None, false, true},
                      ConnectCase{"ImplicitTrusted", Port::Pop3s, TlsMode::Implicit, true, true},
                      ConnectCase{"ImplicitUntrusted", Port::Pop3s, TlsMode::Implicit, false, false},
                      ConnectCase{"StlsTrusted", Port::Pop3, TlsMode::StartTls, true, true},
                      ConnectCase{"StlsUntrusted", Port::Pop3, TlsMode::StartTls, false, false}),
    [](const ::testing::TestParamInfo<ConnectCase>& param_info) { return std::string(param_info.param.name); });

TEST_F(QtTransportDovecotTest, LastWordsBeforeTheServerClosesArriveFirst) {
  RecordingSession session;
  session.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  ASSERT_TRUE(session.WaitForLine());
  ASSERT_TRUE(session.Send("QUIT\r\n"));
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_NE(session.received.find("\r\n+OK Logging out"), std::string::npos) << session.received;
  EXPECT_EQ(*session.disconnected, kNoResponse);
}

TEST_F(QtTransportDovecotTest, ServerKilledInTheMiddleOfRetrEndsTheConnection) {
  // Far more than the socket buffers hold, so the transfer is still running.
  constexpr std::size_t kBigBody = 32 * 1024 * 1024;
  server_.AddMessages("alice", {"Subject: big\r\n\r\n" + std::string(kBigBody, 'x') + "\r\n"});
  RecordingSession session;
  int replies_seen = 0;
  session.on_received = [&] {
    const auto lines = static_cast<int>(std::count(session.received.begin(), session.received.end(), '\n'));
    if (lines == 1 && replies_seen == 0) {
      replies_seen = 1;
      EXPECT_TRUE(session.Send("USER alice\r\nPASS secret\r\nRETR 1\r\n"));
    } else if (session.received.find("octets") != std::string::npos && replies_seen == 1) {
      replies_seen = 2;
      server_.Kill();
    }
  };
  session.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_EQ(replies_seen, 2) << session.received.substr(0, 200);
  EXPECT_EQ(*session.disconnected, kNoResponse);
  EXPECT_LT(session.received.size(), kBigBody);
}

TEST_F(QtTransportDovecotTest, ServerStoppedWhileConnectedEndsTheConnection) {
  RecordingSession session;
  session.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  ASSERT_TRUE(session.WaitForLine());
  server_.Stop();
  EXPECT_FALSE(server_.running());
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_EQ(*session.disconnected, kNoResponse);
}

TEST_F(QtTransportDovecotTest, TransportMayBeClosedOrDestroyedFromItsOwnEvents) {
  // Closed inside OnReceived: no event follows.
  RecordingSession closing;
  closing.on_received = [&closing] { closing.transport->Close(); };
  closing.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  // Destroyed inside OnReceived: nothing touches it afterwards.
  RecordingSession destroying;
  destroying.on_received = [&destroying] { destroying.transport.reset(); };
  destroying.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  ASSERT_TRUE(closing.WaitFor([&] { return !closing.received.empty() && destroying.transport == nullptr; }));

  // A third connection's whole dialogue gives the first two time to misbehave.
  RecordingSession witness;
  witness.on_received = [&witness] {
    if (witness.received.find("\r\n") != std::string::npos) static_cast<void>(witness.Send("QUIT\r\n"));
  };
  witness.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  ASSERT_TRUE(witness.WaitForDisconnect());
  EXPECT_FALSE(closing.disconnected.has_value());
  EXPECT_FALSE(closing.Send("QUIT\r\n"));
  EXPECT_FALSE(destroying.disconnected.has_value());
}

// Sends a command and waits for its whole reply (multi-line replies end in
// a line "."); returns the reply.
std::string Exchange(RecordingSession& session, const std::string& command, bool multiline) {
  const std::size_t start = session.received.size();
  EXPECT_TRUE(session.Send(command));
  const auto complete = [&] {
    const std::string reply = session.received.substr(start);
    if (session.disconnected.has_value()) return true;
    if (!multiline || StartsWith(reply, "-ERR")) return reply.find("\r\n") != std::string::npos;
    return reply.find("\r\n.\r\n") != std::string::npos;
  };
  EXPECT_TRUE(session.WaitFor(complete)) << command;
  return session.received.substr(start);
}

std::string Md5Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    static const char kDigits[] = "0123456789abcdef";
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 15];
  }
  return hex;
}

// What other tests rely on: messages in the given order, deletions seen in
// Messages(), users added while the server runs, APOP with plain passwords.
TEST_F(QtTransportDovecotTest, FixtureServesMailboxesInOrderAndAcceptsApop) {
  const std::vector<std::string> messages = {"Subject: first\r\n\r\none\r\n", "Subject: second\n\ntwo\n",
                                             "Subject: third\r\n\r\nthree\r\n"};
  server_.AddUser("bob", "pa55");
  server_.AddMessages("bob", messages);
  RecordingSession session;
  session.Connect(server_.host(), server_.pop3_port(), TlsMode::None);
  ASSERT_TRUE(session.WaitForLine());
  const std::size_t stamp_begin = session.received.find('<');
  const std::size_t stamp_end = session.received.find('>');
  ASSERT_NE(stamp_end, std::string::npos) << session.received;
  const std::string stamp = session.received.substr(stamp_begin, stamp_end + 1 - stamp_begin);

  EXPECT_TRUE(StartsWith(Exchange(session, "APOP bob " + Md5Hex(stamp + "pa55") + "\r\n", false), "+OK"));
  EXPECT_TRUE(StartsWith(Exchange(session, "STAT\r\n", false), "+OK 3 "));
  const std::string uidl = Exchange(session, "UIDL\r\n", true);
  EXPECT_EQ(std::count(uidl.begin(), uidl.end(), '\n'), 5) << uidl;
  const char* subjects[] = {"Subject: first\r\n", "Subject: second\r\n", "Subject: third\r\n"};
  for (int i = 0; i < 3; ++i) {
    const std::string retr = Exchange(session, "RETR " + std::to_string(i + 1) + "\r\n", true);
    EXPECT_NE(retr.find(subjects[i]), std::string::npos) << retr;
  }
  EXPECT_TRUE(StartsWith(Exchange(session, "DELE 2\r\n", false), "+OK"));
  EXPECT_TRUE(StartsWith(Exchange(session, "QUIT\r\n", false), "+OK"));
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_EQ(server_.Messages("bob"), (std::vector<std::string>{messages[0], messages[2]}));
}

// --- Failures without a server ---------------------------------------------

TEST(QtTransportFailureTest, SilentServerEndsAfterTheIdleTimeout) {
  const LoopbackSocket silent(true);
  RecordingSession session;
  session.Connect("127.0.0.1", silent.port(), TlsMode::None, 300ms);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_GE(std::chrono::steady_clock::now() - started, 250ms);
  EXPECT_TRUE(session.connected);
  EXPECT_EQ(*session.disconnected, kNoResponse);
}

// A session waiting for the user pauses the idle timer: a silence of
// several timeouts passes, and resuming gives the server a full timeout.
TEST(QtTransportFailureTest, PausedIdleTimerOutlastsTheSilenceAndResumesAFullTimeout) {
  const LoopbackSocket silent(true);
  RecordingSession session;
  session.on_connected = [&session] { session.transport->SetIdleTimerPaused(true); };
  session.Connect("127.0.0.1", silent.port(), TlsMode::None, 150ms);
  ASSERT_TRUE(session.WaitFor([&session] { return session.connected; }));
  EXPECT_FALSE(RunEventLoopUntil([&session] { return session.disconnected.has_value(); }, 500ms));
  const auto resumed = std::chrono::steady_clock::now();
  session.transport->SetIdleTimerPaused(false);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_GE(std::chrono::steady_clock::now() - resumed, 120ms);
  EXPECT_EQ(*session.disconnected, kNoResponse);
}

TEST(QtTransportFailureTest, SilentServerDuringImplicitTlsHandshakeEndsAfterTheIdleTimeout) {
  const LoopbackSocket silent(true);
  RecordingSession session;
  session.Connect("127.0.0.1", silent.port(), TlsMode::Implicit, 300ms);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_FALSE(session.connected);
  EXPECT_EQ(*session.disconnected, kNoResponse);
}

TEST(QtTransportFailureTest, Ipv6LoopbackAddressConnects) {
  EnsureEventLoopApplication();
  const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  socklen_t length = sizeof(address);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::listen(fd, 4) != 0) {
    if (fd >= 0) ::close(fd);
    GTEST_SKIP() << "no IPv6 loopback on this machine";
  }
  RecordingSession session;
  session.Connect("::1", ntohs(address.sin6_port), TlsMode::None);
  EXPECT_TRUE(session.WaitFor([&session] { return session.connected || session.disconnected.has_value(); }));
  EXPECT_TRUE(session.connected);
  EXPECT_FALSE(session.disconnected.has_value());
  session.transport->Close();
  ::close(fd);
}

TEST(QtTransportFailureTest, RefusedConnectionNamesTheHost) {
  const LoopbackSocket closed(false);
  RecordingSession session;
  session.Connect("127.0.0.1", closed.port(), TlsMode::None);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_FALSE(session.connected);
  EXPECT_TRUE(StartsWith(*session.disconnected, kConnectFailed)) << *session.disconnected;
}

TEST(QtTransportFailureTest, PortOutsideTheTcpRangeIsRefusedBeforeConnecting) {
  for (const int port : {0, -1, 65536, 70000}) {
    RecordingSession session;
    session.Connect("127.0.0.1", port, TlsMode::None);
    ASSERT_TRUE(session.WaitForDisconnect()) << port;
    EXPECT_FALSE(session.connected);
    EXPECT_EQ(*session.disconnected, kConnectFailed + ": port " + std::to_string(port));
  }
}

TEST(QtTransportFailureTest, UnusableHostNameIsNotFound) {
  // Not a valid domain name at all, so no name server is ever asked.
  RecordingSession session;
  session.Connect("no such host", 110, TlsMode::None);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_EQ(*session.disconnected, kHostNotFound);
}

TEST(QtTransportFailureTest, UnreadableExtraCertificateFileStopsTheConnection) {
  const LoopbackSocket silent(true);
  RecordingSession session({"/nonexistent/ca.pem"});
  session.Connect("127.0.0.1", silent.port(), TlsMode::Implicit);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_EQ(*session.disconnected, kCertificateFileUnreadable + "/nonexistent/ca.pem)");
}

TEST(QtTransportFailureTest, SendAfterTheConnectionEndedFails) {
  const LoopbackSocket closed(false);
  RecordingSession session;
  EXPECT_FALSE(session.Send("NOOP\r\n"));
  session.Connect("127.0.0.1", closed.port(), TlsMode::None);
  ASSERT_TRUE(session.WaitForDisconnect());
  EXPECT_FALSE(session.Send("NOOP\r\n"));
}

// --- Clear text injected before TLS (CVE-2011-0411) -------------------------

struct InjectionCase {
  const char* name;
  Injection injection;
  bool expect_tls;  // else the handshake fails and the connection ends
};

class QtTransportInjectionTest : public ::testing::TestWithParam<InjectionCase> {};

TEST_P(QtTransportInjectionTest, ClearTextAroundStlsNeverPassesForATlsReply) {
  const InjectionCase& c = GetParam();
  InjectingStlsServer server(c.injection);
  RecordingSession session({server.certificate_path()});
  bool stls_sent = false;
  session.on_received = [&] {
    if (session.tls_requested) return;
    if (!stls_sent) {
      stls_sent = true;
      EXPECT_TRUE(session.Send("STLS\r\n"));
    } else if (session.received.find("+OK Begin TLS\r\n") != std::string::npos) {
      // Like a real session: the reply line is consumed and TLS requested;
      // whatever followed it in this piece is dropped by the session itself.
      session.StartTls();
    }
  };
  session.on_tls_started = [&session] { EXPECT_TRUE(session.Send("CAPA\r\n")); };
  session.Connect("127.0.0.1", server.port(), TlsMode::StartTls);
  ASSERT_TRUE(session.WaitFor([&session] {
    return session.received_after_tls_request.find("\r\n") != std::string::npos || session.disconnected.has_value();
  }));
  EXPECT_EQ(session.received_after_tls_request.find("INJECTED"), std::string::npos);
  if (c.expect_tls) {
    EXPECT_FALSE(session.disconnected.has_value()) << *session.disconnected;
    EXPECT_TRUE(session.tls_started);
    EXPECT_TRUE(server.handshake_succeeded());
    EXPECT_EQ(server.line_inside_tls(), "CAPA\r\n");
    EXPECT_EQ(session.received_after_tls_request, "+OK tls\r\n");
  } else {
    ASSERT_TRUE(session.disconnected.has_value());
    EXPECT_TRUE(StartsWith(*session.disconnected, kTlsFailed)) << *session.disconnected;
    EXPECT_FALSE(session.tls_started);
    EXPECT_TRUE(session.received_after_tls_request.empty());
  }
  session.transport->Close();
}

INSTANTIATE_TEST_SUITE_P(Moments, QtTransportInjectionTest,
                         ::testing::Values(InjectionCase{"WithTheStlsReply", Injection::WithTheStlsReply, true},
                                           InjectionCase{"DuringTheHandshake", Injection::DuringTheHandshake, false}),
                         [](const ::testing::TestParamInfo<InjectionCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace lp
