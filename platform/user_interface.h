#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The one way the core reaches the user. The desktop application shows
// dialogs; the command line prints and answers from its flags; tests script
// the answers and record what was shown. All texts are Shift_JIS.

namespace lp {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A progress window with a cancel button.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetRange(int lower, int upper) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void SetStatusText(std::string_view text) = 0;
  // True once the user asked to cancel. Long loops poll this between items.
  [[nodiscard]] virtual bool CancelRequested() = 0;
};

struct FileChoice {
  std::string title;
  std::string initial_directory;
  bool for_saving = false;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual void ShowMessage(std::string_view text) = 0;
  [[nodiscard]] virtual Answer Ask(std::string_view text, MessageButtons buttons) = 0;
  // The window closes when the returned object is destroyed.
  [[nodiscard]] virtual std::unique_ptr<Progress> BeginProgress(std::string_view caption) = 0;
  // A Shift_JIS path, or nullopt when the user cancelled.
  [[nodiscard]] virtual std::optional<std::string> ChooseFile(const FileChoice& choice) = 0;
};

}  // namespace lp
