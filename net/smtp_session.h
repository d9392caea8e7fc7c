#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/receive_log.h"
#include "net/sasl_oauth.h"
#include "net/smtp_reply_reader.h"
#include "platform/transport.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"

// The SMTP client: greets the server (HELO, or EHLO and AUTH CRAM-MD5 or
// AUTH LOGIN), then carries each mail of the run
// through MAIL FROM, RCPT TO and DATA, streaming its message file, and
// quits. "smail.log" receives the dialogue with every credential masked.
//
// The session never blocks: the transport reports events, the session
// gathers each reply until its last line is whole, and one function answers
// it with the next command. When the session ends it closes the transport
// and reports the result through the completion callback.
//
// Streaming: the message file is read in 64 KiB pieces and each piece is
// handed to Transport::Send at once, in one loop, after the 354 reply. The
// transport has no "writable" signal and its Send only queues, so there is
// nothing to wait for: the session itself holds one piece at a time, and
// the transport's queue drains at the network's pace. The message file is
// already dot-stuffed and ends with the line "." (outgoing_message.h); it
// is sent as it is.
//
// TLS: implicit TLS is the transport's (OnConnected comes after the
// handshake). With TlsMode::StartTls the greeting is answered with EHLO;
// the server must offer STARTTLS and answer it with 220, otherwise the
// session ends with a message before any credential or mail has left.
// Whatever arrived before the handshake completed is thrown away, and the
// dialogue starts again with HELO or EHLO inside TLS.
//
// Beyond the classic dialogue: the answer to DATA must be 354 (otherwise
// the message would be read by the server as commands), the answer to the
// final "." is tested before a mail counts as delivered, envelope addresses
// lose CR, LF and NUL, and a reply split over several pieces is one reply.
//
// OAuth 2.0: with `oauth` the session always says EHLO and authenticates
// with OAUTHBEARER or XOAUTH2 (as the EHLO reply offers) and the bearer
// token, inside TLS only. A 334 refusal challenge is acknowledged as the
// mechanism wants, or cancelled with "*" when it is malformed.

namespace lp {

enum class SmtpAuthMode : int {
  // "自動": CRAM-MD5 when the server offers it (or names no mechanism),
  // else LOGIN. A refused CRAM-MD5 falls back to LOGIN only inside TLS:
  // in clear the password would cross the network readable.
  Automatic = 0,
  CramMd5 = 1,
  Login = 2,
};

// One mail of a run: the envelope and the file holding its message.
struct SmtpMail {
  std::string sender;                   // the account's Adr
  std::vector<std::string> recipients;  // envelope recipients; empty: delivered without SMTP (LAN only)
  std::string message_path = "smail.$$$";
};

// Filled by the caller from the connection account and the profile.
struct SmtpSessionSettings {
  std::string host;
  int port = 25;
  TlsMode tls = TlsMode::None;
  std::chrono::milliseconds idle_timeout{std::chrono::seconds(60)};
  std::string helo_name = "LPOST";
  bool auth = false;  // SmtpAuth: EHLO and AUTH instead of HELO
  SmtpAuthMode auth_mode = SmtpAuthMode::Automatic;
  std::string user;
  std::string password;
  // OAuth 2.0 instead of the password: `user` and this bearer token go to
  // the server with SASL. Empty: no sign-in yet, nothing is sent.
  bool oauth = false;
  std::string access_token;
  // The one mail of the run when Start gets no queue.
  SmtpMail mail;
  int mail_total = 1;  // mails of the run, for the status text
  std::string log_path = "smail.log";
};

enum class SmtpNextMail {
  Ready,     // `mail` holds the next mail; its message file is written
  NoneLeft,  // the run is complete
  Failed,    // the mail could not be prepared; the run stops (the preparer told the user)
};

// The mails of a run, handed out one at a time when the server is ready
// for the next: the send pipeline builds each message just before it goes.
class SmtpMailQueue {
 public:
  virtual ~SmtpMailQueue() = default;
  [[nodiscard]] virtual SmtpNextMail TakeNext(SmtpMail& mail) = 0;
  // The mail handed out last is delivered: the server accepted its message,
  // or it had no SMTP recipient.
  virtual void Delivered() = 0;
};

enum class SmtpOutcome {
  Sent,           // every mail of the run was delivered and the dialogue ended with QUIT
  ConnectFailed,  // no connection or no greeting; nothing was sent
  Failed,         // the session ended early; mails delivered before stay delivered
};

struct SmtpSessionResult {
  SmtpOutcome outcome = SmtpOutcome::Sent;
  std::string error_text;  // the message shown, Shift_JIS; empty when none was shown
  int delivered = 0;       // mails delivered, in the order they were handed out
  // The server accepted the message of the last mail handed out.
  bool message_accepted = false;
  // Recipients of the mail in progress that the server refused.
  std::vector<std::string> refused_recipients;
  // The server refused the credentials at the last AUTH step.
  bool auth_refused = false;
  // The refusal says the provider takes no passwords: an OAuth 2.0 sign-in is the way in.
  bool passwords_off = false;
  // The server refused the OAuth 2.0 token (or there was none): a fresh
  // token, or a new sign-in, is needed.
  bool token_refused = false;
};

// The AUTH mechanisms an EHLO reply names.
struct SmtpAuthOffer {
  bool listed = false;  // the reply has an AUTH line at all
  bool cram_md5 = false;
  bool login = false;
  std::string mechanisms;  // every mechanism named, blank separated
};
[[nodiscard]] SmtpAuthOffer AuthMechanismsOffered(std::string_view ehlo_reply);

// The classic state numbers are the values; the states from 100 on
// extend the dialogue (connection, STARTTLS, QUIT).
enum class SmtpState : int {
  Ready = 0,          // answer to HELO/EHLO, the last AUTH step or "."
  Recipients = 1,     // answer to MAIL FROM or a RCPT TO that was not the last
  LastRecipient = 2,  // answer to the last RCPT TO
  DataReply = 3,      // answer to DATA; the message follows
  Idle = 4,
  AuthStart = 5,      // answer to EHLO when authenticating
  CramReply = 6,      // answer to AUTH CRAM-MD5
  LoginUser = 7,      // answer to AUTH LOGIN
  LoginPassword = 8,  // answer to the user name
  Connecting = 101,
  Greeting = 102,
  TlsEhlo = 103,       // answer to the EHLO that looks for STARTTLS
  StartTlsReply = 104,
  TlsHandshake = 105,
  QuitReply = 106,
  Streaming = 108,  // the message is going out; a reply now is a refusal
  OAuthReply = 109,       // answer to the AUTH carrying the token
  OAuthFailureEnd = 110,  // answer to the acknowledgement of a refusal challenge
  Done = 107,
};

class SmtpSession final : public TransportEvents {
 public:
  // Called once when the session ends, from inside a transport event (or
  // from the Start call itself). Do not destroy the session inside it.
  using Finished = std::function<void(const SmtpSessionResult&)>;

