#include "tests/support/dovecot_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/support/server_process.h"

namespace lp::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kStartAttempts = 5;
constexpr auto kStartLimit = std::chrono::seconds(20);


// Dovecot greets on the plain port once its login service is up; anything
// else on that port is not our server.
bool GreetsAsDovecot(int port) {
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
  ::close(fd);
  return greeting.rfind("+OK Dovecot", 0) == 0;
}

bool Accepts(int port) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string ReadIfPresent(const std::string& path) { return fs::exists(path) ? ReadFileBytes(path) : std::string(); }

}  // namespace

bool MakeSelfSignedCertificate(const std::string& directory) {
  // An EC key is made in milliseconds, unlike RSA.
  return RunProgram({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                     "-keyout", directory + "/key.pem", "-out", directory + "/cert.pem", "-days", "2", "-subj",
                     "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"},
                    directory + "/openssl.log") == 0;
}

DovecotServer::DovecotServer(std::string oauth2_introspection_url)
    : oauth2_introspection_url_(std::move(oauth2_introspection_url)) {
  // Dovecot's unprivileged processes must reach the run and mail directories.
  ::chmod(directory_.path().c_str(), 0755);
  if (::geteuid() == 0) {
    // Dovecot refuses mail access as root; the package's own user owns the mail.
    const passwd* dovecot = ::getpwnam("dovecot");
    if (dovecot == nullptr) {
      ADD_FAILURE() << "the user dovecot is missing (is dovecot-pop3d installed?)";
      return;
    }
    mail_uid_ = dovecot->pw_uid;
    mail_gid_ = dovecot->pw_gid;
  } else {
    mail_uid_ = ::getuid();
    mail_gid_ = ::getgid();
  }
  fs::create_directories(directory_.File("mail"));
  WriteUsers();
  if (!MakeSelfSignedCertificate(directory_.path())) {
    ADD_FAILURE() << "openssl could not make a certificate: " << ReadIfPresent(directory_.File("openssl.log"));
    return;
  }
  if (!StartOnFreePorts()) ADD_FAILURE() << "Dovecot did not start:\n" << Log();
}

// Killed rather than stopped: an orderly stop costs a second, and the
// directory with everything in it goes anyway.
DovecotServer::~DovecotServer() { Kill(); }

bool DovecotServer::StartOnFreePorts() {
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    {
      const FreePort pop3;
      const FreePort pop3s;
      pop3_port_ = pop3.port();
      pop3s_port_ = pop3s.port();
    }
    WriteConfiguration();
    const int pid = StartDovecotProcess(directory_.File("dovecot.conf"), directory_.File("dovecot.stderr"));
    if (pid < 0) return false;
    pid_ = pid;
    if (WaitUntilListening()) return true;
    const bool port_taken = Log().find("Address already in use") != std::string::npos;
    Kill();
    if (!port_taken) return false;
  }
  return false;
}

