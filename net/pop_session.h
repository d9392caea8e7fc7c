#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/fetched_uid_journal.h"
#include "net/pop_reply_reader.h"
#include "net/pop_spool.h"
#include "net/receive_log.h"
#include "net/sasl_oauth.h"
#include "net/top_checks.h"
#include "platform/transport.h"
#include "platform/question_guard.h"
#include "platform/user_interface.h"

// The POP3 client: logs in (USER/PASS or APOP, after STLS when the account
// asks for it), decides which messages are new (UIDL lists, or the
// remembered message number checked by Message-Id), retrieves them into the
// spool, deletes them or leaves them on the server, trims the server and
// quits. A second, shorter machine deletes every message on the server.
//
// The session never blocks: the transport reports events, the session
// gathers each reply until it is whole and one function answers it with the
// next command. When the session ends it closes the transport and reports
// the result through the completion callback.
//
// TLS: implicit TLS is the transport's (OnConnected comes after the
// handshake). With TlsMode::StartTls the greeting is answered with STLS; on
// "+OK" the transport upgrades and the login follows OnTlsStarted, while a
// refusal ends the session with a message and no credential ever travels in
// clear. APOP then uses the stamp of the greeting that came before the
// upgrade: the stamp is a public challenge, so its travelling in clear
// weakens nothing.
//
// Safety beyond the classic dialogue: a server deletes only when QUIT ends
// the session, so the spool is flushed to the disk once, before QUIT, and
// before the received uid list is replaced or extended; when that flush
// fails the deletions are taken back with RSET. UIDL is asked also when
// mail is deleted after retrieving: mail the received list names (kept on
// the server before, or fetched by a session that died before its QUIT) is
// deleted rather than fetched twice. Replies are gathered across pieces
// with every line and response bounded; a server that breaks the protocol
// ends the session with a message, and mail already in the spool stays.
//
// OAuth 2.0: instead of USER/PASS the session asks CAPA for the server's
// SASL mechanisms and sends AUTH with OAUTHBEARER or XOAUTH2 and the
// bearer token, inside TLS only. A refusal challenge is acknowledged as the
// mechanism wants (or cancelled with "*" when it is malformed) before the
// session quits.

namespace lp {

// Filled by the caller from the connection account and the profile.
struct PopSessionSettings {
  std::string account_name;  // the progress caption starts with it
  std::string host;
  int port = 110;
  TlsMode tls = TlsMode::None;
  std::chrono::milliseconds idle_timeout{std::chrono::seconds(60)};
  std::string user;
  std::string password;
  bool use_apop = false;             // APOP
  // OAuth 2.0 instead of the password: `user` and this bearer token go to
  // the server with SASL. Empty: no sign-in yet, nothing is sent.
  bool oauth = false;
  std::string access_token;
  bool keep_on_server = true;        // NotDel
  bool confirm_each = false;         // MailKakunin; forces keep_on_server
  int remembered_retr = 1;           // RETR: the next new message number
  std::string remembered_message_id; // MessageID of the last mail received
  std::string received_uid_list;     // "UIDL" + name + ".txt"
  std::string new_uid_list;          // "UIDL2" + name + ".txt"
  bool iframe_check = false;         // [System] IframeDel
  bool server_delete = false;        // [System] Serverdel
  int delete_keep = 100;             // [System] DelNo: messages the trim leaves
  bool progress_by_count = false;    // [View] ProgressMode
  std::string spool_path = "inbox.log";
  std::string log_path = "rec.log";
};

enum class PopOutcome {
  Completed,      // the dialogue ended with QUIT
  ConnectFailed,  // no connection or no greeting; nothing was received
  Failed,         // the session ended early; what was received stays in the spool
};

struct PopSessionResult {
  PopOutcome outcome = PopOutcome::Completed;
  int received = 0;  // messages handled (fetched, or set aside by a check)
  // The account's RETR for later sessions, when the session changed it.
  std::optional<int> new_retr;
  std::string error_text;  // the message shown, Shift_JIS
  // The spool could not be flushed to the disk: nothing was deleted on the
  // server, and the spool must be kept as it is rather than analysed.
  bool spool_not_on_disk = false;
  // The server refused the user or password (USER/PASS or APOP).
  bool password_refused = false;
  // The refusal says the provider takes no passwords: an OAuth 2.0 sign-in is the way in.
  bool passwords_off = false;
  // The server refused the OAuth 2.0 token (or there was none): a fresh
  // token, or a new sign-in, is needed.
  bool token_refused = false;
};

// The classic state numbers are the values; the states from 100 on
// extend the dialogue (connection, STLS, deleting everything).
enum class PopState : int {
  SendUser = 0,
  UserReply = 1,
  PassReply = 2,
  StatReply = 3,
  DeleReply = 4,
  RetrData = 5,
  TrimDeleReply = 7,
  Quit = 8,
  QuitReply = 9,
  NextMessage = 10,
  NothingNew = 11,
  MessageIdTop = 12,
  SendRetr = 15,
  SendApop = 16,
  IframeTop = 17,
  UidlPassReply = 18,
  UidlList = 19,
  ConfirmTop = 20,
  Idle = 100,
  Connecting = 101,
  Greeting = 102,
  StlsReply = 103,
  TlsHandshake = 104,
  DeleteAllStat = 105,
  DeleteAllDele = 106,
  Done = 107,
  KnownDeleReply = 108,  // DELE of mail received before
  RsetReply = 109,
  ConfirmAnswerWait = 110,  // the user decides about a mail; the idle timer is paused
  CapaReply = 111,          // CAPA before an OAuth 2.0 login
  AuthContinue = 112,       // "+" after an AUTH whose response follows on its own line
  AuthReply = 113,          // the answer to the token
  AuthFailureEnd = 114,     // the answer to the acknowledgement of a refusal challenge
};

class CPopSession final : public TransportEvents {
 public:
  // Called exactly once when the session ends, from inside a transport
  // event, the Start call itself, Cancel, or a late answer's handler. Do
  // not destroy the session inside it.
  using Finished = std::function<void(const PopSessionResult&)>;

