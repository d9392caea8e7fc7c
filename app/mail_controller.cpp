#include "app/mail_controller.h"

#include <ctime>
#include <memory>
#include <string>
#include <utility>

#include "config/app_settings.h"
#include "net/account_tls.h"
#include "net/analysed_spool_marker.h"
#include "net/fetched_uid_journal.h"
#include "net/receive_messages.h"
#include "platform/file_system.h"
#include "store/write_steps.h"

namespace lp {

namespace {

constexpr char kSectionSystem[] = "System";

}  // namespace

MailController::MailController(Dependencies dependencies)
    : deps_(std::move(dependencies)) {}

MailController::~MailController() {
  shutting_down_ = true;
  *alive_ = false;
  if (connection_.session) connection_.session->Cancel();
}

bool MailController::OpenReceiveBox() {
  const std::string path = deps_.profile.GetString(kSectionSystem, "DefaultFile", kDefaultInboxFile);
  (void)CreateEmptyFileIfMissing(path);
  AcquiredBox acquired = deps_.registry.Acquire(path);
  if (!acquired.box) {
    deps_.ui.ShowMessage(acquired.load.message);
    return false;
  }
  box_ = std::move(acquired.box);
  return true;
}

bool MailController::HasReceiveBox() { return box_ || OpenReceiveBox(); }

PopSessionSettings MailController::SessionSettings(const CSetMenuArray& accounts, std::size_t index,
                                                   const Profile& profile) {
  const CSetMenu& account = accounts.At(index);
  PopSessionSettings settings;
  settings.account_name = account.name;
  settings.host = account.pop;
  settings.port = account.pop_port;
  settings.tls = TransportTlsOf(account.pop_tls);
  settings.user = account.user_id;
  settings.password = account.pass;  // the table holds it unscrambled
  settings.use_apop = account.apop;
  settings.oauth = account.auth == AccountAuth::OAuth2;
  settings.keep_on_server = account.not_del;
  settings.confirm_each = account.mail_kakunin;
  settings.remembered_retr = account.retr;
  settings.remembered_message_id = account.message_id;
  settings.received_uid_list = accounts.ListFileName(index, UidList::Received);
  settings.new_uid_list = accounts.ListFileName(index, UidList::New);
  settings.iframe_check = profile.GetInt(kSectionSystem, "IframeDel", 0) != 0;
  settings.server_delete = profile.GetInt(kSectionSystem, "Serverdel", 0) != 0;
  settings.delete_keep = profile.GetInt(kSectionSystem, "DelNo", 100);
  settings.progress_by_count = profile.GetInt("View", "ProgressMode", 0) != 0;
  settings.spool_path = kReceiveSpool;
  settings.log_path = "rec.log";
  return settings;
}

bool MailController::Idle() const {
  return !receiving_ && !deleting_all_ && !patrol_.PatrolActive() &&
         !(connection_.session && connection_.session->Running());
}

void MailController::ShowStatus(std::string_view text) {
  if (view_ != nullptr) view_->OnStatusText(text);
}

void MailController::CollectRetired() {
  // A session may not be destroyed inside its own completion callback; the
  // ones that ended are dropped at the next command from outside.
  if (callback_depth_ == 0) retired_.clear();
}

void MailController::RetireConnection() {
  if (connection_.session || connection_.transport) retired_.push_back(std::move(connection_));
  connection_ = Connection{};
}

bool MailController::Receive(std::optional<std::size_t> account) {
  CollectRetired();
  if (receiving_ || deleting_all_ || patrol_.PatrolActive()) {
    status_ = ReceiveStatus::Ignored;
    return false;
  }
  if (!HasReceiveBox()) return false;
  if (account) {
    if (*account >= deps_.accounts.Count()) return false;
    restore_index_ = deps_.accounts.CurrentIndex();
    (void)deps_.accounts.SetCurrentIndex(*account);
  }
  return StartReceiveOfCurrent();
}

bool MailController::Patrol() {
  CollectRetired();
  if (receiving_ || deleting_all_) {
    status_ = ReceiveStatus::Ignored;
    return false;
  }
  if (!HasReceiveBox()) return false;
  if (patrol_.BeginPatrol(deps_.accounts, deps_.ui) != PatrolStart::Started) return false;
  status_ = ReceiveStatus::Ok;
  if (patrol_send_) {
    patrol_send_(*this);
    return true;
  }
  ContinuePatrolReceive();
  return true;
}

void MailController::ContinuePatrolReceive() {
  if (patrol_.PatrolActive()) (void)StartReceiveOfCurrent();
}

bool MailController::StartReceiveOfCurrent() {
  const CSetMenu& account = deps_.accounts.Current();
  receiving_ = true;
  if (!patrol_.PatrolActive()) status_ = ReceiveStatus::Ok;
  if (account.auto_con) (void)patrol_.Connect(account, deps_.ui);
  (void)deps_.profile.WriteString("Time", "Rec", std::to_string(static_cast<long long>(std::time(nullptr))));
  ShowStatus(receive_text::kConnectingPop);
  if (account.pop.empty()) {
    RunPipeline(false);
    return true;
  }
  // A spool a broken-off session left half-written must not swallow the
  // first message of this one, and what that session noted as fetched is
  // settled before this one appends; so is a spool whose mail a crash left
  // both in the box and in the spool.
  (void)SettleAnalysedSpool(kReceiveSpool, *box_);
  (void)TrimUnfinishedSpoolTail(kReceiveSpool);
  SettleFetchedJournals();
  return StartSession(false);
}

bool MailController::StartSession(bool delete_all) {
  RetireConnection();
  connection_.transport = deps_.transports ? deps_.transports() : nullptr;
  if (!connection_.transport) {
    deps_.ui.ShowMessage(receive_text::kCannotConnectPop);
    status_ = ReceiveStatus::ConnectFailed;
    receiving_ = false;
    deleting_all_ = false;
    return false;
  }
  const std::size_t index = deps_.accounts.CurrentIndex();
  PopSessionSettings settings = SessionSettings(deps_.accounts, index, deps_.profile);
  if (!settings.oauth || deps_.oauth == nullptr) {
    // Without a token source the session itself says that a sign-in is needed.
    LaunchSession(settings, delete_all);
    return true;
  }
  // The token may need a refresh first; the session starts when it is there.
  deps_.oauth->Prepare(deps_.accounts.At(index), [this, alive = std::weak_ptr<bool>(alive_), settings,
                                                  delete_all](OAuthLogin login) mutable {
    const std::shared_ptr<bool> still = alive.lock();
    if (!still || !*still || shutting_down_) return;
    if (!login.ok) {
      deps_.ui.ShowMessage(login.message);
      PopSessionResult result;
      result.outcome = PopOutcome::ConnectFailed;
      result.error_text = login.message;
      result.token_refused = login.sign_in_needed;
      SessionFinished(result, delete_all);
      return;
    }
    settings.user = std::move(login.user);
    settings.access_token = std::move(login.access_token);
    LaunchSession(settings, delete_all);
  });
  return true;
}

void MailController::LaunchSession(const PopSessionSettings& settings, bool delete_all) {
  connection_.session = std::make_unique<CPopSession>(
      *connection_.transport, deps_.ui, [this, delete_all](const PopSessionResult& result) {
        if (shutting_down_) return;
        SessionFinished(result, delete_all);
      });
  analysed_message_id_.reset();
  if (delete_all) {
    connection_.session->StartDeleteAll(settings);
  } else {
    connection_.session->StartReceive(settings);
  }
}

void MailController::SessionFinished(const PopSessionResult& result, bool delete_all) {
  // A refused token is not offered again; the next login refreshes it.
  if (result.token_refused && deps_.oauth != nullptr) deps_.oauth->Refused(deps_.accounts.Current());
  ++callback_depth_;
  if (delete_all) {
    OnDeleteAllFinished(result);
  } else {
    OnReceiveFinished(result);
  }
  --callback_depth_;
}

void MailController::OnReceiveFinished(const PopSessionResult& result) {
  const std::size_t index = deps_.accounts.CurrentIndex();
  if (result.new_retr) {
    deps_.accounts.At(index).retr = *result.new_retr;
    WriteAccountState(index);
  }
  if (result.outcome == PopOutcome::ConnectFailed) {
    deps_.ui.ShowMessage(receive_text::kCannotConnectPop);
    status_ = ReceiveStatus::ConnectFailed;
    receiving_ = false;
    // A patrol goes on with its next account rather than stay busy for ever.
    if (patrol_.PatrolActive()) {
      // A patrol's chain goes to its next account or ends; it never sends here.
      (void)EndReceiveChain(0, 0);
    } else {
      RestoreAccount();
    }
    return;
  }
  if (result.outcome == PopOutcome::Failed) status_ = ReceiveStatus::SessionFailed;
  RunPipeline(true, result.spool_not_on_disk);
}

void MailController::SettleFetchedJournals() {
  bool spool_synced = false;
  for (std::size_t i = 0; i < deps_.accounts.Count(); ++i) {
    const std::string list = deps_.accounts.ListFileName(i, UidList::Received);
    const std::string journal = FetchedJournalPathFor(list);
    if (!PathExists(journal)) continue;
    if (!spool_synced) spool_synced = SyncFileToDisk(kReceiveSpool) || !PathExists(kReceiveSpool);
    if (spool_synced) (void)SettleFetchedJournal(journal, list, kReceiveSpool);
  }
}

void MailController::OnMessageIdAnalysed(std::string_view sjis_message_id) {
  analysed_message_id_ = std::string(sjis_message_id);
}

void MailController::WriteAccountState(std::size_t index) {
  const CSetMenu& account = deps_.accounts.At(index);
  const std::string section = AccountSectionName(index);
  const std::string retr = std::to_string(account.retr);
  const ProfileEntry entries[] = {{section, "MessageID", account.message_id}, {section, "RETR", retr}};
  if (!deps_.profile.WriteStrings(entries)) deps_.ui.ShowMessage(deps_.profile.LastError());
}

void MailController::RestoreAccount() {
  if (restore_index_) (void)deps_.accounts.SetCurrentIndex(*restore_index_);
  restore_index_.reset();
}

void MailController::RunPipeline(bool from_pop, bool keep_pop_spool) {
  const std::size_t index = deps_.accounts.CurrentIndex();
  const CSetMenu& account = deps_.accounts.Current();

  // Start: the hang-up after receiving.
  if (patrol_.HangsUpAfterReceive(deps_.accounts, send_after_receive_)) patrol_.Disconnect();

  auto input = std::make_shared<ReceivePipelineInput>();
  input->sender_text = SenderText(account);
  for (std::size_t i = 0; i < deps_.accounts.Count(); ++i) input->account_addresses.push_back(deps_.accounts.At(i).adr);
  input->working_directory = deps_.working_directory;
  input->message_ids = from_pop ? this : nullptr;
  input->keep_pop_spool = keep_pop_spool;
  analysed_message_id_.reset();
  if (!keep_pop_spool) {
    // A message the session did not finish is still on the server; analysed
    // half, it would come in twice, once cut off.
    if (from_pop) (void)TrimUnfinishedSpoolTail(kReceiveSpool);
    SettleFetchedJournals();
  }

  auto pipeline = std::make_shared<ReceivePipeline>(*box_, deps_.registry, deps_.ui);
  auto staged = std::make_shared<StagedReceive>(pipeline->PlanAnalysis(*input));
  auto work = [staged, &profile = deps_.profile, &ui = deps_.ui, &commands = deps_.commands] {
    AnalyseStagedReceive(*staged, profile, ui, commands, nullptr);
  };
  if (!analysis_runner_ || staged->spools.empty()) {
    work();
    StagedCommit commit = TakeStagedRecords(*box_, *staged, false);
    FinishPipeline(pipeline->Complete(*input, *staged, commit), index);
    return;
  }
  box_->ReserveTextFile();
  ShowStatus(receive_text::kAnalysing);
  analysis_runner_(std::move(work), [this, input, pipeline, staged, index] {
    box_->ReleaseTextFile();
    // The index of a large box takes a while to reach the disk: it is
    // written beside the event loop too, and the spools go only after it.
    auto commit = std::make_shared<StagedCommit>(TakeStagedRecords(*box_, *staged, true));
    auto write = [commit] {
      if (commit->snapshot) commit->written = WriteIndexSnapshot(*commit->snapshot);
      if (commit->snapshot) commit->snapshot->bytes = std::string();
    };
    analysis_runner_(std::move(write), [this, input, pipeline, staged, commit, index] {
      FinishPipeline(pipeline->Complete(*input, *staged, *commit), index);
    });
  });
}

void MailController::FinishPipeline(const ReceivePipelineResult& result, std::size_t account_index) {
  if (analysed_message_id_) {
    deps_.accounts.At(account_index).message_id = *analysed_message_id_;
    WriteAccountState(account_index);
  }
  if (result.analysis_failed || result.save_failed) status_ = ReceiveStatus::AnalysisFailed;

  // Save: the receive itself is over.
  receiving_ = false;
  if (!deps_.accounts.Current().pop_before) send_after_receive_ = false;

  const ReceiveChainEnd end = EndReceiveChain(result.new_count, result.created_count);
  if (end == ReceiveChainEnd::NextAccount) return;
  // The list shows the new mail also while the send of a receive-first
  // send-and-receive goes on.
  box_->UpdateUnreadMark();
  const int caret = CaretAfterReceive(*box_, deps_.profile, result.first_new);
  if (caret >= 0) box_->set_current_index(caret);
  if (view_ != nullptr) view_->OnMailListSet(*box_, caret);
  ShowStatus(receive_text::kReady);
  if (end == ReceiveChainEnd::SendFollows) deps_.commands.OnCommand(kCommandSend);
}

MailController::ReceiveChainEnd MailController::EndReceiveChain(int new_count, int created_count) {
  receiving_ = false;
  const bool pop_before = deps_.accounts.Current().pop_before;
  switch (patrol_.FinishReceive(deps_.accounts, new_count, created_count)) {
    case ReceiveEnd::NextTarget:
      if (patrol_.AdvancePatrol(deps_.accounts)) {
        (void)StartReceiveOfCurrent();
        return ReceiveChainEnd::NextAccount;
      }
      // The table changed under the patrol: it has ended.
      send_after_receive_ = false;
      break;
    case ReceiveEnd::PatrolEnded:
      send_after_receive_ = false;
      break;
    case ReceiveEnd::Single:
      RestoreAccount();
      if (send_after_receive_ && pop_before) {
        // The send that follows shows the arrival messages with these counts.
        new_count_ = patrol_.ReceivedCount();
        created_count_ = patrol_.CreatedCount();
        return ReceiveChainEnd::SendFollows;
      }
      break;
  }
  new_count_ = patrol_.ReceivedCount();
  created_count_ = patrol_.CreatedCount();
  ShowArrivalMessages(deps_.ui, deps_.profile, new_count_, created_count_);
  return ReceiveChainEnd::Ended;
}

bool MailController::LanReceive() {
  CollectRetired();
  if (receiving_ || deleting_all_ || patrol_.PatrolActive()) {
    status_ = ReceiveStatus::Ignored;
    return false;
  }
  if (!HasReceiveBox()) return false;
  status_ = ReceiveStatus::Ok;
  receiving_ = true;
  RunPipeline(false);
  return true;
}

bool MailController::DeleteAllOnServer() {
  CollectRetired();
  if (receiving_ || deleting_all_ || patrol_.PatrolActive()) {
    status_ = ReceiveStatus::Ignored;
    return false;
  }
  if (deps_.ui.Ask(receive_text::kAskDeleteAll, MessageButtons::YesNo) != Answer::Yes) {
    status_ = ReceiveStatus::Declined;
    return false;
  }
  status_ = ReceiveStatus::Ok;
  const CSetMenu& account = deps_.accounts.Current();
  if (account.auto_con) (void)patrol_.Connect(account, deps_.ui);
  ShowStatus(receive_text::kConnectingPop);
  deleting_all_ = true;
  return StartSession(true);
}

void MailController::OnDeleteAllFinished(const PopSessionResult& result) {
  deleting_all_ = false;
  ShowStatus(receive_text::kReady);
  switch (result.outcome) {
    case PopOutcome::ConnectFailed:
      deps_.ui.ShowMessage(receive_text::kCannotConnectPop);
      status_ = ReceiveStatus::ConnectFailed;
      return;
    case PopOutcome::Failed:
      // The session showed why; the server may still hold mail.
      status_ = ReceiveStatus::SessionFailed;
      return;
    case PopOutcome::Completed:
      deps_.ui.Report(receive_text::kDeleteAllFinished);
      return;
  }
}

void MailController::Cancel() {
  if (connection_.session) connection_.session->Cancel();
}

int MailController::AnalyseAgain() {
  if (!HasReceiveBox()) return 0;
  SettleFetchedJournals();
  ReceivePipeline pipeline(*box_, deps_.registry, deps_.ui);
  analysed_message_id_.reset();
  const int count = pipeline.AnalyseAgain(this);
  if (analysed_message_id_) {
    deps_.accounts.Current().message_id = *analysed_message_id_;
    WriteAccountState(deps_.accounts.CurrentIndex());
  }
  box_->SetModified();
  if (view_ != nullptr) view_->OnMailListSet(*box_, -1);
  return count;
}

}  // namespace lp
