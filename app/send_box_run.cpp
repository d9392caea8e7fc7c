#include "app/send_box_run.h"

#include <utility>

namespace lp {

SendBoxRun::SendBoxRun(Dependencies dependencies, SendRunObserver& observer)
    : deps_(std::move(dependencies)), observer_(observer), send_box_(deps_.profile, deps_.ui, deps_.commands) {}

SendBoxRun::~SendBoxRun() {
  if (pipeline_) pipeline_->Cancel();
  pipeline_.reset();
  if (send_box_registered_) deps_.registry.Unregister(send_box_);
}

SendBoxRun::Outcome SendBoxRun::Start() {
  if (!send_box_registered_) {
    const IndexFileResult opened = send_box_.Open(deps_.send_box_path);
    if (!opened.ok) {
      deps_.ui.ShowMessage(opened.message);
      return Outcome::BoxFailed;
    }
    deps_.registry.Register(send_box_);
    send_box_registered_ = true;
  }
  if (!pipeline_) {
    pipeline_ = std::make_unique<SendPipeline>(SendPipeline::Dependencies{
        deps_.profile, deps_.ui, deps_.registry, send_box_, deps_.transports, deps_.address_lists, &observer_, {},
        {}});
  }
  if (!pipeline_->Start(deps_.accounts.Current(), true) &&
      pipeline_->LastResult().status == SendRunStatus::Ignored) {
    return Outcome::Ignored;
  }
  return Outcome::Started;
}

}  // namespace lp
