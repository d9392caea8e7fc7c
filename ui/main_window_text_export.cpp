// The main window's text export commands: the dialog and the export of the
// active box, the export of every box on a worker thread behind a window
// with "中止" and "次へ", and the export of the selected mails.

#include <QApplication>
#include <QStringList>

#include "app/command_ids.h"
#include "codec/buffered_file_writer.h"
#include "platform/sjis_path.h"
#include "store/box_list.h"
#include "ui/desktop_session.h"
#include "ui/mail_selection.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/sjis_qt.h"
#include "ui/skippable_worker_run.h"
#include "ui/text_export_dialog.h"
#include "ui/text_export_messages.h"
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

// A failure as a message; a finished export as a report naming the file.
void ShowExportResult(const ExportResult& result, std::string_view file, UserInterface& ui) {
  if (result.outcome == ExportOutcome::Failed) {
    if (!result.message.empty()) ui.ShowMessage(result.message);
    return;
  }
  if (result.outcome != ExportOutcome::Done) return;
  ui.Report(ToSjis(QString::fromUtf8(ui_text::kTextExported).arg(result.mails).arg(FromSjis(AbsolutePath(file)))));
}

}  // namespace

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
  BufferedFileWriter out;
  // Created or emptied first unless the setting appends.
  if (!OpenExportFile(out, setting.output_file, setting.append)) {
    session_.ui().ShowMessage(util_messages::kOutputFileOpenFailed);
    return;
  }
  if (setting.all_boxes) {
    out.Close();
    ExportEveryBox(setting);
    return;
  }
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ExportResult result = ExportBoxMails(view->box(), setting, out);
  out.Close();
  QApplication::restoreOverrideCursor();
  ShowExportResult(result, setting.output_file, session_.ui());
}

void MainWindow::ExportEveryBox(const CTextOutSet& setting) {
  SkippableWorkerRun& walk = Walk();
  if (walk.IsRunning()) {
    if (QDialog* shown = walk.progress_window()) shown->raise();
    return;
  }
  auto out = std::make_shared<BufferedFileWriter>();
  if (!OpenExportFile(*out, setting.output_file, true)) {
    session_.ui().ShowMessage(util_messages::kOutputFileOpenFailed);
    return;
  }
  const std::string& root = session_.app().data_directory();
  auto result = std::make_shared<ExportResult>();
  auto work = [out, result, setting, list = BuildBoxList(root),
               trash = JoinPath(root, session_.app().settings().trash_file)](SkippableProgress& progress) {
    *result = ExportAllBoxes(list, trash, setting, *out, &progress);
    out->Close();
  };
  (void)walk.Start(ui_text::kTextExportProgressTitle, ui_text::kTextExportProgressText, std::move(work),
                   [this, result, file = setting.output_file] { ShowExportResult(*result, file, session_.ui()); });
}

void MainWindow::ExportSelectedMailsToFile() {
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  const std::vector<int> rows = SelectedRows(*view);
  if (rows.empty()) return;
  FileChoice choice;
  choice.title = ToSjis(QString::fromUtf8(ui_text::kTextExportFileTitle));
  choice.for_saving = true;
  const std::optional<std::string> path = session_.ui().ChooseFile(choice);
  if (!path) return;
  BufferedFileWriter out;
  if (!OpenExportFile(out, *path, false)) {
    session_.ui().ShowMessage(util_messages::kOutputFileOpenFailed);
    return;
  }
  const ExportResult result = ExportSelectedMails(view->box(), rows, out);
  out.Close();
  ShowExportResult(result, *path, session_.ui());
}

void MainWindow::RegisterTextExportHandlers() {
  router_.Register(cmd::kTextExport, [this] { RunTextExportDialog(); });
  router_.Register(cmd::kTextExportAllBoxes, [this] {
    const CTextOutSetArray list =
        LoadTextExportSettings(session_.app().settings().text_out_set_name, session_.ui());
    ExportEveryBox(list.entries().front());
  });
  router_.Register(cmd::kTextExportSelected, [this] { ExportSelectedMailsToFile(); });
}

}  // namespace lp
