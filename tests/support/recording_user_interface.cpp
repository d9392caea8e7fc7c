#include "tests/support/recording_user_interface.h"

namespace lp {
namespace {

class RecordingProgress : public Progress {
 public:
  explicit RecordingProgress(int cancel_after) : remaining_(cancel_after) {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetStatusText(std::string_view) override {}
  bool CancelRequested() override {
    if (remaining_ < 0) return false;
    if (remaining_ == 0) return true;
    --remaining_;
    return false;
  }

 private:
  int remaining_;
};

Answer CautiousAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return Answer::Ok;
    case MessageButtons::OkCancel: return Answer::Cancel;
    case MessageButtons::YesNo: return Answer::No;
    case MessageButtons::YesNoCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

}  // namespace

void RecordingUserInterface::ShowMessage(std::string_view text) { messages.emplace_back(text); }

void RecordingUserInterface::RunWhileOpen() {
  if (!while_open_) return;
  const std::function<void()> events = std::move(while_open_);
  while_open_ = {};
  events();
}

Answer RecordingUserInterface::Ask(std::string_view text, MessageButtons buttons) {
  questions.push_back({std::string(text), buttons});
  RunWhileOpen();
  if (answers_.empty()) return CautiousAnswer(buttons);
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingUserInterface::AskLater(std::string_view text, MessageButtons buttons, AnswerHandler answered) {
  if (!hold_) {
    answered(Ask(text, buttons));
    return;
  }
  questions.push_back({std::string(text), buttons});
  held_.push_back(std::move(answered));
}

void RecordingUserInterface::ConfirmMail(const MailSummary& mail, ConfirmHandler answered) {
  mails_confirmed.push_back(mail);
  if (hold_) {
    held_confirms_.push_back(std::move(answered));
    return;
  }
  ConfirmAnswer answer = ConfirmAnswer::Stop;
  if (!confirm_answers_.empty()) {
    answer = confirm_answers_.front();
    confirm_answers_.pop_front();
  }
  answered(answer);
}

namespace {

template <typename Handler>
Handler TakeOldest(std::deque<Handler>& held) {
  if (held.empty()) return {};
  Handler handler = std::move(held.front());
  held.pop_front();
  return handler;
}

}  // namespace

UserInterface::AnswerHandler RecordingUserInterface::TakeHeldQuestion() { return TakeOldest(held_); }

UserInterface::ConfirmHandler RecordingUserInterface::TakeHeldConfirm() { return TakeOldest(held_confirms_); }

std::unique_ptr<Progress> RecordingUserInterface::BeginProgress(std::string_view caption) {
  progress_captions.emplace_back(caption);
  return std::make_unique<RecordingProgress>(cancel_after_);
}

std::optional<std::string> RecordingUserInterface::ChooseFile(const FileChoice&) {
  RunWhileOpen();
  if (files_.empty()) return std::nullopt;
  auto path = std::move(files_.front());
  files_.pop_front();
  return path;
}

}  // namespace lp
