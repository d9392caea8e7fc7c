#pragma once

#include <memory>
#include <string>

#include "app/mail_controller.h"
#include "config/account_table.h"
#include "net/send_pipeline.h"

// The send step of a patrol: before the receives, the send box goes out
// with the first target account (later targets are only received). When the
// send run ends, whatever its outcome, the patrol goes on with its receives.

namespace lp {

class PatrolSendStep final : private SendRunObserver {
 public:
  struct Dependencies {
    Profile& profile;
    UserInterface& ui;
    OpenBoxRegistry& registry;
    CommandObserver& commands;
    CSetMenuArray& accounts;
    std::string send_box_path;  // "System"/"SendFile"
    SendPipeline::TransportFactory transports;
    AddressListLookup address_lists;  // may be empty
  };

  explicit PatrolSendStep(Dependencies dependencies);
  ~PatrolSendStep() override;
  PatrolSendStep(const PatrolSendStep&) = delete;
  PatrolSendStep& operator=(const PatrolSendStep&) = delete;

  // Makes this the controller's patrol send step; it must outlive the
  // controller's runs.
  void Attach(MailController& controller);

  // The last send run of a patrol, if one ran.
  [[nodiscard]] const SendPipeline* LastRun() const { return pipeline_.get(); }

 private:
  void Run(MailController& controller);
  void OnSendRunEnded(const SendRunResult& result) override;

  Dependencies deps_;
  CLPOSTDoc send_box_;
  bool send_box_registered_ = false;
  std::unique_ptr<SendPipeline> pipeline_;
  MailController* controller_ = nullptr;
};

}  // namespace lp
