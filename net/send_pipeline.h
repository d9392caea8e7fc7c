#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/account.h"
#include "config/profile.h"
#include "config/signatures.h"
#include "net/oauth_logins.h"
#include "net/address_field.h"
#include "net/outgoing_message.h"
#include "net/sent_journal.h"
#include "net/smtp_session.h"
#include "platform/transport.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

// A send run over one box: every unsent mail (status 3) of the box, taken
// once at the start in box order, is prepared (signature, the account's
// automatic Bcc), built into its message and delivered: by SMTP through one
// session that takes the mails one by one, and to LAN directories by the
// build itself. A mail becomes sent (status 4) only once the server has
// accepted its message (or, LAN only, once it was written). With
// "SmailDone" on, the end of an SMTP run moves the mails that were sent,
// and only those, into the sent box. Each delivered mail keeps the
// Message-ID it went out with, so that replies to it find their thread.
//
// Every delivery is written at once to the box's sent journal
// (sent_journal.h), and a run first applies a journal that an earlier run
// left behind, so that a run cut off before its end never sends a mail
// twice. A LAN copy that cannot be written makes the run fail with the
// destination named (see docs/sending.md for what becomes of the mail).
//
// The run is driven by the transport's events: Start returns at once and
// the end of the run arrives through SendRunObserver::OnSendRunEnded. A
// send-and-receive run or a patrol continues from there: the patrol's send
// step (MailController::SetPatrolSendStep) starts a run with
// `in_send_and_receive` set and calls ContinuePatrolReceive() when it ends.

namespace lp {

enum class SendRunStatus {
  Sent,           // every mail of the run went out
  NothingToSend,  // the box held no unsent mail
  ConnectFailed,  // no SMTP connection; every mail stays unsent
  Failed,         // the run stopped early; the mails sent before stay sent
  Ignored,        // a run was already going on
};

struct SendRunResult {
  SendRunStatus status = SendRunStatus::Sent;
  int unsent_at_start = 0;  // mails of the run
  int sent = 0;             // mails marked sent by this run
  int moved = 0;            // mails moved to the sent box
  int recovered = 0;        // mails found delivered in an earlier run's journal
  bool lan_only = false;    // no mail of the run had a network recipient
};

// The main window's side of a run. Every function has an empty default.
class SendRunObserver {
 public:
  virtual ~SendRunObserver() = default;
  // The busy and sending marks of the main window.
  virtual void OnSendMarks(bool /*busy*/, bool /*sending*/) {}
  virtual void OnStatusText(std::string_view /*sjis_text*/) {}
  // The account's AutoCon and AutoDis: connect before, hang up after.
  virtual void OnConnectRequested() {}
  virtual void OnDisconnectRequested() {}
  // The last-receive and last-send times for the status bar ("R mm/dd
  // hh:mm", "S mm/dd hh:mm"; empty when never).
  virtual void OnLastTimes(std::string_view /*receive_text*/, std::string_view /*send_text*/) {}
  // The run is over and its notices were shown; a send-and-receive run or
  // a patrol continues here. Do not destroy the pipeline inside it.
  virtual void OnSendRunEnded(const SendRunResult& /*result*/) {}
};

class SendPipeline final : private SmtpMailQueue {
 public:
  using TransportFactory = std::function<std::unique_ptr<Transport>()>;

  struct Dependencies {
    Profile& profile;
    UserInterface& ui;
    OpenBoxRegistry& registry;
    CLPOSTDoc& box;          // the box whose unsent mail goes out (open)
    TransportFactory transports;
    AddressListLookup address_lists;  // may be empty: no address book
    SendRunObserver* observer = nullptr;
    // The time written to [Time] Send and used for date macros; empty: now.
    std::function<std::time_t()> clock;
    // A new multipart boundary; empty: a random one.
    std::function<std::string()> new_boundary;
    // A new Message-ID for a mail from an address; empty: a random one.
    std::function<std::string(std::string_view address)> new_message_id = {};
    // Where the message of the mail in progress is built.
    std::string work_file = kSmtpWorkFile;
    std::string log_path = "smail.log";
    // The tokens of OAuth 2.0 accounts; null: such an account cannot log in.
    OAuthLogins* oauth = nullptr;
  };

  explicit SendPipeline(Dependencies dependencies);
  ~SendPipeline() override;
  SendPipeline(const SendPipeline&) = delete;
  SendPipeline& operator=(const SendPipeline&) = delete;

