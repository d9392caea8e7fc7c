#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "store/compaction.h"
#include "store/mail_transfer.h"
#include "store/offset_check.h"

// Commands that repair or fill one box as a whole.

namespace lp {

int RunCompactCommand(CommandContext& context) {
  if (context.args.positional.size() != 1) {
    context.ui.ShowMessage("usage: compact BOX");
    return 2;
  }
  auto box = OpenBoxForCommand(context, context.args.positional[0]);
  if (!box) return 1;
  bool compacted = Compact(*box->doc);
  return CloseBoxForCommand(context, *box) && compacted ? 0 : 1;
}

// The offset check corrects records in memory only; here the box is a
// command of its own, so the corrections are saved at once.
int RunCheckCommand(CommandContext& context) {
  if (context.args.positional.size() != 1) {
    context.ui.ShowMessage("usage: check BOX");
    return 2;
  }
  auto box = OpenBoxForCommand(context, context.args.positional[0]);
  if (!box) return 1;
  if (!CheckOffsets(*box->doc)) return 1;
  box->doc->SetModified();
  return CloseBoxForCommand(context, *box) ? 0 : 1;
}

int RunImportCommand(CommandContext& context) {
  if (context.args.positional.size() != 2) {
    context.ui.ShowMessage("usage: import BOX FILE");
    return 2;
  }
  auto box = OpenBoxForCommand(context, context.args.positional[0]);
  if (!box) return 1;
  bool imported = ImportBoxFile(*box->doc, StartRelativePath(context, context.args.positional[1]));
  return CloseBoxForCommand(context, *box) && imported ? 0 : 1;
}

}  // namespace lp
