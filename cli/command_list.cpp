#include <cstdio>
#include <ctime>
#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "platform/code_page.h"

namespace lp {
namespace {

// Stored times are on the local time scale, as the mail list shows them.
std::string FormatListDate(std::int32_t date) {
  std::time_t time = date;
  std::tm tm{};
  if (localtime_r(&time, &tm) == nullptr) return "0000/00/00 00:00:00";
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buffer;
}

// A field may hold TAB or line breaks (continued header lines); they would
// split the line, so they print as blanks.
std::string ListField(const std::string& sjis) {
  std::string utf8 = Cp932ToUtf8(sjis);
  for (char& c : utf8) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return utf8;
}

}  // namespace

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
                ListField(mail.from).c_str(), ListField(mail.subject).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace lp
