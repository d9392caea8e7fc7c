#include <string>

#include "cli/box_arguments.h"
#include "cli/commands.h"
#include "platform/code_page.h"
#include "platform/sjis_path.h"
#include "store/box_list.h"
#include "util/export_output.h"
#include "util/kept_data_files.h"
#include "util/text_export.h"
#include "util/text_out_set.h"
#include "util/util_messages.h"

namespace lp {
namespace {

constexpr char kUsage[] = "usage: export NAME [BOX|--all] [--to FILE]";

// The output file takes the export only when all of it was produced.
int Finish(CommandContext& context, ExportOutput& output, const ExportResult& result) {
  if (result.outcome != ExportOutcome::Done) {
    context.ui.ShowMessage(result.message);
    return 1;
  }
  if (!output.Commit()) {
    context.ui.ShowMessage(output.message());
    return 1;
  }
  return 0;
}

}  // namespace

// Runs a named text-export setting as its dialog's OK would, with the
// output file of the setting or of --to.
int RunExportCommand(CommandContext& context) {
  const auto& positional = context.args.positional;
  const bool all = context.args.Has("all");
  if (positional.empty() || positional.size() > (all ? 1u : 2u)) {
    context.ui.ShowMessage(kUsage);
    return 2;
  }
  CTextOutSetArray list;
  if (const std::optional<std::string> problem = list.Load(context.app.settings().text_out_set_name)) {
    context.ui.ShowMessage(*problem);
  }
  const CTextOutSet* found = list.Find(Utf8ToCp932(positional[0]));
  if (found == nullptr) {
    context.ui.ShowMessage("no text-export setting named \"" + positional[0] + "\"");
    return 2;
  }
  CTextOutSet setting = *found;
  if (const std::optional<std::string> to = context.args.Value("to")) {
    setting.output_file = StartRelativePath(context, *to);
  }
  if (setting.output_file.empty()) {
    context.ui.ShowMessage("the setting names no output file: give one with --to FILE");
    return 2;
  }
  const std::string& root = context.app.data_directory();
  if (IsKeptDataFile(setting.output_file, root, context.app.settings(), context.app.profile())) {
    context.ui.ShowMessage(std::string(util_messages::kOutputIsKeptFile) + setting.output_file);
    return 1;
  }
  ExportOutput output;
  if (!output.Begin(setting.output_file, setting.append)) {
    context.ui.ShowMessage(output.message());
    return 1;
  }
  if (all || (positional.size() == 1 && setting.all_boxes)) {
    return Finish(context, output,
                  ExportAllBoxes(BoxWalkSources::Plan(BuildBoxList(root), nullptr), JoinPath(root, context.app.settings().trash_file), setting,
                                 output.writer(), nullptr));
  }
  auto box = OpenBoxForCommand(context, positional.size() == 2 ? positional[1] : std::string());
  if (!box) return 1;
  return Finish(context, output, ExportBoxMails(*box->doc, setting, output.writer()));
}

}  // namespace lp
