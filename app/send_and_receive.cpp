#include "app/send_and_receive.h"

#include <utility>

#include "net/receive_pipeline.h"

namespace lp {

SendAndReceive::SendAndReceive(Dependencies dependencies) : run_(std::move(dependencies), *this) {}

SendAndReceive::~SendAndReceive() {
  controller_ = nullptr;  // a cancelled run must not start anything now
}

bool SendAndReceive::Start() {
  if (controller_ == nullptr || Running()) return false;
  receive_first_ = run_.deps().accounts.Current().pop_before;
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
  return run_.Running() || (controller_ != nullptr && !controller_->Idle());
}

bool SendAndReceive::StartSend() {
  switch (run_.Start()) {
    case SendBoxRun::Outcome::Started:
      return true;
    case SendBoxRun::Outcome::BoxFailed:
      Finish();
      return false;
    case SendBoxRun::Outcome::Ignored:
      OnSendRunEnded(run_.Pipeline()->LastResult());
      return true;
  }
  return false;
}

void SendAndReceive::OnCommand(int command_id) {
  if (command_id == kCommandSend && awaiting_send_) {
    awaiting_send_ = false;
    (void)StartSend();
    return;
  }
  run_.deps().commands.OnCommand(command_id);
}

void SendAndReceive::OnSendRunEnded(const SendRunResult&) {
  if (controller_ == nullptr) return;
  if (receive_first_) {
    // The receive already ran; its messages were held for the end.
    ShowArrivalMessages(run_.deps().ui, run_.deps().profile, controller_->NewCount(), controller_->CreatedCount());
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
