#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

// Records every text shown and answers questions from a script; used by the
// tests. Unscripted questions get the cautious answer (Cancel, or No; Stop
// for a mail to confirm). Questions asked to be answered later are answered
// at once from the script, or, after HoldAnswers(), kept for the test to
// answer whenever it likes (as a dialog would, from the event loop).

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
  void AskLater(std::string_view text, MessageButtons buttons, AnswerHandler answered) override;
  void ConfirmMail(const MailSummary& mail, ConfirmHandler answered) override;

  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  void QueueConfirmAnswer(ConfirmAnswer answer) { confirm_answers_.push_back(answer); }
  // Later questions wait until the test takes their handlers and calls them.
  void HoldAnswers(bool hold = true) { hold_ = hold; }
  // The handler of the oldest question still held; empty when none is.
  [[nodiscard]] AnswerHandler TakeHeldQuestion();
  [[nodiscard]] ConfirmHandler TakeHeldConfirm();
  [[nodiscard]] std::size_t HeldCount() const { return held_.size() + held_confirms_.size(); }
  // Progress windows report cancel after this many polls (-1: never).
  void CancelProgressAfter(int polls) { cancel_after_ = polls; }
  // Runs `events` when the next question or file choice is open, standing
  // for what the event loop does while the user reads a dialog.
  void WhileNextDialogIsOpen(std::function<void()> events) { while_open_ = std::move(events); }

  std::vector<std::string> messages;
  std::vector<Question> questions;
  std::vector<std::string> progress_captions;
  std::vector<MailSummary> mails_confirmed;  // every mail the user was asked about

 private:
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<ConfirmAnswer> confirm_answers_;
  std::deque<AnswerHandler> held_;
  std::deque<ConfirmHandler> held_confirms_;
  bool hold_ = false;
  int cancel_after_ = -1;
  std::function<void()> while_open_;

  void RunWhileOpen();
};

}  // namespace lp
