#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "config/account_table.h"
#include "config/profile.h"
#include "net/oauth_logins.h"
#include "net/pop_session.h"
#include "net/smtp_session.h"
#include "platform/transport.h"

// The connection test of the connection settings: logs in to the account's
// POP3 server (USER/PASS or APOP, STLS or TLS as set) and quits, then
// greets its SMTP server (with AUTH when the account authenticates) and
// quits. No mail is fetched or sent, no spool, list or log file is written.
// Both sessions run on the event loop like a receive or a send; the result
// comes through the callback. Messages the sessions would show are
// collected into the result instead, so that the caller reports once.

namespace lp {

class CPopSession;
class SmtpSession;

struct LoginCheckOutcome {
  bool tried = false;             // a server is set, so it was tried
  bool ok = false;                // the dialogue ended with QUIT after a login
  bool password_refused = false;  // the server refused the user or password
  std::string error_text;         // Shift_JIS: what the session reported (host, refusal, certificate)
};

struct AccountCheckResult {
  LoginCheckOutcome pop;
  LoginCheckOutcome smtp;
};

class AccountCheck {
 public:
  using TransportFactory = std::function<std::unique_ptr<Transport>()>;
  // Called once per run, from an event of the last session. Do not destroy
  // the check inside it.
  using Finished = std::function<void(const AccountCheckResult&)>;
  // Each status text of the running session (Shift_JIS).
  using Status = std::function<void(std::string_view)>;

  AccountCheck(TransportFactory transports, Finished finished, Status status = {});
  ~AccountCheck();
  AccountCheck(const AccountCheck&) = delete;
  AccountCheck& operator=(const AccountCheck&) = delete;

  // Checks account `index` of `accounts` (copied: the table may change
  // while the check runs). Ignored while a check runs.
  void Start(const CSetMenuArray& accounts, std::size_t index, const Profile& profile);
  // Ends the running check without calling Finished.
  void Cancel();
  [[nodiscard]] bool Running() const { return running_; }
  // Where OAuth 2.0 accounts get their tokens (may stay null: such an
  // account's check then says that a sign-in is needed).
  void SetOAuthLogins(OAuthLogins* oauth) { oauth_ = oauth; }

 private:
  class QuietUi;

  void StartPop(PopSessionSettings settings);
  void StartSmtp();
  void StartSmtpSession(SmtpSessionSettings settings);
  // Gets the token of an OAuth 2.0 account, then `go`; a failure is the
  // outcome's error and `skip` follows instead.
  void WithToken(LoginCheckOutcome& outcome, std::function<void(OAuthLogin)> go, std::function<void()> skip);
  void Finish();

  TransportFactory transports_;
  Finished finished_;
  std::unique_ptr<QuietUi> ui_;
  CSetMenu account_;
  AccountCheckResult result_;
  bool running_ = false;
  OAuthLogins* oauth_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // Each session is destroyed before its transport.
  std::unique_ptr<Transport> pop_transport_;
  std::unique_ptr<CPopSession> pop_;
  std::unique_ptr<Transport> smtp_transport_;
  std::unique_ptr<SmtpSession> smtp_;
};

}  // namespace lp
