#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/spool_analyser.h"
#include "config/account_table.h"
#include "config/patrol_state.h"
#include "config/profile.h"
#include "net/oauth_logins.h"
#include "net/pop_session.h"
#include "net/receive_pipeline.h"
#include "platform/transport.h"
#include "platform/command_observer.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

// The main frame's receiving without its windows: the run state (receiving,
// patrol, the send that waits for a receive, the counts), the receive box,
// and the commands receive, patrol, LAN receive, analyse again and delete
// all mail on the server. It is driven by the transport's events: a command
// starts a POP3 session and returns; the session's end runs the pipeline and
// the next step. The desktop application adds windows around it; the
// command line runs the event loop until Idle().

namespace lp {

// Main-frame commands the receive hands on.
inline constexpr int kCommandSend = 32786;

// How the last receive (or delete-all) run went.
enum class ReceiveStatus {
  Ok,
  ConnectFailed,   // no connection or no greeting
  SessionFailed,   // login refused or the session broke off; what arrived was analysed
  AnalysisFailed,  // a spool did not analyse, or the box could not be saved
  Declined,        // delete-all: the user said no
  Ignored,         // another run was going on
};

class MailController final : private MessageIdObserver {
 public:
  using TransportFactory = std::function<std::unique_ptr<Transport>()>;
  // The send step of a patrol (the send box run). It is called when
  // a patrol begins, and calls ContinuePatrolReceive() when its send is done.
  using PatrolSendStep = std::function<void(MailController&)>;

  struct Dependencies {
    Profile& profile;
    CSetMenuArray& accounts;
    OpenBoxRegistry& registry;
    // Also asked about each mail of an account that confirms every mail
    // (ConfirmMail); the run goes on whenever the answer comes.
    UserInterface& ui;
    CommandObserver& commands;
    std::string working_directory;  // the data directory, Shift_JIS
    TransportFactory transports;
    // The tokens of OAuth 2.0 accounts; null: such an account cannot log in.
    OAuthLogins* oauth = nullptr;
  };

  explicit MailController(Dependencies dependencies);
  ~MailController() override;
  MailController(const MailController&) = delete;
  MailController& operator=(const MailController&) = delete;

  // Takes the receive box ("System"/"DefaultFile") from the registry and
  // holds it while the controller lives. False with a message when its
  // index does not load. The runs below open it when it is not yet open.
  [[nodiscard]] bool OpenReceiveBox();
  // Only after a successful OpenReceiveBox.
  [[nodiscard]] CLPOSTDoc& ReceiveBox() { return *box_; }

  void SetViewObserver(ReceiveViewObserver* observer) { view_ = observer; }
  // Runs the analysis of received spools: `work` may run on another thread
  // (it touches only files and the thread-safe settings); `done` must then
  // be called on this controller's thread. Without a runner the analysis
  // runs on the calling thread. The receive box stays usable meanwhile,
  // its text file reserved for the analysis.
  using AnalysisRunner = std::function<void(std::function<void()> work, std::function<void()> done)>;
  void SetAnalysisRunner(AnalysisRunner runner) { analysis_runner_ = std::move(runner); }
  void SetPatrolSendStep(PatrolSendStep step) { patrol_send_ = std::move(step); }

  // Receive (32785) for the current account, or for `account`, which is
  // current during the receive only. False when it did not start.
  bool Receive(std::optional<std::size_t> account = std::nullopt);
  // Patrol (32939): every account with Round set in turn.
  bool Patrol();
  // Called by the patrol's send step when its send is done.
  void ContinuePatrolReceive();
  // LAN mail only (32869): the pipeline without a POP3 session.
  bool LanReceive();
  // Delete all mail on the server (32899), after asking.
  bool DeleteAllOnServer();
  // Analyse again (32774). Returns the number of mails added.
  int AnalyseAgain();
  // Cancel (32888): the running session ends at once without QUIT; what
  // reached the spool is analysed as after any session.
  void Cancel();

  // No session, receive or patrol is running.
  [[nodiscard]] bool Idle() const;
  [[nodiscard]] ReceiveStatus LastStatus() const { return status_; }

  // Run state.
  [[nodiscard]] const PatrolState& PatrolRunState() const { return patrol_; }
  [[nodiscard]] bool Receiving() const { return receiving_; }
  [[nodiscard]] bool SendAfterReceive() const { return send_after_receive_; }
  // Set by the send command when its account receives first.
  void SetSendAfterReceive(bool value) { send_after_receive_ = value; }
  [[nodiscard]] int NewCount() const { return new_count_; }
  [[nodiscard]] int CreatedCount() const { return created_count_; }

  // The session settings of an account, from the account and the profile.
  [[nodiscard]] static PopSessionSettings SessionSettings(const CSetMenuArray& accounts, std::size_t index,
                                                          const Profile& profile);

 private:
  struct Connection {
    std::unique_ptr<Transport> transport;
    std::unique_ptr<CPopSession> session;  // destroyed before its transport
  };

  void OnMessageIdAnalysed(std::string_view sjis_message_id) override;

  bool StartReceiveOfCurrent();
  void OnReceiveFinished(const PopSessionResult& result);
  void OnDeleteAllFinished(const PopSessionResult& result);
  // Stages from the hang-up to the list refresh.
  // `keep_pop_spool`: the session could not flush the spool to the disk.
  void RunPipeline(bool from_pop, bool keep_pop_spool = false);
  // The stages after the analysis, on this thread.
  void FinishPipeline(const ReceivePipelineResult& result, std::size_t account_index);
  // Brings every account's list of received uids up to date with what a
  // session that died noted, before the spool is analysed and goes.
  void SettleFetchedJournals();
  enum class ReceiveChainEnd {
    Ended,        // the new-mail messages were shown
    NextAccount,  // a patrol's next receive has started
    SendFollows,  // a receive-first send-and-receive goes on with its send
  };
  // The Round stage: the next account of a patrol, the waiting send, or the
  // new-mail messages.
  ReceiveChainEnd EndReceiveChain(int new_count, int created_count);
  void ShowStatus(std::string_view text);
  [[nodiscard]] bool StartSession(bool delete_all);
  // Starts the session with its settings complete (credentials included).
  void LaunchSession(const PopSessionSettings& settings, bool delete_all);
  void SessionFinished(const PopSessionResult& result, bool delete_all);
  void RetireConnection();
  void CollectRetired();
  void WriteAccountState(std::size_t index);
  void RestoreAccount();

  [[nodiscard]] bool HasReceiveBox();

  Dependencies deps_;
  BoxHandle box_;
  PatrolState patrol_;
  ReceiveViewObserver* view_ = nullptr;
  PatrolSendStep patrol_send_;
  AnalysisRunner analysis_runner_;

  Connection connection_;
  std::vector<Connection> retired_;
  int callback_depth_ = 0;
  bool shutting_down_ = false;  // a session ending now runs nothing more
  // False once the controller is gone: a token that arrives late finds nobody.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  bool receiving_ = false;
  bool deleting_all_ = false;
  bool send_after_receive_ = false;
  int new_count_ = 0;
  int created_count_ = 0;
  ReceiveStatus status_ = ReceiveStatus::Ok;
  std::optional<std::size_t> restore_index_;
  std::optional<std::string> analysed_message_id_;
};

}  // namespace lp
