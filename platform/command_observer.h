#pragma once

// Numbered commands that the core sends to the main frame (the desktop
// application implements this; the command line and tests record them).

namespace lp {

class CommandObserver {
 public:
  virtual ~CommandObserver() = default;
  virtual void OnCommand(int command_id) = 0;
};

// Ignores every command; for front ends without a main frame.
class NullCommandObserver : public CommandObserver {
 public:
  void OnCommand(int) override {}
};

}  // namespace lp
