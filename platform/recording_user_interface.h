#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/user_interface.h"

// Records every text shown and answers questions from a script; used by the
// tests. Unscripted questions get the cautious answer (Cancel, or No).

namespace lp {

class RecordingUserInterface : public UserInterface {
 public:
  struct Question {
    std::string text;
    MessageButtons buttons;
  };

  void ShowMessage(std::string_view text) override;
  Answer Ask(std::string_view text, MessageButtons buttons) override;
  std::unique_ptr<Progress> BeginProgress(std::string_view caption) override;
  std::optional<std::string> ChooseFile(const FileChoice& choice) override;

  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  // Progress windows report cancel after this many polls (-1: never).
  void CancelProgressAfter(int polls) { cancel_after_ = polls; }

  std::vector<std::string> messages;
  std::vector<Question> questions;
  std::vector<std::string> progress_captions;

 private:
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> files_;
  int cancel_after_ = -1;
};

}  // namespace lp
