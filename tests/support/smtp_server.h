#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_directory.h"

// A real SMTP server for end-to-end tests: Debian's Postfix, run from a
// configuration of its own in a temporary directory (queue included), on
// 127.0.0.1 with a plain port offering STARTTLS and a port with TLS from the
// first byte, both on free ports. SMTP AUTH (PLAIN, LOGIN, CRAM-MD5) is
// checked by a Dovecot auth service the fixture starts as well, against a
// passwd-file with plain passwords. Every accepted mail, whatever its
// recipients, lands in one maildir that the test reads back. Postfix needs
// root; running() is false otherwise and skip_reason() says so.

namespace lp::testing {

class SmtpServer {
 public:
  // Starts both servers and waits until the ports answer. With an
  // introspection URL, SMTP AUTH takes OAuth 2.0 bearer tokens (XOAUTH2,
  // OAUTHBEARER) that the authorization server behind it vouches for too.
  explicit SmtpServer(std::string oauth2_introspection_url = {});
  ~SmtpServer();
  SmtpServer(const SmtpServer&) = delete;
  SmtpServer& operator=(const SmtpServer&) = delete;

  [[nodiscard]] bool running() const { return postfix_started_ && dovecot_pid_ > 0; }
  // Non-empty when the server cannot run here at all (not root, Postfix
  // missing); the tests skip then.
  [[nodiscard]] const std::string& skip_reason() const { return skip_reason_; }
  [[nodiscard]] std::string host() const { return "127.0.0.1"; }
  // Plain SMTP, offering STARTTLS and AUTH.
  [[nodiscard]] int smtp_port() const { return smtp_port_; }
  // SMTP inside TLS from the first byte.
  [[nodiscard]] int smtps_port() const { return smtps_port_; }
  // PEM file of the server's certificate, to be trusted by a client.
  [[nodiscard]] std::string certificate_path() const { return directory_.File("cert.pem"); }

  // Adds a user for SMTP AUTH (or changes a password); takes effect at once.
  void AddUser(const std::string& user, const std::string& password);
  // The messages delivered so far, raw as the server stored them (with its
  // Return-Path and Received lines on top), in the order they arrived.
  // Waits (bounded) until the server's queue is empty first, so that mail
  // accepted before the call is included.
  [[nodiscard]] std::vector<std::string> DeliveredMessages() const;
  // Waits (up to `limit`) until Postfix has delivered everything it
  // accepted; false when mail is still queued or deferred.
  [[nodiscard]] bool WaitUntilDelivered(std::chrono::seconds limit) const;
  // Removes the delivered messages.
  void ClearDelivered() const;

  // Ends both servers.
  void Stop();

  // Both servers' logs, for failure messages.
  [[nodiscard]] std::string Log() const;

 private:
  [[nodiscard]] bool StartDovecot();
  [[nodiscard]] bool StartPostfix();
  void WriteDovecotConfiguration() const;
  void WritePostfixConfiguration() const;
  void WriteUsers() const;
  [[nodiscard]] bool QueueEmpty() const;

  TempDirectory directory_;
  std::string oauth2_introspection_url_;
  std::string skip_reason_;
  pid_t dovecot_pid_ = -1;
  bool postfix_started_ = false;
  int smtp_port_ = 0;
  int smtps_port_ = 0;
  std::vector<std::pair<std::string, std::string>> users_;
};

}  // namespace lp::testing
