#include <cstdio>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "codec/html_view.h"
#include "platform/code_page.h"
#include "platform/question_guard.h"

namespace lp {

// Writes "lpost.html" for one mail; the warnings are answered by --yes
// (default: no). Prints the file's path when it may be opened.
int RunHtmlCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.empty() || positional.size() > 2 || (context.args.Has("yes") && context.args.Has("no"))) {
    context.ui.ShowMessage("usage: html [BOX] INDEX [--yes|--no]");
    return 2;
  }
  auto box = OpenBoxForCommand(context, positional.size() == 2 ? positional[0] : std::string());
  if (!box) return 1;
  auto index = ParseMailIndex(context, positional.back(), *box->doc);
  if (!index) return 1;
  // The terminal answers each warning at once, so the page is decided
  // before WriteHtmlView returns.
  QuestionGuard window;
  QuestionGuard page;
  bool may_open = false;
  WriteHtmlView(*box->doc, *index, {window, page}, [&may_open](bool decided) { may_open = decided; });
  if (!may_open) return 1;
  std::printf("%s\n", Cp932ToUtf8(HtmlViewPath(context.app.profile())).c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
