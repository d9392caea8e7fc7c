#include <cstdio>
#include <optional>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "cli/terminal_text.h"

namespace lp {

int RunShowCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.empty() || positional.size() > 2) {
    context.ui.ShowMessage("usage: show [BOX] INDEX [--header-mode 0|1|2] [--line-limit N] [--sjis] [--source]");
    return 2;
  }
  std::optional<HeaderMode> mode;
  if (auto value = context.args.Value("header-mode")) {
    if (*value == "0") {
      mode = HeaderMode::FromSetting;
    } else if (*value == "1") {
      mode = HeaderMode::All;
    } else if (*value == "2") {
      mode = HeaderMode::None;
    } else {
      context.ui.ShowMessage("--header-mode takes 0, 1 or 2");
      return 2;
    }
  }
  int line_limit = 0;
  if (auto value = context.args.Value("line-limit")) {
    auto parsed = ParseNonNegative(*value);
    if (!parsed || *parsed > 1000000000) {
      context.ui.ShowMessage("--line-limit takes a number of lines (0: no limit)");
      return 2;
    }
    line_limit = static_cast<int>(*parsed);
  }

  auto box = OpenBoxForCommand(context, positional.size() == 2 ? positional[0] : std::string());
  if (!box) return 1;
  auto index = ParseMailIndex(context, positional.back(), *box->doc);
  if (!index) return 1;

  // Outgoing mail is stored without a header: unless asked otherwise it
  // shows whole. HTML mail shows readable text unless its source is asked for.
  const HeaderMode shown_mode = mode.value_or(ShownHeaderMode(*box->doc->RecordAt(*index)));
  const MailText read = context.args.Has("source") ? box->doc->DisplayText(*index, shown_mode, line_limit)
                                                   : box->doc->ReadableText(*index, shown_mode, line_limit);
  if (!read.ok()) {
    context.ui.ShowMessage(read.error);
    return 1;
  }
  std::string out = context.args.Has("sjis") ? TerminalSafeSjis(read.text)
                                             : TerminalSafeFromSjis(read.text, LineBreaks::Keep);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