  // With confirm_each, every mail is put to ui.ConfirmMail before it is
  // fetched. The session waits for the answer in its state with the idle
  // timer paused; an answer that comes after the session ended (timeout,
  // closed connection, cancel, destruction) is ignored.
  CPopSession(Transport& transport, UserInterface& ui, Finished finished);
  ~CPopSession() override;
  CPopSession(const CPopSession&) = delete;
  CPopSession& operator=(const CPopSession&) = delete;

  // Connects and fetches the new mail into settings.spool_path.
  void StartReceive(const PopSessionSettings& settings);
  // Connects and deletes every message on the server.
  void StartDeleteAll(const PopSessionSettings& settings);
  // Connects, logs in and quits at once: a check of the account's server,
  // TLS and password that touches no mail, spool or list file.
  void StartLoginCheck(const PopSessionSettings& settings);

  // Ends the session at once without a message (the user's cancel). No
  // QUIT is sent, so the server keeps every message it was told to delete.
  void Cancel();

  [[nodiscard]] PopState State() const { return state_; }
  [[nodiscard]] bool Running() const { return state_ != PopState::Idle && state_ != PopState::Done; }

  void OnConnected() override;
  void OnReceived(std::string_view bytes) override;
  void OnTlsStarted() override;
  void OnDisconnected(std::string_view reason) override;

 private:
  enum class Mode { Receive, DeleteAll, LoginCheck };

  void Start(const PopSessionSettings& settings, Mode mode);
  // The one place that answers a complete reply with the next step.
  void HandleReply();

  void BeginLogin();
  void BeginOAuthLogin();
  void SendOAuth();
  // Answers a reply to the token: logged in, a refusal challenge, or a refusal.
  void HandleOAuthReply(const std::string& reply, bool ok);
  // The steps after a successful login.
  void AfterLogin();
  void ChooseNext();
  void AskAboutMail(const MailSummary& mail);
  void OnMailAnswered(ConfirmAnswer answer);
  void SendRetr();
  void AfterMessage(bool delete_it);
  void TrimStep();
  void DeleteKnownStep();
  void DeleteAllStep();
  void Quit();
  void SendQuit();
  // Flushes and closes the spool and brings the received list up to date,
  // once per session. False when the spool is not safely on the disk.
  [[nodiscard]] bool SecureSpool();
  // Shows a failure that does not stop the dialogue; the first one is the result's.
  void Report(std::string_view text);

  [[nodiscard]] bool SendCommand(std::string_view line);
  // Sends a line that carries a credential; the log shows `logged` instead.
  [[nodiscard]] bool SendSecret(std::string_view line, std::string_view logged);
  void ExpectStatus(PopState next);
  void ExpectTop(PopState next);
  [[nodiscard]] int MessageAt(int index) const;
  void SetStatus(std::string_view text);
  void ShowProgressPosition();
  // Shows `text`, marks the session failed and ends it at once.
  void Fail(std::string_view text, PopOutcome outcome = PopOutcome::Failed);
  // Shows `text`, marks the session failed and ends it politely with QUIT.
  void FailAndQuit(std::string_view text);
  void End();

  Transport& transport_;
  UserInterface& ui_;
  Finished finished_;
  QuestionGuard questions_;  // lets only a timely answer reach the session
  bool finished_reported_ = false;

  PopSessionSettings settings_;
  Mode mode_ = Mode::Receive;
  PopState state_ = PopState::Idle;
  PopReplyReader reader_;
  std::unique_ptr<Progress> progress_;
  ReceiveLog log_;
  PopSpool spool_;
  PopSessionResult result_;

  bool keep_on_server_ = true;
  std::string apop_stamp_;
  std::string capa_response_;
  OAuthMechanism mechanism_ = OAuthMechanism::XOAuth2;
  std::string oauth_status_;  // the status of a refusal challenge
  std::string top_response_;  // bounded copy of the last TOP response
  std::string uidl_response_;
  std::vector<std::string> new_uids_;
  std::vector<int> fetch_list_;  // UIDL mode: element 0 unused
  std::vector<int> known_list_;  // delete mode: messages received before
  std::size_t known_deleted_ = 0;
  FetchedUidJournal journal_;
  bool uidl_mode_ = false;
  bool replace_received_list_ = false;
  bool spool_secured_ = false;
  bool spool_safe_ = true;
  int message_count_ = 0;
  std::uint64_t total_size_ = 0;
  std::uint64_t bytes_received_ = 0;
  int progress_unit_ = 1;
  int fetch_count_ = 0;
  int current_ = 1;
  int deleted_ = 0;
};

}  // namespace lp
