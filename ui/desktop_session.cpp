#include "ui/desktop_session.h"

#include "app/command_ids.h"
#include "net/address_list_expansion.h"
#include "platform/sjis_path.h"

namespace lp {

DesktopSession::DesktopSession(ApplicationCore& app, UserInterface& ui, TransportFactory transports)
    : app_(app), ui_(ui), transports_(std::move(transports)) {}

DesktopSession::~DesktopSession() {
  // Runs end before the documents they write go.
  send_run_.reset();
  patrol_send_.reset();
  controller_.reset();
  send_and_receive_.reset();
  for (auto& [path, box] : boxes_) {
    if (box.owned) registry_.Unregister(*box.owned);
  }
}

bool DesktopSession::Start() {
  accounts_.Load(profile());
  key_file_path_ = LoadKeyTableAtStart(profile(), keys_);
  (void)book_.Load(profile(), ui_);

  const SendBoxRun::Dependencies run_dependencies{profile(), ui_, registry_, *this, accounts_,
                                                   app_.settings().send_file, transports_,
                                                   MakeAddressListLookup(book_, ui_)};
  send_and_receive_ = std::make_unique<lp::SendAndReceive>(run_dependencies);
  controller_ = std::make_unique<MailController>(MailController::Dependencies{
      profile(), accounts_, registry_, ui_, *send_and_receive_, app_.data_directory(), transports_});
  send_and_receive_->Attach(*controller_);
  patrol_send_ = std::make_unique<PatrolSendStep>(run_dependencies);
  patrol_send_->Attach(*controller_);
  controller_->SetViewObserver(this);
  if (!controller_->OpenReceiveBox()) return false;
  CLPOSTDoc& inbox = controller_->ReceiveBox();
  boxes_[inbox.PathName()] = OpenBox{nullptr, &inbox, 0};
  return true;
}

void DesktopSession::Exit() {
  RememberKeyFile(profile(), key_file_path_);
  for (auto& [path, box] : boxes_) {
    if (box.doc->IsModified()) (void)box.doc->Save();
  }
}

std::string DesktopSession::AbsoluteBoxPath(std::string_view sjis_path) const {
  // The data directory is the working directory.
  return AbsolutePath(sjis_path);
}

CLPOSTDoc* DesktopSession::AcquireBox(std::string_view sjis_path) {
  const std::string path = AbsoluteBoxPath(sjis_path);
  if (auto found = boxes_.find(path); found != boxes_.end()) {
    ++found->second.users;
    return found->second.doc;
  }
  // A box the core's runs already hold (the send box of a send run).
  if (CLPOSTDoc* open = registry_.Find(path)) {
    boxes_[path] = OpenBox{nullptr, open, 1};
    return open;
  }
  auto doc = std::make_unique<CLPOSTDoc>(profile(), ui_, *this);
  const IndexFileResult result = doc->Open(path);
  if (!result.ok) {
    ui_.ShowMessage(result.message);
    return nullptr;
  }
  registry_.Register(*doc);
  CLPOSTDoc* raw = doc.get();
  boxes_[raw->PathName()] = OpenBox{std::move(doc), raw, 1};
  return raw;
}

void DesktopSession::ReleaseBox(CLPOSTDoc& box) {
  const auto found = boxes_.find(box.PathName());
  if (found == boxes_.end() || --found->second.users > 0) return;
  if (!found->second.owned) return;  // the receive box stays with the controller
  if (&box == send_box_) return;     // a send run still works on it
  (void)box.CloseRequest();
  registry_.Unregister(box);
  boxes_.erase(found);
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

bool DesktopSession::SendAndReceive() {
  const bool started = send_and_receive_->Start();
  NotifyRunState();
  return started;
}

bool DesktopSession::Send() {
  if (Busy() || accounts_.Count() == 0) return false;
  send_box_ = AcquireBox(app_.settings().send_file);
  if (send_box_ == nullptr) return false;
  send_run_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
      profile(), ui_, registry_, *send_box_, transports_, MakeAddressListLookup(book_, ui_), this, {}, {}});
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
  return !controller_->Idle() || send_and_receive_->Running() || send_busy_;
}

void DesktopSession::OnCommand(int command_id) {
  if (hooks_.command) hooks_.command(command_id);
}

void DesktopSession::OnSendMarks(bool, bool) { NotifyRunState(); }

void DesktopSession::OnSendRunEnded(const SendRunResult&) {
  // The pipeline may not be destroyed inside its own notice.
  send_busy_ = false;
  if (send_box_ != nullptr) {
    CLPOSTDoc* box = send_box_;
    send_box_ = nullptr;
    ReleaseBox(*box);
  }
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
