#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_directory.h"

// A real POP3 server for end-to-end tests: Debian's Dovecot, started with a
// configuration of its own in a temporary directory (no system settings),
// listening on 127.0.0.1 for plain POP3 (with STLS) and for POP3 over TLS on
// free ports, with a self-signed certificate made for it. Users live in a
// passwd-file with plain passwords, so USER/PASS and APOP both work; their
// mail is a maildir the fixture writes directly.

namespace lp::testing {

// Writes a self-signed certificate for "localhost" and 127.0.0.1 with its
// key as "<directory>/cert.pem" and "<directory>/key.pem" (openssl req).
// Returns false when openssl failed.
[[nodiscard]] bool MakeSelfSignedCertificate(const std::string& directory);

class DovecotServer {
 public:
  // Starts the server and waits until both ports accept connections. With
  // an introspection URL, users log in with OAuth 2.0 bearer tokens
  // (XOAUTH2, OAUTHBEARER) that the authorization server behind the URL
  // vouches for (RFC 7662), instead of passwords.
  explicit DovecotServer(std::string oauth2_introspection_url = {});
  // Ends the server; the directory with all mail goes with it.
  ~DovecotServer();
  DovecotServer(const DovecotServer&) = delete;
  DovecotServer& operator=(const DovecotServer&) = delete;

  // False when the server did not come up; Log() tells why.
  [[nodiscard]] bool running() const { return pid_ > 0; }
  [[nodiscard]] std::string host() const { return "127.0.0.1"; }
  // Plain POP3, offering STLS.
  [[nodiscard]] int pop3_port() const { return pop3_port_; }
  // POP3 inside TLS from the first byte.
  [[nodiscard]] int pop3s_port() const { return pop3s_port_; }
  // PEM file of the server's certificate, to be trusted by a client.
  [[nodiscard]] std::string certificate_path() const { return directory_.File("cert.pem"); }

  // Adds a user (or changes the password of one); takes effect at once.
  void AddUser(const std::string& user, const std::string& password);
  // Puts messages (raw bytes, LF or CR LF lines) into a user's mailbox,
  // after the ones already there and in the given order.
  void AddMessages(const std::string& user, const std::vector<std::string>& messages);
  // The messages still in a user's mailbox, oldest first.
  [[nodiscard]] std::vector<std::string> Messages(const std::string& user) const;

  // Ends the server in an orderly way (about a second); it closes its
  // connections.
  void Stop();
  // Kills the server and every process it started at once, as a crash or a
  // pulled cable would: open connections break off mid-transfer.
  void Kill();

  // The server's log, for failure messages.
  [[nodiscard]] std::string Log() const;

 private:
  bool StartOnFreePorts();
  void WriteConfiguration() const;
  [[nodiscard]] bool WaitUntilListening();
  void WriteUsers() const;
  [[nodiscard]] std::string MaildirPath(const std::string& user) const;
  void GiveToMailUser(const std::string& path) const;
  void Reap(int signal_number);

  TempDirectory directory_;
  std::string oauth2_introspection_url_;
  pid_t pid_ = -1;
  int pop3_port_ = 0;
  int pop3s_port_ = 0;
  uid_t mail_uid_ = 0;
  gid_t mail_gid_ = 0;
  std::vector<std::pair<std::string, std::string>> users_;
  int next_message_ = 0;
};

}  // namespace lp::testing
