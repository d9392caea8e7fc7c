#include "platform/recording_user_interface.h"

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

Answer RecordingUserInterface::Ask(std::string_view text, MessageButtons buttons) {
  questions.push_back({std::string(text), buttons});
  if (answers_.empty()) return CautiousAnswer(buttons);
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::unique_ptr<Progress> RecordingUserInterface::BeginProgress(std::string_view caption) {
  progress_captions.emplace_back(caption);
  return std::make_unique<RecordingProgress>(cancel_after_);
}

std::optional<std::string> RecordingUserInterface::ChooseFile(const FileChoice&) {
  if (files_.empty()) return std::nullopt;
  auto path = std::move(files_.front());
  files_.pop_front();
  return path;
}

}  // namespace lp
