#include <cstdio>
#include <iostream>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "cli/tsv_field.h"
#include "config/account.h"
#include "config/account_table.h"
#include "platform/code_page.h"

namespace lp {

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
                TsvFieldUtf8(account.name).c_str(), TsvFieldUtf8(account.pop).c_str(), TsvFieldUtf8(account.adr).c_str(),
                account.round ? 1 : 0);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

// Stores an account's POP password, read from the first line of standard
// input (UTF-8), scrambled as the settings file keeps it: a password cannot
// be written into "lpost.conf" by hand.
int RunPasswordCommand(CommandContext& context) {
  if (!context.args.positional.empty()) {
    context.ui.ShowMessage("usage: password [--account N] < file-with-the-password");
    return 2;
  }
  CSetMenuArray table;
  table.Load(context.app.profile());
  std::size_t index = table.CurrentIndex();
  if (auto value = context.args.Value("account")) {
    auto parsed = ParseNonNegative(*value);
    if (!parsed || static_cast<std::size_t>(*parsed) >= table.Count()) {
      context.ui.ShowMessage("no account " + *value);
      return 2;
    }
    index = static_cast<std::size_t>(*parsed);
  }
  std::string line;
  std::getline(std::cin, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.find_first_of(std::string("\0\n", 2)) != std::string::npos) {
    context.ui.ShowMessage("a password cannot hold line breaks or NUL");
    return 2;
  }
  if (!context.app.profile().WriteString(AccountSectionName(index), "Pass", ScramblePassword(Utf8ToCp932(line)))) {
    context.ui.ShowMessage("cannot write " + Cp932ToUtf8(context.app.profile().Path()));
    return 1;
  }
  return 0;
}

}  // namespace lp
