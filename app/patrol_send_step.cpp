#include "app/patrol_send_step.h"

#include <utility>

namespace lp {

PatrolSendStep::PatrolSendStep(Dependencies dependencies)
    : deps_(std::move(dependencies)), send_box_(deps_.profile, deps_.ui, deps_.commands) {}

PatrolSendStep::~PatrolSendStep() {
  controller_ = nullptr;  // a cancelled run must not start anything now
  if (pipeline_) pipeline_->Cancel();
  pipeline_.reset();
  if (send_box_registered_) deps_.registry.Unregister(send_box_);
}

void PatrolSendStep::Attach(MailController& controller) {
  controller.SetPatrolSendStep([this](MailController& patrolling) { Run(patrolling); });
}

void PatrolSendStep::Run(MailController& controller) {
  controller_ = &controller;
  if (!send_box_registered_) {
    const IndexFileResult opened = send_box_.Open(deps_.send_box_path);
    if (!opened.ok) {
      // Without its send box the patrol still receives.
      deps_.ui.ShowMessage(opened.message);
      controller.ContinuePatrolReceive();
      return;
    }
    deps_.registry.Register(send_box_);
    send_box_registered_ = true;
  }
  if (!pipeline_) {
    pipeline_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
        deps_.profile, deps_.ui, deps_.registry, send_box_, deps_.transports, deps_.address_lists, this, {}, {}});
  }
  // An ignored start (a send already going on) reports no end: the patrol
  // goes straight on to its receives.
  if (!pipeline_->Start(deps_.accounts.Current(), true) &&
      pipeline_->LastResult().status == SendRunStatus::Ignored) {
    controller.ContinuePatrolReceive();
  }
}

void PatrolSendStep::OnSendRunEnded(const SendRunResult&) {
  if (controller_) controller_->ContinuePatrolReceive();
}

}  // namespace lp
