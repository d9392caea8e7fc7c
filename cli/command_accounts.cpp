#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "config/account_table.h"
#include "platform/code_page.h"

namespace lp {

namespace {

// One field of a TAB-separated line: a TAB or line break inside it would
// break the columns.
std::string FieldUtf8(const std::string& sjis) {
  std::string text = Cp932ToUtf8(sjis);
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

// The account table, one line per account:
// mark ("*" for the current account, else " "), index, name, POP server,
// mail address and patrol flag (1 or 0), separated by TABs.
int RunAccountsCommand(CommandContext& context) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage("usage: accounts");
    return 2;
  }
  CSetMenuArray table;
  table.Load(context.app.profile());
  for (std::size_t i = 0; i < table.Count(); ++i) {
    const CSetMenu& account = table.At(i);
    std::printf("%s\t%zu\t%s\t%s\t%s\t%d\n", i == table.CurrentIndex() ? "*" : " ", i,
                FieldUtf8(account.name).c_str(), FieldUtf8(account.pop).c_str(), FieldUtf8(account.adr).c_str(),
                account.round ? 1 : 0);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
