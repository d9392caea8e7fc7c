#pragma once

#include <utility>

#include "app/mail_controller.h"
#include "app/send_box_run.h"

// The send step of a patrol: before the receives, the send box goes out
// with the first target account (later targets are only received). When the
// send run ends, whatever its outcome, the patrol goes on with its receives.

namespace lp {

class PatrolSendStep final : private SendRunObserver {
 public:
  using Dependencies = SendBoxRun::Dependencies;

  explicit PatrolSendStep(Dependencies dependencies) : run_(std::move(dependencies), *this) {}
  ~PatrolSendStep() override;
  PatrolSendStep(const PatrolSendStep&) = delete;
  PatrolSendStep& operator=(const PatrolSendStep&) = delete;

  // Makes this the controller's patrol send step; it must outlive the
  // controller's runs.
  void Attach(MailController& controller);

  // The last send run of a patrol, if one ran.
  [[nodiscard]] const SendPipeline* LastRun() const { return run_.Pipeline(); }

 private:
  void Run(MailController& controller);
  void OnSendRunEnded(const SendRunResult& result) override;

  MailController* controller_ = nullptr;
  SendBoxRun run_;
};

}  // namespace lp
