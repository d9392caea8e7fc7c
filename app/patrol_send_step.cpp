#include "app/patrol_send_step.h"

namespace lp {

PatrolSendStep::~PatrolSendStep() {
  controller_ = nullptr;  // a cancelled run must not start anything now
}

void PatrolSendStep::Attach(MailController& controller) {
  controller.SetPatrolSendStep([this](MailController& patrolling) { Run(patrolling); });
}

void PatrolSendStep::Run(MailController& controller) {
  controller_ = &controller;
  // Without its send box, or with a send already going on (which reports
  // no end), the patrol goes straight on to its receives.
  if (run_.Start() != SendBoxRun::Outcome::Started) controller.ContinuePatrolReceive();
}

void PatrolSendStep::OnSendRunEnded(const SendRunResult&) {
  if (controller_) controller_->ContinuePatrolReceive();
}

}  // namespace lp
