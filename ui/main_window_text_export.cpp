// The main window's text export commands: the dialog and the export of the
// active box, the export of every box on a worker thread behind a window
// with "中止" and "次へ", and the export of the selected mails. Each export
// writes a temporary file that takes the output file's place (or is added
// to its end) only once the whole export succeeded.

#include <QApplication>
#include <QStringList>

#include "app/command_ids.h"
#include "platform/sjis_path.h"
#include "store/box_list.h"
#include "store/held_mail.h"
#include "store/store_messages.h"
#include "ui/desktop_session.h"
#include "ui/mail_selection.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/sjis_qt.h"
#include "ui/skippable_worker_run.h"
#include "ui/text_export_dialog.h"
#include "ui/text_export_messages.h"
#include "util/export_output.h"
#include "util/kept_data_files.h"
#include "util/text_export.h"
#include "util/text_out_set.h"
#include "util/util_messages.h"

namespace lp {

namespace {

// The settings list; a file that cannot be read is said once and kept
// aside by the next save.
CTextOutSetArray LoadTextExportSettings(const std::string& path, UserInterface& ui) {
  CTextOutSetArray list;
  if (const std::optional<std::string> problem = list.Load(path)) ui.ShowMessage(*problem);
  return list;
}

// Puts a finished export in place; the message of what failed, or empty.
std::string FinishExport(const ExportResult& result, ExportOutput& output) {
  switch (result.outcome) {
    case ExportOutcome::Done:
      return output.Commit() ? std::string() : output.message();
    case ExportOutcome::Failed:
      output.Abandon();
      return result.message;
    case ExportOutcome::Cancelled:
      output.Abandon();
      return {};
  }
  return {};
}

// What failed as a message; a finished export as a report naming the file.
void ShowExportResult(const std::string& failure, const ExportResult& result, std::string_view file,
                      UserInterface& ui) {
  if (!failure.empty()) {
    ui.ShowMessage(failure);
    return;
  }
  if (result.outcome != ExportOutcome::Done) return;
  ui.Report(ToSjis(QString::fromUtf8(ui_text::kTextExported).arg(result.mails).arg(FromSjis(AbsolutePath(file)))));
}

}  // namespace

bool MainWindow::BeginExportOutput(ExportOutput& output, const std::string& path, bool append) {
  if (IsKeptDataFile(path, session_.app().data_directory(), session_.app().settings(), session_.profile())) {
    session_.ui().ShowMessage(std::string(util_messages::kOutputIsKeptFile) + path);
    return false;
  }
  if (output.Begin(path, append)) return true;
  session_.ui().ShowMessage(output.message());
  return false;
}

void MainWindow::RunTextExportDialog() {
  const AppSettings& settings = session_.app().settings();
  CTextOutSetArray list = LoadTextExportSettings(settings.text_out_set_name, session_.ui());
  QStringList labels;
  for (std::size_t i = 1; i < settings.labels.size(); ++i) labels << FromSjis(settings.labels[i].name);
  TextExportDialog dialog(list, labels, this);
  if (dialog.exec() != QDialog::Accepted) return;
  std::string error;
  if (!list.Save(settings.text_out_set_name, &error)) session_.ui().ShowMessage(error);
  const CTextOutSet setting = list.entries().front();
  if (setting.all_boxes) {
    ExportEveryBox(setting, setting.append);
    return;
  }
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  if (view->box().IsBusy()) {
    session_.ui().ShowMessage(std::string(store_messages::kBoxBusy) + view->box().PathName());
    return;
  }
  ExportOutput output;
  if (!BeginExportOutput(output, setting.output_file, setting.append)) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ExportResult result = ExportBoxMails(view->box(), setting, output.writer());
  const std::string failure = FinishExport(result, output);
  QApplication::restoreOverrideCursor();
  ShowExportResult(failure, result, setting.output_file, session_.ui());
}

void MainWindow::ExportEveryBox(const CTextOutSet& setting, bool append) {
  std::shared_ptr<BoxWalkSources> boxes = PlanBoxWalk();
  if (!boxes) return;
  auto output = std::make_shared<ExportOutput>();
  if (!BeginExportOutput(*output, setting.output_file, append)) return;
  const std::string trash = JoinPath(session_.app().data_directory(), session_.app().settings().trash_file);
  auto failure = std::make_shared<std::string>();
  auto result = std::make_shared<ExportResult>();
  auto work = [output, failure, result, boxes, setting, trash](SkippableProgress& progress) {
    *result = ExportAllBoxes(*boxes, trash, setting, output->writer(), &progress);
    *failure = FinishExport(*result, *output);
  };
  StartBoxWalk(ui_text::kTextExportProgressTitle, ui_text::kTextExportProgressText, std::move(work),
               [this, failure, result, file = setting.output_file] {
                 ShowExportResult(*failure, *result, file, session_.ui());
               });
}

void MainWindow::ExportSelectedMailsToFile() {
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  const std::vector<int> rows = SelectedRows(*view);
  if (rows.empty()) return;
  // The file dialog runs the event loop: the mails are found again afterwards.
  const HeldMails held(view->box(), rows);
  FileChoice choice;
  choice.title = ToSjis(QString::fromUtf8(ui_text::kTextExportFileTitle));
  choice.for_saving = true;
  const std::optional<std::string> path = session_.ui().ChooseFile(choice);
  if (!path) return;
  ExportOutput output;
  if (!BeginExportOutput(output, *path, false)) return;
  const ExportResult result = ExportSelectedMails(view->box(), held.Rows(view->box()), output.writer());
  ShowExportResult(FinishExport(result, output), result, *path, session_.ui());
}

void MainWindow::RegisterTextExportHandlers() {
  router_.Register(cmd::kTextExport, [this] { RunTextExportDialog(); });
  router_.Register(cmd::kTextExportAllBoxes, [this] {
    const CTextOutSetArray list =
        LoadTextExportSettings(session_.app().settings().text_out_set_name, session_.ui());
    // The command by itself adds to the output file.
    ExportEveryBox(list.entries().front(), true);
  });
  router_.Register(cmd::kTextExportSelected, [this] { ExportSelectedMailsToFile(); });
}

}  // namespace lp
