#include "tests/support/smtp_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "tests/support/dovecot_server.h"
#include "tests/support/server_process.h"

namespace lp::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kStartAttempts = 5;
constexpr auto kStartLimit = std::chrono::seconds(20);
constexpr auto kDeliveryLimit = std::chrono::seconds(20);
constexpr const char* kPostfixDaemons = "/usr/lib/postfix/sbin";


// Our Postfix greets with the banner the configuration gives it; anything
// else on the port is some other program.
bool GreetsAsOurServer(int port) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return false;
  std::string greeting;
  pollfd readable{fd, POLLIN, 0};
  while (greeting.find("\r\n") == std::string::npos && ::poll(&readable, 1, 5000) > 0) {
    char buffer[512];
    const ssize_t count = ::recv(fd, buffer, sizeof(buffer), 0);
    if (count <= 0) break;
    greeting.append(buffer, static_cast<std::size_t>(count));
  }
  static const char kQuit[] = "QUIT\r\n";
  static_cast<void>(::send(fd, kQuit, sizeof(kQuit) - 1, MSG_NOSIGNAL));
  ::close(fd);
  return greeting.rfind("220 localhost ESMTP lanternpost-test", 0) == 0;
}

bool Accepts(int port) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string ReadIfPresent(const std::string& path) { return fs::exists(path) ? ReadFileBytes(path) : std::string(); }

bool DirectoryEmpty(const std::string& path) {
  std::error_code error;
  return fs::is_empty(path, error) || error;
}

}  // namespace

SmtpServer::SmtpServer(std::string oauth2_introspection_url)
    : oauth2_introspection_url_(std::move(oauth2_introspection_url)) {
  if (::geteuid() != 0) {
    skip_reason_ = "Postfix runs only as root";
    return;
  }
  if (!fs::exists(std::string(kPostfixDaemons) + "/master") || ::getpwnam("postfix") == nullptr) {
    skip_reason_ = "Postfix is not installed (scripts/install-deps.sh)";
    return;
  }
  // Postfix's and Dovecot's unprivileged processes must reach the
  // certificate, the auth socket and the mail.
  ::chmod(directory_.path().c_str(), 0755);
  fs::create_directories(directory_.File("postfix"));
  fs::create_directories(directory_.File("mail/sink/new"));
  const passwd* postfix = ::getpwnam("postfix");
  for (const char* part : {"mail", "mail/sink", "mail/sink/new"}) {
    if (::chown(directory_.File(part).c_str(), postfix->pw_uid, postfix->pw_gid) != 0) {
      ADD_FAILURE() << "chown " << part << " failed";
    }
  }
  WriteUsers();
  if (!MakeSelfSignedCertificate(directory_.path())) {
    ADD_FAILURE() << "openssl could not make a certificate: " << ReadIfPresent(directory_.File("openssl.log"));
    return;
  }
  if (!StartDovecot()) {
    ADD_FAILURE() << "Dovecot's auth service did not start:\n" << Log();
    return;
  }
  if (!StartPostfix()) ADD_FAILURE() << "Postfix did not start:\n" << Log();
}

SmtpServer::~SmtpServer() { Stop(); }