bool DovecotServer::WaitUntilListening() {
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    if (Accepts(pop3s_port_) && GreetsAsDovecot(pop3_port_)) return true;
    // The ports open within milliseconds of the start; probe again shortly.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

void DovecotServer::WriteConfiguration() const {
  const std::string& root = directory_.path();
  std::string internal_user = "dovecot";
  std::string login_user = "dovenull";
  if (::geteuid() != 0) {
    const passwd* self = ::getpwuid(::getuid());
    internal_user = login_user = self != nullptr ? self->pw_name : "nobody";
  }
  std::string text;
  text += "base_dir = " + root + "/run\n";
  text += "state_dir = " + root + "/state\n";
  text += "log_path = " + root + "/dovecot.log\n";
  text += "instance_name = lanternpost-test-" + std::to_string(pop3_port_) + "\n";
  text += "protocols = pop3\n";
  text += "listen = 127.0.0.1\n";
  text += "ssl = yes\n";
  text += "ssl_cert = <" + root + "/cert.pem\n";
  text += "ssl_key = <" + root + "/key.pem\n";
  // USER/PASS and APOP over plain connections, as the classic dialogue.
  text += "disable_plaintext_auth = no\n";
  text += "auth_mechanisms = plain apop\n";
  text += "auth_verbose = yes\n";
  text += "default_internal_user = " + internal_user + "\n";
  text += "default_login_user = " + login_user + "\n";
  text += "first_valid_uid = " + std::to_string(mail_uid_) + "\n";
  text += "first_valid_gid = " + std::to_string(mail_gid_) + "\n";
  if (oauth2_introspection_url_.empty()) {
    text += "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " + root + "/users\n}\n";
  } else {
    text += "auth_mechanisms = xoauth2 oauthbearer\n";
    // A refused token is answered at once instead of after two seconds.
    text += "auth_failure_delay = 0\n";
    text += "passdb {\n  driver = oauth2\n  args = " + root + "/oauth2.conf\n}\n";
    WriteFileBytes(directory_.File("oauth2.conf"),
                   "introspection_mode = post\nintrospection_url = " + oauth2_introspection_url_ +
                       "\nforce_introspection = yes\nusername_attribute = username\n"
                       "active_attribute = active\nactive_value = true\n");
  }
  text += "userdb {\n  driver = passwd-file\n  args = username_format=%u " + root + "/users\n}\n";
  text += "mail_location = maildir:" + root + "/mail/%u/Maildir\n";
  text += "pop3_uidl_format = %08Xu%08Xv\n";
  text += "service pop3-login {\n";
  text += "  inet_listener pop3 {\n    port = " + std::to_string(pop3_port_) + "\n  }\n";
  text += "  inet_listener pop3s {\n    port = " + std::to_string(pop3s_port_) + "\n    ssl = yes\n  }\n";
  text += "}\n";
  WriteFileBytes(directory_.File("dovecot.conf"), text);
}

void DovecotServer::WriteUsers() const {
  std::string text;
  for (const auto& [user, password] : users_) {
    text += user + ":{PLAIN}" + password + ":" + std::to_string(mail_uid_) + ":" + std::to_string(mail_gid_) +
            "::" + directory_.File("mail/" + user) + "\n";
  }
  // Renamed into place: Dovecot rereads the file whenever it changes and
  // must never see half of it.
  const std::string staging = directory_.File("users.new");
  WriteFileBytes(staging, text);
  fs::rename(staging, directory_.File("users"));
}

std::string DovecotServer::MaildirPath(const std::string& user) const {
  return directory_.File("mail/" + user + "/Maildir");
}

void DovecotServer::GiveToMailUser(const std::string& path) const {
  if (::geteuid() == 0 && ::chown(path.c_str(), mail_uid_, mail_gid_) != 0) {
    ADD_FAILURE() << "chown " << path << " failed";
  }
}

void DovecotServer::AddUser(const std::string& user, const std::string& password) {
  auto known = std::find_if(users_.begin(), users_.end(), [&user](const auto& entry) { return entry.first == user; });
  if (known != users_.end()) {
    known->second = password;
  } else {
    users_.emplace_back(user, password);
    const std::string maildir = MaildirPath(user);
    for (const char* part : {"cur", "new", "tmp"}) fs::create_directories(maildir + "/" + part);
    GiveToMailUser(directory_.File("mail/" + user));
    GiveToMailUser(maildir);
    for (const char* part : {"cur", "new", "tmp"}) GiveToMailUser(maildir + "/" + part);
  }
  WriteUsers();
}

void DovecotServer::AddMessages(const std::string& user, const std::vector<std::string>& messages) {
  if (std::none_of(users_.begin(), users_.end(), [&user](const auto& entry) { return entry.first == user; })) {
    ADD_FAILURE() << "AddMessages for " << user << ", who was never added";
    return;
  }
  const std::string maildir = MaildirPath(user);
  for (const std::string& message : messages) {
    // Dovecot numbers new mail in the order of the time stamp that begins
    // each file name; a counter in that place keeps the given order.
    ++next_message_;
    char name[64];
    std::snprintf(name, sizeof(name), "%010d.M%dP%d.lanternpost", 1000000000 + next_message_, next_message_,
                  static_cast<int>(::getpid()));
    const std::string staging = maildir + "/tmp/" + name;
    WriteFileBytes(staging, message);
    GiveToMailUser(staging);
    fs::rename(staging, maildir + "/new/" + name);
  }
}

std::vector<std::string> DovecotServer::Messages(const std::string& user) const {
  std::vector<std::string> names;
  const std::string maildir = MaildirPath(user);
  for (const char* part : {"new", "cur"}) {
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(maildir + "/" + part, missing)) {
      names.push_back(entry.path().string());
    }
  }
  // The base names begin with the fixed-width counter of AddMessages.
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return fs::path(a).filename() < fs::path(b).filename(); });
  std::vector<std::string> messages;
  for (const std::string& name : names) messages.push_back(ReadFileBytes(name));
  return messages;
}

void DovecotServer::Stop() { Reap(SIGTERM); }

void DovecotServer::Kill() { Reap(SIGKILL); }

void DovecotServer::Reap(int signal_number) {
  if (pid_ <= 0) return;
  // A kill hits the whole group at once, so no process serves on a moment
  // longer; an orderly stop lets the master close its connections.
  ::kill(signal_number == SIGKILL ? -pid_ : pid_, signal_number);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  // Whatever the master left behind (login and mail processes) goes too.
  ::kill(-pid_, SIGKILL);
  pid_ = -1;
}

std::string DovecotServer::Log() const {
  return ReadIfPresent(directory_.File("dovecot.log")) + ReadIfPresent(directory_.File("dovecot.stderr"));
}

}  // namespace lp::testing
