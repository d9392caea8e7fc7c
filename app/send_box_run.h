#pragma once

#include <memory>
#include <string>

#include "config/account_table.h"
#include "net/send_pipeline.h"

// Send runs over the send box for the send-and-receive run and the patrol's
// send step. The box is the registry's shared document, held from the first
// run on, so every run and window works on the same records.

namespace lp {

class SendBoxRun {
 public:
  struct Dependencies {
    Profile& profile;
    UserInterface& ui;
    OpenBoxRegistry& registry;
    CommandObserver& commands;  // other commands for the main frame
    CSetMenuArray& accounts;
    std::string send_box_path;  // "System"/"SendFile"
    SendPipeline::TransportFactory transports;
    AddressListLookup address_lists;  // may be empty
    OAuthLogins* oauth = nullptr;     // the tokens of OAuth 2.0 accounts
  };

  enum class Outcome {
    Started,     // the end arrives through the observer (maybe already did)
    BoxFailed,   // the send box does not open; its message was shown
    Ignored,     // a run was already going on; no end will be reported
  };

  SendBoxRun(Dependencies dependencies, SendRunObserver& observer);
  ~SendBoxRun();
  SendBoxRun(const SendBoxRun&) = delete;
  SendBoxRun& operator=(const SendBoxRun&) = delete;

  // A send-and-receive run with the current account.
  Outcome Start();
  [[nodiscard]] const SendPipeline* Pipeline() const { return pipeline_.get(); }
  [[nodiscard]] bool Running() const { return pipeline_ && pipeline_->Running(); }
  [[nodiscard]] Dependencies& deps() { return deps_; }

 private:
  Dependencies deps_;
  SendRunObserver& observer_;
  BoxHandle send_box_;
  std::unique_ptr<SendPipeline> pipeline_;  // goes before the box it works on
};

}  // namespace lp