bool SmtpServer::StartDovecot() {
  WriteDovecotConfiguration();
  const std::string socket = directory_.File("dovecot/auth-postfix");
  const int pid = StartDovecotProcess(directory_.File("dovecot.conf"), directory_.File("dovecot.stderr"));
  if (pid < 0) return false;
  dovecot_pid_ = pid;
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      dovecot_pid_ = -1;
      return false;
    }
    if (fs::exists(socket)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

bool SmtpServer::StartPostfix() {
  const std::string configuration = directory_.File("postfix");
  const std::string output = directory_.File("postfix.stderr");
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    {
      const FreePort smtp;
      const FreePort smtps;
      smtp_port_ = smtp.port();
      smtps_port_ = smtps.port();
    }
    WritePostfixConfiguration();
    // Makes the queue directories with the owners and modes Postfix checks.
    if (RunProgram({std::string(kPostfixDaemons) + "/post-install", "config_directory=" + configuration,
                    "meta_directory=/etc/postfix", "create-missing"},
                   output) != 0) {
      return false;
    }
    if (RunProgram({"postfix", "-c", configuration, "start"}, output) == 0) {
      postfix_started_ = true;
      const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
      while (std::chrono::steady_clock::now() < deadline) {
        if (Accepts(smtps_port_) && GreetsAsOurServer(smtp_port_)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      static_cast<void>(RunProgram({"postfix", "-c", configuration, "abort"}, output));
      postfix_started_ = false;
    }
    if (Log().find("Address already in use") == std::string::npos) return false;
  }
  return false;
}

void SmtpServer::WriteDovecotConfiguration() const {
  const std::string& root = directory_.path();
  std::string text;
  text += "base_dir = " + root + "/dovecot\n";
  text += "state_dir = " + root + "/dovecot-state\n";
  text += "log_path = " + root + "/dovecot.log\n";
  text += "instance_name = lanternpost-smtp-" + fs::path(root).filename().string() + "\n";
  // The auth service alone: no mail protocol listens anywhere.
  text += "protocols =\n";
  text += "ssl = no\n";
  text += "disable_plaintext_auth = no\n";
  text += "auth_mechanisms = plain login cram-md5" +
          std::string(oauth2_introspection_url_.empty() ? "" : " xoauth2 oauthbearer") + "\n";
  // A wrong password is answered at once instead of after two seconds.
  text += "auth_failure_delay = 0\n";
  text += "auth_verbose = yes\n";
  text += "default_internal_user = dovecot\n";
  text += "default_login_user = dovenull\n";
  if (!oauth2_introspection_url_.empty()) {
    // Tried first; a password that is no token goes on to the file.
    text += "passdb {\n  driver = oauth2\n  args = " + root + "/oauth2.conf\n}\n";
    WriteFileBytes(directory_.File("oauth2.conf"),
                   "introspection_mode = post\nintrospection_url = " + oauth2_introspection_url_ +
                       "\nforce_introspection = yes\nusername_attribute = username\n"
                       "active_attribute = active\nactive_value = true\n");
  }
  text += "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " + root + "/users\n}\n";
  // Postfix's smtpd runs as the user postfix and speaks the client side
  // of the auth protocol on this socket.
  text += "service auth {\n  unix_listener auth-postfix {\n    mode = 0666\n  }\n}\n";
  WriteFileBytes(directory_.File("dovecot.conf"), text);
}

void SmtpServer::WritePostfixConfiguration() const {
  const std::string& root = directory_.path();
  const passwd* postfix = ::getpwnam("postfix");
  const std::string uid = std::to_string(postfix->pw_uid);
  const std::string gid = std::to_string(postfix->pw_gid);
  std::string main;
  main += "compatibility_level = 3.6\n";
  main += "meta_directory = /etc/postfix\n";
  main += "queue_directory = " + root + "/queue\n";
  main += "data_directory = " + root + "/data\n";
  main += "maillog_file = " + root + "/postfix.log\n";
  main += "maillog_file_prefixes = " + root + "\n";
  main += "myhostname = localhost\n";
  main += "mydomain = localdomain\n";
  main += "inet_interfaces = 127.0.0.1\n";
  main += "inet_protocols = ipv4\n";
  main += "smtpd_banner = $myhostname ESMTP lanternpost-test\n";
  main += "mydestination =\n";
  main += "alias_maps =\n";
  main += "alias_database =\n";
  // No notices to the postmaster: they would land among the test's mail.
  main += "notify_classes =\n";
  // Every recipient of every domain is delivered into the one maildir.
  main += "virtual_mailbox_domains = static:all\n";
  main += "virtual_mailbox_base = " + root + "/mail\n";
  main += "virtual_mailbox_maps = static:sink/\n";
  main += "virtual_uid_maps = static:" + uid + "\n";
  main += "virtual_gid_maps = static:" + gid + "\n";
  main += "virtual_minimum_uid = 1\n";
  main += "smtpd_sasl_auth_enable = yes\n";
  main += "smtpd_sasl_type = dovecot\n";
  main += "smtpd_sasl_path = " + root + "/dovecot/auth-postfix\n";
  main += "smtpd_tls_cert_file = " + root + "/cert.pem\n";
  main += "smtpd_tls_key_file = " + root + "/key.pem\n";
  main += "smtpd_tls_security_level = may\n";
  // The Received line tells whether TLS and AUTH were used.
  main += "smtpd_tls_received_header = yes\n";
  main += "smtpd_sasl_authenticated_header = yes\n";
  // Headers stay as the client sent them (no Date or Message-Id added, no
  // address rewriting), so tests can compare the delivered bytes.
  main += "local_header_rewrite_clients =\n";
  WriteFileBytes(directory_.File("postfix/main.cf"), main);

  // No chroot: the configuration's paths are valid as they stand.
  std::string master;
  master += "127.0.0.1:" + std::to_string(smtp_port_) + " inet n - n - - smtpd\n";
  master += "127.0.0.1:" + std::to_string(smtps_port_) + " inet n - n - - smtpd -o smtpd_tls_wrappermode=yes\n";
  for (const char* service : {
           "pickup unix n - n 60 1 pickup", "cleanup unix n - n - 0 cleanup", "qmgr unix n - n 300 1 qmgr",
           "tlsmgr unix - - n 1000? 1 tlsmgr", "rewrite unix - - n - - trivial-rewrite",
           "bounce unix - - n - 0 bounce", "defer unix - - n - 0 bounce", "trace unix - - n - 0 bounce",
           "verify unix - - n - 1 verify", "flush unix n - n 1000? 0 flush", "proxymap unix - - n - - proxymap",
           "smtp unix - - n - - smtp", "relay unix - - n - - smtp", "showq unix n - n - - showq",
           "error unix - - n - - error", "retry unix - - n - - error", "discard unix - - n - - discard",
           "local unix - n n - - local", "virtual unix - n n - - virtual", "anvil unix - - n - 1 anvil",
           "scache unix - - n - 1 scache", "postlog unix-dgram n - n - 1 postlogd"}) {
    master += std::string(service) + "\n";
  }
  WriteFileBytes(directory_.File("postfix/master.cf"), master);
}

void SmtpServer::WriteUsers() const {
  std::string text;
  for (const auto& [user, password] : users_) text += user + ":{PLAIN}" + password + "\n";
  // Renamed into place: Dovecot rereads the file when it changes and must
  // never see half of it.
  const std::string staging = directory_.File("users.new");
  WriteFileBytes(staging, text);
  fs::rename(staging, directory_.File("users"));
}

void SmtpServer::AddUser(const std::string& user, const std::string& password) {
  auto known = std::find_if(users_.begin(), users_.end(), [&user](const auto& entry) { return entry.first == user; });
  if (known != users_.end()) {
    known->second = password;
  } else {
    users_.emplace_back(user, password);
  }
  WriteUsers();
}

bool SmtpServer::QueueEmpty() const {
  for (const char* part : {"maildrop", "incoming", "active"}) {
    if (!DirectoryEmpty(directory_.File("queue/") + part)) return false;
  }
  return true;
}

bool SmtpServer::WaitUntilDelivered(std::chrono::seconds limit) const {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (running() && !QueueEmpty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return QueueEmpty() && DirectoryEmpty(directory_.File("queue/deferred"));
}

void SmtpServer::ClearDelivered() const {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory_.File("mail/sink/new"), error)) {
    fs::remove(entry.path(), error);
  }
}

std::vector<std::string> SmtpServer::DeliveredMessages() const {
  if (!WaitUntilDelivered(kDeliveryLimit)) ADD_FAILURE() << "mail is still in Postfix's queue:\n" << Log();
  std::vector<std::pair<fs::file_time_type, std::string>> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory_.File("mail/sink/new"), error)) {
    files.emplace_back(entry.last_write_time(), entry.path().string());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> messages;
  for (const auto& [time, path] : files) messages.push_back(ReadFileBytes(path));
  return messages;
}

void SmtpServer::Stop() {
  if (postfix_started_) {
    static_cast<void>(
        RunProgram({"postfix", "-c", directory_.File("postfix"), "abort"}, directory_.File("postfix.stderr")));
    postfix_started_ = false;
  }
  if (dovecot_pid_ > 0) {
    ::kill(-dovecot_pid_, SIGKILL);
    int status = 0;
    while (::waitpid(dovecot_pid_, &status, 0) < 0 && errno == EINTR) {
    }
    dovecot_pid_ = -1;
  }
}

std::string SmtpServer::Log() const {
  return ReadIfPresent(directory_.File("postfix.log")) + ReadIfPresent(directory_.File("postfix.stderr")) +
         ReadIfPresent(directory_.File("dovecot.log")) + ReadIfPresent(directory_.File("dovecot.stderr"));
}

}  // namespace lp::testing
