#include "app/send_box_run.h"

#include <utility>

namespace lp {

SendBoxRun::SendBoxRun(Dependencies dependencies, SendRunObserver& observer)
    : deps_(std::move(dependencies)), observer_(observer) {}

SendBoxRun::~SendBoxRun() {
  if (pipeline_) pipeline_->Cancel();
  pipeline_.reset();
}

SendBoxRun::Outcome SendBoxRun::Start() {
  if (!send_box_) {
    AcquiredBox acquired = deps_.registry.Acquire(deps_.send_box_path);
    if (!acquired.box) {
      deps_.ui.ShowMessage(acquired.load.message);
      return Outcome::BoxFailed;
    }
    send_box_ = std::move(acquired.box);
  }
  if (!pipeline_) {
    pipeline_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
        deps_.profile, deps_.ui, deps_.registry, *send_box_, deps_.transports, deps_.address_lists, &observer_, {},
        {}, {}, kSmtpWorkFile, "smail.log", deps_.oauth});
  }
  if (!pipeline_->Start(deps_.accounts.Current(), true) &&
      pipeline_->LastResult().status == SendRunStatus::Ignored) {
    return Outcome::Ignored;
  }
  return Outcome::Started;
}

}  // namespace lp
