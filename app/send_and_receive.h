#pragma once

#include <memory>
#include <string>

#include "app/mail_controller.h"
#include "app/send_box_run.h"

// Send and receive (32887) for the current account: an account that
// receives first (PopBefore, POP before SMTP) receives, then sends; any
// other sends, then receives. The arrival messages come once, at the end.

namespace lp {

class SendAndReceive final : public CommandObserver, private SendRunObserver {
 public:
  using Dependencies = SendBoxRun::Dependencies;

  explicit SendAndReceive(Dependencies dependencies);
  ~SendAndReceive() override;
  SendAndReceive(const SendAndReceive&) = delete;
  SendAndReceive& operator=(const SendAndReceive&) = delete;

  // The controller must have been made with this object as its command
  // observer (the send of a receive-first run is asked for that way).
  void Attach(MailController& controller) { controller_ = &controller; }

  // Starts the run; false when it did not start (a run already going on,
  // or the send box does not open). The end shows as Running() turning false.
  bool Start();
  [[nodiscard]] bool Running() const;
  // The send part's outcome, when it ran.
  [[nodiscard]] const SendPipeline* SendRun() const { return run_.Pipeline(); }

  void OnCommand(int command_id) override;

 private:
  bool StartSend();
  void OnSendRunEnded(const SendRunResult& result) override;
  void Finish();

  MailController* controller_ = nullptr;
  SendBoxRun run_;
  bool receive_first_ = false;
  bool awaiting_send_ = false;
};

}  // namespace lp
