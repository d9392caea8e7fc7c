#include <array>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "platform/code_page.h"
#include "store/mail_delete.h"
#include "store/mail_transfer.h"

// Commands on one mail of a box, as the mail list's commands run them.

namespace lp {

int RunMoveCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.size() != 3) {
    context.ui.ShowMessage("usage: move BOX INDEX DEST");
    return 2;
  }
  auto box = OpenBoxForCommand(context, positional[0]);
  if (!box) return 1;
  auto index = ParseMailIndex(context, positional[1], *box->doc);
  if (!index) return 1;
  const std::array<int, 1> selection = {*index};
  std::size_t moved = MoveTo(*box->doc, selection, Utf8ToCp932(positional[2]), box->registry);
  return CloseBoxForCommand(context, *box) && moved == 1 ? 0 : 1;
}

// The question is answered by --yes; without it the deletion is cancelled
// and the exit status says nothing was deleted.
int RunDeleteCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.size() != 2) {
    context.ui.ShowMessage("usage: delete BOX INDEX [--yes]");
    return 2;
  }
  auto box = OpenBoxForCommand(context, positional[0]);
  if (!box) return 1;
  auto index = ParseMailIndex(context, positional[1], *box->doc);
  if (!index) return 1;
  const std::array<int, 1> selection = {*index};
  bool deleted = DeleteMails(*box->doc, selection, box->registry);
  return CloseBoxForCommand(context, *box) && deleted ? 0 : 1;
}

}  // namespace lp
