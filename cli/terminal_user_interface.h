#pragma once

#include <cstdio>

#include "platform/user_interface.h"

// The command line's face of the user-interface interface: messages go to
// standard error in UTF-8 (control characters other than line breaks shown
// as U+FFFD: a message can quote a server's reply); questions are answered by the --yes flag when it
// was given, otherwise with the safe default (Cancel, or No), and both the
// question and the answer are printed so a log shows what happened.
// Questions asked to be answered later are answered at once the same way;
// a mail to confirm is received (it stays on the server), as without the
// question.

namespace lp {

class TerminalUserInterface : public UserInterface {
 public:
  explicit TerminalUserInterface(bool answer_yes, std::FILE* out = stderr)
      : answer_yes_(answer_yes), out_(out) {}

  void ShowMessage(std::string_view text) override;
  Answer Ask(std::string_view text, MessageButtons buttons) override;
  std::unique_ptr<Progress> BeginProgress(std::string_view caption) override;
  std::optional<std::string> ChooseFile(const FileChoice& choice) override;

  // Messages shown so far (commands use this to judge their exit status).
  [[nodiscard]] int MessageCount() const { return message_count_; }

 private:
  bool answer_yes_;
  std::FILE* out_;
  int message_count_ = 0;
};

}  // namespace lp
