#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/mail_confirmation.h"

// The one way the core reaches the user. The desktop application shows
// dialogs; the command line prints and answers from its flags; tests script
// the answers and record what was shown. All texts are Shift_JIS.

namespace lp {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A progress window with a cancel button. A window is called on the thread
// that shows it; a job on a worker thread reports to a JobProgress
// (platform/job_progress.h), which any thread may use.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetRange(int lower, int upper) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void SetStatusText(std::string_view text) = 0;
  // True once the user asked to cancel. Long loops poll this between items.
  [[nodiscard]] virtual bool CancelRequested() = 0;
};

// A progress window of a walk over many boxes (search, text export) with a
// "次へ" button beside cancel: it leaves the box being walked.
// SkipRequested() answers true once per press.
class SkippableProgress : public Progress {
 public:
  [[nodiscard]] virtual bool SkipRequested() = 0;
};

struct FileChoice {
  std::string title;
  std::string initial_directory;
  bool for_saving = false;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A failure or a warning the user must read.
  virtual void ShowMessage(std::string_view text) = 0;
  // A note that is no failure but wants reading (nothing found, a setting
  // that takes effect later).
  virtual void Inform(std::string_view text) { ShowMessage(text); }
  // A routine report of work done (no new mail, mails arrived, sending
  // finished, trash emptied): a user interface may show it without
  // stopping the user.
  virtual void Report(std::string_view text) { ShowMessage(text); }
  [[nodiscard]] virtual Answer Ask(std::string_view text, MessageButtons buttons) = 0;

  // Questions asked while something waits on the event loop (a POP3
  // session in its state, a page before it opens) never block: the answer
  // comes back through the handler, either at once from inside the call
  // (the command line, tests) or later from the event loop (a dialog). The
  // asker guards its handlers (platform/question_guard.h), so a UI may call
  // one late, after the asker stopped waiting, or twice: only a first,
  // timely answer counts. These defaults answer at once.
  using AnswerHandler = std::function<void(Answer)>;
  using ConfirmHandler = std::function<void(ConfirmAnswer)>;
  virtual void AskLater(std::string_view text, MessageButtons buttons, AnswerHandler answered) {
    answered(Ask(text, buttons));
  }
  // Receive, delete, stop or skip this mail on the server? Without a
  // dialog every mail is received: it stays on the server all the same.
  virtual void ConfirmMail(const MailSummary& /*mail*/, ConfirmHandler answered) {
    answered(ConfirmAnswer::Receive);
  }
  // The window closes when the returned object is destroyed.
  [[nodiscard]] virtual std::unique_ptr<Progress> BeginProgress(std::string_view caption) = 0;
  // A Shift_JIS path, or nullopt when the user cancelled.
  [[nodiscard]] virtual std::optional<std::string> ChooseFile(const FileChoice& choice) = 0;
};

}  // namespace lp
