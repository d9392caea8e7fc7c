#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The one table of numbered commands: for each its menu, its menu text,
// its name in the key customisation list and the rule that says whether it
// can run now. Every way of starting a command (menus, toolbars, keys, the
// function-key bar, switches, the timer, a second start's hand-over) goes
// through one CommandRouter, so a command is enabled, refused or run the
// same way whoever asked. Texts are Shift_JIS.

namespace lp {

enum class CommandMenu { None, File, Edit, Compose, Box, Mail, View, Window, Help };

// The kind of the active child window of the main window.
enum class WindowKind { None, Mailbox, Read, Compose, Manager };

// When a command can run.
enum class EnableRule {
  Always,
  NotBusy,         // no receive, send or patrol is running
  Mailbox,         // a mailbox window is active
  MailboxNotBusy,  // both of the above
  Selection,       // a mail is chosen: a read window, or a mailbox window with a selection
  TextView,        // a window that shows mail text (mailbox, read or compose window)
  ReadWindow,
  Compose,
  Manager,
  ChildWindow,     // any child window is open
};

// What the enabled and checked states are computed from.
struct CommandState {
  bool busy = false;  // a receive, send or patrol is running
  WindowKind active = WindowKind::None;
  int selection_count = 0;
  int child_window_count = 0;
  int toolbar_choice = 0;  // 0 small, 1 large, 2 none
  bool status_bar = true;
  bool function_bar = true;
  int split_position = 1;  // 0 no preview, 1 rows, 2 columns
  bool auto_forward = false;

  bool operator==(const CommandState&) const = default;
};

struct CommandInfo {
  int id = 0;
  CommandMenu menu = CommandMenu::None;
  EnableRule rule = EnableRule::Always;
  const char* name_utf8 = "";       // key customisation name ("[ﾌｧｲﾙ]受信"); "" = not bindable
  const char* menu_text_utf8 = "";  // "" = the name without its "[menu]"
};

// Every command: first the bindable ones in the order of the key
// customisation list (which is also their menu order), then the others.
[[nodiscard]] const std::vector<CommandInfo>& AllCommands();
[[nodiscard]] const CommandInfo* FindCommand(int id);
// The ids of the key customisation list, in its order.
[[nodiscard]] const std::vector<int>& NamedCommandIds();

// Shift_JIS texts, converted once on first use; empty for unknown ids.
[[nodiscard]] const std::string& CommandName(int id);
[[nodiscard]] const std::string& MenuText(int id);
// The menu's title ("ファイル(&F)"), Shift_JIS.
[[nodiscard]] const std::string& MenuTitle(CommandMenu menu);

[[nodiscard]] bool RuleAllows(EnableRule rule, const CommandState& state);
// Checked for the toggles and choices (toolbar, status bar, split …);
// nullopt for commands that carry no check mark.
[[nodiscard]] std::optional<bool> CheckedState(int id, const CommandState& state);

// Runs commands by number. A command runs only when it has a handler and
// its rule allows it in the state of the moment.
class CommandRouter {
 public:
  using Handler = std::function<void()>;
  using RangeHandler = std::function<void(int id)>;
  using StateSource = std::function<CommandState()>;

  explicit CommandRouter(StateSource state) : state_(std::move(state)) {}

  void Register(int id, Handler handler);
  // Commands [first, last] without a table entry (the box menu's files).
  void RegisterRange(int first, int last, RangeHandler handler);

  [[nodiscard]] bool HasHandler(int id) const;
  [[nodiscard]] bool IsEnabled(int id) const;
  [[nodiscard]] CommandState State() const { return state_(); }
  // True when the command ran.
  bool Run(int id);

 private:
  struct Range {
    int first;
    int last;
    RangeHandler handler;
  };
  [[nodiscard]] const Range* RangeOf(int id) const;

  StateSource state_;
  std::map<int, Handler> handlers_;
  std::vector<Range> ranges_;
};

// The label of function-key button `key_number` (1 for F1) with the
// modifier state (Shift 1, Ctrl 2) for the bound command (0 = none):
// "F5"/"B5"/"C5"/"D5" unbound, a few short forms, else the command's name
// without its "[menu]" and without "メールにする". Shift_JIS.
[[nodiscard]] std::string FunctionKeyLabel(int key_number, int modifier_state, std::uint32_t command);

}  // namespace lp
