#include "cli/terminal_user_interface.h"

#include <string>

#include "cli/terminal_text.h"

namespace lp {
namespace {

class SilentProgress : public Progress {
 public:
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetStatusText(std::string_view) override {}
  bool CancelRequested() override { return false; }
};

const char* AnswerName(Answer answer) {
  switch (answer) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "";
}

}  // namespace

void TerminalUserInterface::ShowMessage(std::string_view text) {
  ++message_count_;
  std::fprintf(out_, "%s\n", TerminalSafeFromSjis(text, LineBreaks::Keep).c_str());
}

Answer TerminalUserInterface::Ask(std::string_view text, MessageButtons buttons) {
  Answer answer = Answer::Cancel;
  switch (buttons) {
    case MessageButtons::Ok: answer = Answer::Ok; break;
    case MessageButtons::OkCancel: answer = answer_yes_ ? Answer::Ok : Answer::Cancel; break;
    case MessageButtons::YesNo: answer = answer_yes_ ? Answer::Yes : Answer::No; break;
    case MessageButtons::YesNoCancel: answer = answer_yes_ ? Answer::Yes : Answer::Cancel; break;
  }
  std::fprintf(out_, "%s [%s]\n", TerminalSafeFromSjis(text, LineBreaks::Keep).c_str(), AnswerName(answer));
  return answer;
}

std::unique_ptr<Progress> TerminalUserInterface::BeginProgress(std::string_view) {
  return std::make_unique<SilentProgress>();
}

std::optional<std::string> TerminalUserInterface::ChooseFile(const FileChoice&) {
  return std::nullopt;
}

}  // namespace lp
