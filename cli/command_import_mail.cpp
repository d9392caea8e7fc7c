#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/mail_import.h"

namespace lp {
namespace {

constexpr char kUsage[] = "usage: import-mail SOURCE [--into FOLDER] [--format mbox|maildir|mh]";

// FOLDER as the "boxes" command shows folders ("Old.lp/Thunderbird.lp"),
// the ".lp" of each name optional; empty for the data directory.
std::string DestinationFolder(const std::string& utf8_folder) {
  std::string folder;
  std::size_t start = 0;
  while (start < utf8_folder.size()) {
    std::size_t slash = utf8_folder.find('/', start);
    if (slash == std::string::npos) slash = utf8_folder.size();
    std::string name = utf8_folder.substr(start, slash - start);
    start = slash + 1;
    if (name.empty() || name == ".") continue;
    if (!name.ends_with(".lp")) name += ".lp";
    folder = folder.empty() ? Utf8ToCp932(name) : JoinPath(folder, Utf8ToCp932(name));
  }
  return folder;
}

}  // namespace

// Imports another program's folders; one line per box and per problem,
// then the summary. Exit status 1 when something could not be read.
int RunImportMailCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  if (positional.size() != 1) {
    context.ui.ShowMessage(kUsage);
    return 2;
  }
  MailImportRequest request;
  if (const std::optional<std::string> format = context.args.Value("format")) {
    request.format = ParseMailSourceFormat(*format);
    if (!request.format) {
      context.ui.ShowMessage(kUsage);
      return 2;
    }
  }
  // The source is read in the file system's own names: they need not be
  // Shift_JIS.
  std::filesystem::path source(positional[0]);
  if (source.is_relative()) source = std::filesystem::path(ToNativePath(context.start_directory)) / source;
  request.native_source = source.lexically_normal().string();
  request.destination = DestinationFolder(context.args.Value("into").value_or(std::string()));

  const MailImportReport report = ImportMail(request, context.app.profile(), context.ui, nullptr);
  for (const std::string& line : ReportLines(report)) {
    std::printf("%s\n", TerminalSafeFromSjis(line, LineBreaks::AsBlank).c_str());
  }
  if (std::fflush(stdout) != 0) return 1;
  return report.Complete() ? 0 : 1;
}

}  // namespace lp
