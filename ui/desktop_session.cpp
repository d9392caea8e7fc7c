#include "ui/desktop_session.h"

#include "app/command_ids.h"
#include "net/address_list_expansion.h"
#include "platform/sjis_path.h"

namespace lp {

DesktopSession::DesktopSession(ApplicationCore& app, UserInterface& ui, TransportFactory transports)
    : app_(app), ui_(ui), transports_(std::move(transports)), registry_(app.profile(), ui, *this) {
  save_timer_.setSingleShot(true);
  save_timer_.setInterval(kSaveDelay);
  QObject::connect(&save_timer_, &QTimer::timeout, [this] { SaveChangedBoxes(); });
}

DesktopSession::~DesktopSession() {
  // Work on a worker thread ends first; what was to follow it is dropped
  // (a spool whose analysis did not reach the box is analysed again).
  jobs_.reset();
  // Runs end before the documents they write go.
  send_run_.reset();
  patrol_send_.reset();
  controller_.reset();
  send_and_receive_.reset();
}

bool DesktopSession::Start() {
  accounts_.Load(profile());
  key_file_path_ = LoadKeyTableAtStart(profile(), keys_);
  (void)book_.Load(profile(), ui_);

  oauth_ = std::make_unique<AccountOAuth>(*token_http_);
  const SendBoxRun::Dependencies run_dependencies{profile(), ui_, registry_, *this, accounts_,
                                                   app_.settings().send_file, transports_,
                                                   MakeAddressListLookup(book_, ui_), &oauth_->logins()};
  send_and_receive_ = std::make_unique<lp::SendAndReceive>(run_dependencies);
  controller_ = std::make_unique<MailController>(MailController::Dependencies{
      profile(), accounts_, registry_, ui_, *send_and_receive_, app_.data_directory(), transports_,
      &oauth_->logins()});
  send_and_receive_->Attach(*controller_);
  patrol_send_ = std::make_unique<PatrolSendStep>(run_dependencies);
  patrol_send_->Attach(*controller_);
  controller_->SetViewObserver(this);
  controller_->SetAnalysisRunner([this](std::function<void()> work, std::function<void()> done) {
    jobs_->Run(std::move(work), [this, done = std::move(done)] {
      done();
      NotifyRunState();
    });
  });
  return controller_->OpenReceiveBox();
}

void DesktopSession::Exit() {
  save_timer_.stop();
  RememberKeyFile(profile(), key_file_path_);
  (void)registry_.SaveAllOpenBoxesShowingFailures();
}

std::string DesktopSession::AbsoluteBoxPath(std::string_view sjis_path) const {
  // The data directory is the working directory.
  return AbsolutePath(sjis_path);
}

BoxHandle DesktopSession::AcquireBox(std::string_view sjis_path) {
  AcquiredBox acquired = registry_.Acquire(AbsoluteBoxPath(sjis_path));
  if (!acquired.box) ui_.ShowMessage(acquired.load.message);
  return std::move(acquired.box);
}

bool DesktopSession::Receive() {
  const bool started = controller_->Receive();
  NotifyRunState();
  return started;
}

bool DesktopSession::Patrol() {
  const bool started = controller_->Patrol();
  NotifyRunState();
  return started;
}

bool DesktopSession::LanReceive() {
  const bool started = controller_->LanReceive();
  NotifyRunState();
  return started;
}

bool DesktopSession::DeleteAllOnServer() {
  const bool started = controller_->DeleteAllOnServer();
  NotifyRunState();
  return started;
}

int DesktopSession::AnalyseAgain() { return controller_->AnalyseAgain(); }

bool DesktopSession::SendAndReceive() {
  const bool started = send_and_receive_->Start();
  NotifyRunState();
  return started;
}

bool DesktopSession::Send() { return SendFrom(app_.settings().send_file); }

bool DesktopSession::SendFrom(const std::string& box_path) {
  if (Busy() || accounts_.Count() == 0) return false;
  send_run_.reset();  // the last run's pipeline lets go of its box first
  send_box_ = AcquireBox(box_path);
  if (!send_box_) return false;
  send_run_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
      profile(), ui_, registry_, *send_box_, transports_, MakeAddressListLookup(book_, ui_), this, {}, {}, {},
      kSmtpWorkFile, "smail.log", oauth_ ? &oauth_->logins() : nullptr});
  send_busy_ = true;
  const bool started = send_run_->Start(accounts_.Current());
  NotifyRunState();
  return started;
}

void DesktopSession::Cancel() {
  controller_->Cancel();
  if (send_run_ && send_run_->Running()) send_run_->Cancel();
}

bool DesktopSession::Busy() const {
  if (!controller_) return false;  // not started
  return !controller_->Idle() || send_and_receive_->Running() || send_busy_ || box_work_running_;
}

void DesktopSession::SetBoxWorkRunning(bool running) {
  box_work_running_ = running;
  NotifyRunState();
}

void DesktopSession::OnCommand(int command_id) {
  if (command_id == kCommandRefreshUnreadMarks) save_timer_.start();
  if (hooks_.command) hooks_.command(command_id);
}

void DesktopSession::SaveChangedBoxes(std::function<void()> written) {
  save_timer_.stop();
  const std::vector<CLPOSTDoc*> boxes = registry_.UnsavedBoxes();
  auto remaining = std::make_shared<std::size_t>(boxes.size());
  auto all_written = std::make_shared<std::function<void()>>(std::move(written));
  if (boxes.empty() && *all_written) (*all_written)();
  for (CLPOSTDoc* box : boxes) {
    auto snapshot = std::make_shared<CLPOSTDoc::IndexSnapshot>(box->SnapshotIndex());
    auto result = std::make_shared<IndexFileResult>();
    jobs_->Run(
        [snapshot, result] {
          *result = WriteIndexSnapshot(*snapshot);
          snapshot->bytes = std::string();
        },
        [this, snapshot, result, remaining, all_written] {
          // The box may have closed meanwhile (and was saved then); a
          // failed write leaves it unsaved for the next save.
          if (CLPOSTDoc* box_now = registry_.Find(snapshot->path); box_now != nullptr && result->ok) {
            box_now->NoteSnapshotWritten(*snapshot);
          }
          if (--*remaining == 0 && *all_written) (*all_written)();
        });
  }
}

void DesktopSession::OnSendMarks(bool, bool) { NotifyRunState(); }

void DesktopSession::OnSendRunEnded(const SendRunResult&) {
  // The pipeline may not be destroyed inside its own notice.
  send_busy_ = false;
  // The box stays held until the next run replaces the pipeline: the
  // pipeline still points at it while it returns from this notice.
  NotifyRunState();
}

void DesktopSession::OnStatusText(std::string_view sjis_text) {
  if (hooks_.status_text) hooks_.status_text(sjis_text);
}

void DesktopSession::OnMailListSet(CLPOSTDoc& box, int caret) {
  if (hooks_.list_set) hooks_.list_set(box, caret);
  NotifyRunState();
}

void DesktopSession::NotifyRunState() {
  if (hooks_.run_state_changed) hooks_.run_state_changed();
}

}  // namespace lp
