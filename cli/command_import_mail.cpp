#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "platform/file_system.h"
#include "store/mail_import.h"
#include "store/mail_import_names.h"

namespace lp {
namespace {

constexpr char kUsage[] = "usage: import-mail SOURCE [--into FOLDER] [--format mbox|maildir|mh]";

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
  request.destination = FolderPathFromUtf8(context.args.Value("into").value_or(std::string()));

  const MailImportReport report = ImportMail(request, context.app.profile(), context.ui, nullptr);
  for (const std::string& line : ReportLines(report)) {
    std::printf("%s\n", TerminalSafeFromSjis(line, LineBreaks::AsBlank).c_str());
  }
  if (std::fflush(stdout) != 0) return 1;
  return report.Complete() ? 0 : 1;
}

}  // namespace lp
