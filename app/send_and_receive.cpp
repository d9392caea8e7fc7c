#include "app/send_and_receive.h"

#include <utility>

#include "net/receive_pipeline.h"

namespace lp {

SendAndReceive::SendAndReceive(Dependencies dependencies)
    : deps_(std::move(dependencies)), send_box_(deps_.profile, deps_.ui, deps_.commands) {}

SendAndReceive::~SendAndReceive() {
  controller_ = nullptr;  // a cancelled run must not start anything now
  if (pipeline_) pipeline_->Cancel();
  pipeline_.reset();
  if (send_box_registered_) deps_.registry.Unregister(send_box_);
}

bool SendAndReceive::Start() {
  if (controller_ == nullptr || Running()) return false;
  receive_first_ = deps_.accounts.Current().pop_before;
  if (receive_first_) {
    // The receive asks for the send through OnCommand when it is done; one
    // that breaks off asks for none, and the run is then over once the
    // controller is idle.
    awaiting_send_ = true;
    controller_->SetSendAfterReceive(true);
    if (!controller_->Receive()) {
      Finish();
      return false;
    }
    return true;
  }
  return StartSend();
}

bool SendAndReceive::Running() const {
  return (pipeline_ && pipeline_->Running()) || (controller_ != nullptr && !controller_->Idle());
}

bool SendAndReceive::StartSend() {
  if (!send_box_registered_) {
    const IndexFileResult opened = send_box_.Open(deps_.send_box_path);
    if (!opened.ok) {
      deps_.ui.ShowMessage(opened.message);
      Finish();
      return false;
    }
    deps_.registry.Register(send_box_);
    send_box_registered_ = true;
  }
  if (!pipeline_) {
    pipeline_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
        deps_.profile, deps_.ui, deps_.registry, send_box_, deps_.transports, deps_.address_lists, this, {}, {}});
  }
  if (!pipeline_->Start(deps_.accounts.Current(), true) &&
      pipeline_->LastResult().status == SendRunStatus::Ignored) {
    OnSendRunEnded(pipeline_->LastResult());
  }
  return true;
}

void SendAndReceive::OnCommand(int command_id) {
  if (command_id == kCommandSend && awaiting_send_) {
    awaiting_send_ = false;
    (void)StartSend();
    return;
  }
  deps_.commands.OnCommand(command_id);
}

void SendAndReceive::OnSendRunEnded(const SendRunResult&) {
  if (controller_ == nullptr) return;
  if (receive_first_) {
    // The receive already ran; its messages were held for the end.
    ShowArrivalMessages(deps_.ui, deps_.profile, controller_->NewCount(), controller_->CreatedCount());
    Finish();
    return;
  }
  // The receive for send-and-receive; its pipeline shows the messages.
  (void)controller_->Receive();
  Finish();
}

void SendAndReceive::Finish() {
  if (controller_) controller_->SetSendAfterReceive(false);
  awaiting_send_ = false;
}

}  // namespace lp
