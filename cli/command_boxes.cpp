#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "store/box_list.h"

namespace lp {

// The box list as the main frame keeps it: every box and folder below the
// data directory, sorted; folders end in the separator.
int RunBoxesCommand(CommandContext& context) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage("usage: boxes");
    return 2;
  }
  for (const std::string& path : BuildBoxList(context.app.data_directory())) {
    std::printf("%s\n", TerminalSafeFromSjis(path, LineBreaks::AsBlank).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
