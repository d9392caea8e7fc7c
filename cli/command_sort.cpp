#include <array>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "store/mail_sort.h"

namespace lp {
namespace {

// Key names in key order; the number works as well.
constexpr std::array<const char*, kSortKeyCount> kKeyNames = {"date",  "from",   "subject", "to",
                                                              "label", "status", "thread"};

std::optional<int> ParseSortKey(const std::string& text) {
  for (int key = 0; key < kSortKeyCount; ++key) {
    if (text == kKeyNames[static_cast<std::size_t>(key)]) return key;
  }
  auto number = ParseNonNegative(text);
  if (number && *number < kSortKeyCount) return static_cast<int>(*number);
  return std::nullopt;
}

}  // namespace

int RunSortCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.size() != 2) {
    context.ui.ShowMessage("usage: sort BOX KEY (0 date, 1 from, 2 subject, 3 to, 4 label, 5 status, 6 thread)");
    return 2;
  }
  auto key = ParseSortKey(positional[1]);
  if (!key) {
    context.ui.ShowMessage("unknown sort key \"" + positional[1] +
                           "\" (0 date, 1 from, 2 subject, 3 to, 4 label, 5 status, 6 thread)");
    return 2;
  }
  auto box = OpenBoxForCommand(context, positional[0]);
  if (!box) return 1;
  Sort(*box->doc, *key);
  return CloseBoxForCommand(context, *box) ? 0 : 1;
}

}  // namespace lp
