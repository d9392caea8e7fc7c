#include "cli/commands.h"

namespace lp {

// Start-up has done all the work: settings located and migrated, fixed
// boxes and directories created.
int RunInitCommand(CommandContext& context) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage("init takes no arguments");
    return 2;
  }
  return 0;
}

}  // namespace lp
