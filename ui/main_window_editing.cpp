// The Edit menu's commands on the text of the focused editor: a compose
// window's body, a read window's or a preview's text.

#include <QApplication>
#include <QTextCursor>
#include <string>

#include "app/command_ids.h"
#include "codec/japanese_text.h"
#include "ui/compose_view.h"
#include "ui/mail_editor.h"
#include "ui/main_window.h"
#include "ui/read_view.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

using Conversion = int (*)(std::string_view text, std::string& out);

// Converts the selection (the whole text when nothing is selected) in one
// undoable step.
void ConvertSelection(MailEditor& editor, Conversion convert) {
  QTextCursor cursor = editor.textCursor();
  if (!cursor.hasSelection()) cursor.select(QTextCursor::Document);
  const QString selected = cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  std::string converted;
  if (convert(ToSjis(selected), converted) == 0) return;
  cursor.insertText(FromSjis(converted));
}

}  // namespace

MailEditor* MainWindow::ActiveEditor() const {
  MailEditor* editor = qobject_cast<MailEditor*>(QApplication::focusWidget());
  if (editor == nullptr) {
    if (ComposeView* compose = ActiveComposeView()) editor = &compose->body();
  }
  ReadView* read = ActiveReadView();
  if (editor == nullptr && read != nullptr) editor = &read->editor();
  // Copying, selecting or finding in a read window works on the whole mail,
  // also while a long one is still arriving in parts.
  if (read != nullptr && editor == &read->editor()) read->LoadWholeText();
  return editor;
}

void MainWindow::RegisterEditHandlers() {
  const std::pair<int, int> forwarded[] = {{cmd::kUndo, editor_command::kUndo},
                                           {cmd::kCut, editor_command::kCut},
                                           {cmd::kCopy, editor_command::kCopy},
                                           {cmd::kPaste, editor_command::kPaste},
                                           {cmd::kSelectAllText, editor_command::kSelectAll},
                                           {cmd::kFindInText, editor_command::kFind}};
  for (const auto& [command, editor_id] : forwarded) {
    router_.Register(command, [this, editor_id = editor_id] {
      if (MailEditor* editor = ActiveEditor()) (void)editor->RunCommand(editor_id);
    });
  }
  const std::pair<int, Conversion> conversions[] = {{cmd::kHalfKanaToFull, &HalfKanaToFull},
                                                    {cmd::kFullToHalf, &FullToHalf}};
  for (const auto& [command, convert] : conversions) {
    router_.Register(command, [this, convert = convert] {
      if (MailEditor* editor = ActiveEditor(); editor != nullptr && !editor->isReadOnly()) {
        ConvertSelection(*editor, convert);
      }
    });
  }
}

}  // namespace lp
