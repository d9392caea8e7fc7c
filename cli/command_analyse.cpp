#include <cstdio>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "codec/analyse_file_command.h"

namespace lp {

// The analyse command on a file the user names: the spool stays in place,
// the box is saved with its new mails.
int RunAnalyseCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.empty() || positional.size() > 2) {
    context.ui.ShowMessage("usage: analyse SPOOL [BOX]");
    return 2;
  }
  std::string spool = StartRelativePath(context, positional[0]);
  auto box = OpenBoxForCommand(context, positional.size() == 2 ? positional[1] : std::string());
  if (!box) return 1;
  CLPOSTDoc& doc = *box->doc;

  int count = AnalyseFileIntoBox(doc, spool);
  if (!CloseBoxForCommand(context, *box) || count <= 0) return 1;
  std::printf("%d\n", count);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