  SmtpSession(Transport& transport, UserInterface& ui, Finished finished);
  ~SmtpSession() override;
  SmtpSession(const SmtpSession&) = delete;
  SmtpSession& operator=(const SmtpSession&) = delete;

  // Truncates the log and connects. `progress` (the send status window,
  // may be null) shows the status texts and the DATA progress. Without a
  // queue the run is settings.mail alone; with one, the mails come from it
  // and settings.mail is not used. Both must outlive the session's run.
  void Start(const SmtpSessionSettings& settings, Progress* progress = nullptr, SmtpMailQueue* queue = nullptr);

  // Ends the session at once without a message (the user's cancel). A
  // message in the middle of DATA never gets its "." and is dropped by the
  // server.
  void Cancel();

  [[nodiscard]] SmtpState State() const { return state_; }
  [[nodiscard]] bool Running() const { return state_ != SmtpState::Idle && state_ != SmtpState::Done; }

  void OnConnected() override;
  void OnReceived(std::string_view bytes) override;
  void OnTlsStarted() override;
  void OnDisconnected(std::string_view reason) override;
  void OnWritten() override;

 private:
  class SingleMail;

  // The one place that answers a complete reply with the next step.
  void HandleReply(const std::string& reply);

  void SendGreeting();
  // The first AUTH command, chosen by the mode and the EHLO reply.
  void StartAuthentication();
  void SendAuthLogin();
  void SendOAuth();
  void NextMail();
  void SendRecipient();
  void SendData();
  void StreamMessage();

  [[nodiscard]] bool SendCommand(std::string_view line);
  // Sends a line that carries a credential; the log gets a mask instead.
  [[nodiscard]] bool SendSecret(std::string_view line);
  // Sends `bytes`, writing `logged` to the log; a failed send ends the session.
  [[nodiscard]] bool SendLogged(std::string_view bytes, std::string_view logged);
  void SetStatus(std::string_view text);
  // Shows `text` (when not empty) and marks the session failed.
  void Report(std::string_view text, SmtpOutcome outcome);
  // Reports, then ends the session at once.
  void Fail(std::string_view text, SmtpOutcome outcome = SmtpOutcome::Failed);
  // Reports, then ends the dialogue politely with QUIT.
  void FailAndQuit(std::string_view text);
  void Quit();
  void End();

  Transport& transport_;
  UserInterface& ui_;
  Finished finished_;

  SmtpSessionSettings settings_;
  Progress* progress_ = nullptr;
  SmtpMailQueue* queue_ = nullptr;
  std::unique_ptr<SingleMail> single_mail_;
  SmtpState state_ = SmtpState::Idle;
  SmtpReplyReader reader_;
  ReceiveLog log_;
  SmtpSessionResult result_;

  SmtpMail mail_;
  int mail_number_ = 0;
  std::size_t rcpt_index_ = 0;
  bool awaiting_dot_reply_ = false;
  bool awaiting_auth_reply_ = false;  // the last AUTH step went out
  SmtpAuthOffer auth_offer_;
  OAuthMechanism mechanism_ = OAuthMechanism::XOAuth2;
  std::string oauth_status_;  // the status of a refusal challenge
  File message_;
  std::uint64_t message_size_ = 0;
  std::uint64_t message_sent_ = 0;
  std::string message_piece_;
  int progress_divisor_ = 1;
};

}  // namespace lp
