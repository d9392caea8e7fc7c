#include <cstdio>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "cli/tsv_field.h"
#include "codec/address_display.h"
#include "codec/date_header.h"

namespace lp {

int RunListCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.size() > 1) {
    context.ui.ShowMessage("usage: list [BOX]");
    return 2;
  }
  auto box = OpenBoxForCommand(context, positional.empty() ? std::string() : positional[0]);
  if (!box) return 1;
  const CLPOSTDoc& doc = *box->doc;
  for (int i = 0; i < doc.Count(); ++i) {
    const CMail& mail = *doc.RecordAt(i);
    std::printf("%d\t%d\t%d\t%s\t%s\t%s\n", i, mail.status, mail.label, FormatListDate(mail.date).c_str(),
                TsvFieldUtf8(AddressFieldForDisplay(mail.from)).c_str(), TsvFieldUtf8(mail.subject).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