  // One run over the box with `account` (copied). Inside a send-and-receive
  // run the notices are left to the run and the busy mark stays. Returns
  // false when the run ended at once (nothing to send, no connection, a
  // LAN-only run that is already complete, a run already going on); the
  // result is then in LastResult() and OnSendRunEnded has been called
  // (not for a run that was ignored because another one is going on).
  bool Start(const CSetMenu& account, bool in_send_and_receive = false);
  // Ends the SMTP session at once, without an error message; the end of
  // the run follows.
  void Cancel();

  [[nodiscard]] bool Running() const { return running_; }
  [[nodiscard]] const SendRunResult& LastResult() const { return result_; }

  // The session settings of an account.
  [[nodiscard]] static SmtpSessionSettings SessionSettings(const CSetMenu& account);

 private:
  // A mail of the run, known by its record's serial: the box is shared, and
  // while the run goes on other users may sort, compact or delete in it, or
  // have it reloaded, none of which changes a remaining record's serial.
  using RunMail = std::uint64_t;

  // The mail handed to the session last, with what its delivery records.
  struct MailInProgress {
    RunMail mail;
    std::string fingerprint;  // of the record as the box file holds it
    std::string message_id;
  };

  struct Connection {
    std::unique_ptr<Transport> transport;
    std::unique_ptr<SmtpSession> session;  // destroyed before its transport
  };

  SmtpNextMail TakeNext(SmtpMail& mail) override;
  void Delivered() override;

  // Fills the message of one mail: its fields, its text with the signature
  // and the recipient entries.
  void Prepare(const CMail& record, std::string text, OutgoingMessage& message);
  // Splits the three fields; true when some entry is a network address.
  bool SplitRecipients(const CMail& record, OutgoingMessage& message) const;
  [[nodiscard]] std::string BccField(const CMail& record) const;
  // The mail's index in the box now, or -1 when it left the box.
  [[nodiscard]] int IndexOf(RunMail mail) const { return deps_.box.IndexOfSerial(mail); }
  // The fingerprint of an unsent mail for the journal; nullopt (the error
  // shown) when its text cannot be read.
  [[nodiscard]] std::optional<std::string> FingerprintOf(const CMail& record);
  [[nodiscard]] std::time_t Now() const;

  // Marks the mails an earlier, cut-off run delivered and saves the box;
  // false (the error shown) when the box could not be saved.
  bool ApplySentJournal();
  // Saves the box, and drops the journal once the marks are on the disk.
  void SaveBoxAndJournal();
  // Sent as long as nothing went wrong that the run itself noticed.
  [[nodiscard]] SendRunStatus Checked(SendRunStatus status) const;
  void RunLanOnly();
  void OnSessionFinished(const SmtpSessionResult& session_result);
  void EndSmtpRun(SendRunStatus status);
  void EndLanRun(SendRunStatus status);
  // "メールの送信が終わりました" after a run that sent everything.
  void ShowFinishedNotice(SendRunStatus status);
  void MoveSentMails();
  void SaveBox();
  void Finish(SendRunStatus status);
  void SetMarks(bool busy, bool sending);
  void ShowStatus(std::string_view text);

  Dependencies deps_;
  CSetMenu account_;
  CSigneMenuArray signatures_;
  bool in_send_and_receive_ = false;
  bool running_ = false;
  bool shutting_down_ = false;
  // False once the pipeline is gone: a token that arrives late finds nobody.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool cancelled_ = false;
  int callback_depth_ = 0;

  std::vector<RunMail> run_;  // the unsent mails, in box order
  std::size_t next_ = 0;
  std::optional<MailInProgress> current_;
  std::vector<RunMail> sent_;       // marked sent by this run
  std::unique_ptr<SentJournal> journal_;
  bool journal_failed_ = false;    // a delivery could not be journaled: no further mail goes
  bool lan_copy_failed_ = false;   // a LAN copy broke off
  std::unique_ptr<Progress> status_window_;
  Connection connection_;
  std::vector<Connection> retired_;  // sessions that ended inside their callback
  SendRunResult result_;
};

// "R mm/dd hh:mm" or "S mm/dd hh:mm" of a [Time] value (local time);
// empty when the key is absent or not a time.
[[nodiscard]] std::string FormatLastRunTime(const Profile& profile, std::string_view key, const char* format);

}  // namespace lp
