#include "ui/mail_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFont>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>

#include "ui/editor_messages.h"
#include "ui/editor_words.h"
#include "ui/sjis_qt.h"
#include "ui/stored_font.h"
#include "ui/virtual_keys.h"

namespace lp {
namespace {

// Keys from F1 on never go to an editable editor first.
constexpr std::uint32_t kVirtualKeyF1 = 112;

QString MenuText(const QString& word, const char* suffix) {
  QString text = word;
  text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return text + QString::fromUtf8(suffix);
}

}  // namespace

MailEditor::MailEditor(EditorMode mode, QWidget* parent) : QPlainTextEdit(parent), mode_(mode) {
  setReadOnly(mode == EditorMode::Read);
  if (mode == EditorMode::Read) {
    // Read-only text still shows a caret and lets the keyboard select.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
  SetWrapAtWindowEdge(true);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this,
          [this] { emit caretMoved(CaretLine(), CaretColumn()); });
}

void MailEditor::SetWrapAtWindowEdge(bool wrap) {
  setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool MailEditor::WrapsAtWindowEdge() const { return lineWrapMode() == QPlainTextEdit::WidgetWidth; }

void MailEditor::ApplyFontSettings(const Profile& profile, std::string_view section) {
  QFont font = FontFromSettings(profile, section, {"ＭＳ ゴシック", -16});
  font.setStyleHint(QFont::TypeWriter);
  setFont(font);
}

bool MailEditor::IsCommandEnabled(int id) const {
  namespace cmd = editor_command;
  const bool editable = !isReadOnly();
  const bool selection = textCursor().hasSelection();
  switch (id) {
    case cmd::kUndo: return editable && document()->isUndoAvailable();
    case cmd::kCut: return editable && selection;
    case cmd::kCopy: return selection;
    case cmd::kPaste: return editable && canPaste();
    case cmd::kFind: return true;
    case cmd::kRepeatFind: return !find_text_.isEmpty();
    case cmd::kReplace: return editable;
    case cmd::kSelectAll: return !document()->isEmpty();
    case cmd::kExtendSelectionToEnd: return true;
    default: return false;
  }
}

bool MailEditor::RunCommand(int id) {
  namespace cmd = editor_command;
  if (!IsCommandEnabled(id)) return false;
  switch (id) {
    case cmd::kUndo: undo(); return true;
    case cmd::kCut: cut(); return true;
    case cmd::kCopy: copy(); return true;
    case cmd::kPaste: paste(); return true;
    case cmd::kFind: AskAndFind(); return true;
    case cmd::kRepeatFind: return FindNext();
    case cmd::kReplace: AskAndReplace(); return true;
    case cmd::kSelectAll: selectAll(); return true;
    case cmd::kExtendSelectionToEnd: {
      QTextCursor cursor = textCursor();
      cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      setTextCursor(cursor);
      return true;
    }
    default: return false;
  }
}

int MailEditor::CaretLine() const { return textCursor().blockNumber() + 1; }

int MailEditor::CaretColumn() const { return textCursor().positionInBlock() + 1; }

QString MailEditor::CaretPositionText() const {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", CaretColumn(), CaretLine());
  return QString::fromLatin1(text);
}

void MailEditor::MoveCaret(int line, int column, bool extend_selection) {
  QTextBlock block = document()->findBlockByNumber(std::clamp(line, 1, document()->blockCount()) - 1);
  const int offset = std::clamp(column, 1, block.length()) - 1;
  QTextCursor cursor = textCursor();
  cursor.setPosition(block.position() + offset,
                     extend_selection ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
  setTextCursor(cursor);
}

QString MailEditor::LineText(int line) const {
  const QTextBlock block = document()->findBlockByNumber(line - 1);
  return block.isValid() ? block.text() : QString();
}

int MailEditor::LineOfIndex(int index) const {
  if (index < 0) return CaretLine();
  return document()->findBlock(index).blockNumber() + 1;
}

int MailEditor::FirstIndexOfLine(int line) const {
  const QTextBlock block = document()->findBlockByNumber(line - 1);
  return block.isValid() ? block.position() : -1;
}

int MailEditor::SelectionStart() const { return textCursor().selectionStart(); }

int MailEditor::SelectionLength() const {
  const QTextCursor cursor = textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void MailEditor::SetSelection(int start, int length) {
  const int end_of_text = document()->characterCount() - 1;
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(start, 0, end_of_text));
  cursor.setPosition(std::clamp(start + length, 0, end_of_text), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

void MailEditor::ReplaceSelection(const QString& text) { textCursor().insertText(text); }

bool MailEditor::FindNext() {
  if (find_text_.isEmpty()) return false;
  if (find(find_text_)) return true;
  // Past the last one the search starts again at the top.
  QTextCursor from_top = textCursor();
  from_top.movePosition(QTextCursor::Start);
  const QTextCursor found = document()->find(find_text_, from_top);
  if (found.isNull()) return false;
  setTextCursor(found);
  return true;
}

void MailEditor::AskAndFind() {
  bool ok = false;
  const QString text = QInputDialog::getText(this, QString::fromUtf8(editor_text::kFindTitle),
                                             QString::fromUtf8(editor_text::kFindPrompt), QLineEdit::Normal,
                                             textCursor().hasSelection() ? textCursor().selectedText() : find_text_,
                                             &ok);
  if (!ok || text.isEmpty()) return;
  find_text_ = text;
  FindNext();
}

void MailEditor::AskAndReplace() {
  bool ok = false;
  const QString text = QInputDialog::getText(this, QString::fromUtf8(editor_text::kReplaceTitle),
                                             QString::fromUtf8(editor_text::kFindPrompt), QLineEdit::Normal,
                                             find_text_, &ok);
  if (!ok || text.isEmpty()) return;
  const QString replacement = QInputDialog::getText(this, QString::fromUtf8(editor_text::kReplaceTitle),
                                                    QString::fromUtf8(editor_text::kReplacePrompt),
                                                    QLineEdit::Normal, QString(), &ok);
  if (!ok) return;
  find_text_ = text;
  // Every occurrence, as one step to undo.
  QTextCursor edit(document());
  edit.beginEditBlock();
  QTextCursor found = document()->find(text, 0);
  while (!found.isNull()) {
    found.insertText(replacement);
    found = document()->find(text, found);
  }
  edit.endEditBlock();
}

QString MailEditor::WordAtPoint(const QPoint& viewport_position) const {
  const QTextCursor at = cursorForPosition(viewport_position);
  const QTextBlock block = at.block();
  const QString text = block.text();
  const int position = at.positionInBlock();
  // The point must lie on a character of a word, not beside one.
  if (position >= text.size() || WordClassOf(text[position]) == kNoWordClass) return {};
  const WordRange range = WordAt(text, position);
  return text.mid(range.start, range.end - range.start);
}

QMenu* MailEditor::CreateContextMenuAt(const QPoint& viewport_position) {
  namespace cmd = editor_command;
  const QTextCursor at = cursorForPosition(viewport_position);
  const QTextCursor current = textCursor();
  const bool inside_selection = current.hasSelection() && at.position() >= current.selectionStart() &&
                                at.position() <= current.selectionEnd();
  if (!inside_selection) setTextCursor(at);

  auto* menu = new QMenu(this);
  const auto add = [this, menu](const char* text, int id) {
    QAction* action = menu->addAction(QString::fromUtf8(text), this, [this, id] { RunCommand(id); });
    action->setData(id);
    action->setEnabled(IsCommandEnabled(id));
  };
  add(editor_text::kUndo, cmd::kUndo);
  menu->addSeparator();
  add(editor_text::kCut, cmd::kCut);
  add(editor_text::kCopy, cmd::kCopy);
  add(editor_text::kPaste, cmd::kPaste);
  menu->addSeparator();
  add(editor_text::kSelectAll, cmd::kSelectAll);
  add(editor_text::kFind, cmd::kFind);

  const QString word = WordAtPoint(viewport_position);
  if (!word.isEmpty()) {
    menu->addSeparator();
    QAction* copy_word = menu->addAction(MenuText(word, editor_text::kCopyWordSuffix), this,
                                         [word] { QApplication::clipboard()->setText(word); });
    copy_word->setData(cmd::kCopyWord);
    if (word.contains(QLatin1String("://"))) {
      QAction* open_word = menu->addAction(MenuText(word, editor_text::kOpenWordSuffix), this,
                                           [this, word] { emit openRequested(word); });
      open_word->setData(cmd::kOpenWord);
    }
  }
  return menu;
}

QVariant MailEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
  // The candidate window is placed from these rectangles in the editor's
  // own coordinates; the text is drawn in the viewport, which sits inside
  // the frame and any margins.
  switch (query) {
    case Qt::ImCursorRectangle:
      return QRectF(cursorRect()).translated(viewport()->pos());
    case Qt::ImAnchorRectangle: {
      QTextCursor anchor = textCursor();
      anchor.setPosition(anchor.anchor());
      return QRectF(cursorRect(anchor)).translated(viewport()->pos());
    }
    case Qt::ImFont:
      return font();
    default:
      return QPlainTextEdit::inputMethodQuery(query);
  }
}

void MailEditor::keyPressEvent(QKeyEvent* event) {
  emit keyActivity();
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  const std::optional<KeyCombination> combination = CombinationOf(event->key(), modifiers);
  const std::uint32_t virtual_key = combination ? combination->key : 0;
  const bool alt_or_ctrl = (modifiers & (Qt::AltModifier | Qt::ControlModifier)) != 0;
  if (!isReadOnly() && virtual_key < kVirtualKeyF1 && !alt_or_ctrl) {
    QPlainTextEdit::keyPressEvent(event);
    return;
  }
  const int key = event->key();
  if (mode_ == EditorMode::Read && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
    emit commandRequested(editor_command::kCloseView);
    event->accept();
    return;
  }
  if (combination && key_lookup_) {
    if (const std::uint32_t command = key_lookup_(*combination); command != 0) {
      emit commandRequested(static_cast<int>(command));
      event->accept();
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

void MailEditor::keyReleaseEvent(QKeyEvent* event) {
  emit keyActivity();
  QPlainTextEdit::keyReleaseEvent(event);
}

void MailEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    return;
  }
  const QTextCursor at = cursorForPosition(event->position().toPoint());
  const QTextBlock block = at.block();
  const WordRange range = WordAt(block.text(), at.positionInBlock());
  QTextCursor selection = textCursor();
  selection.setPosition(block.position() + range.start);
  selection.setPosition(block.position() + range.end, QTextCursor::KeepAnchor);
  setTextCursor(selection);
  event->accept();
  const QString word = selection.selectedText();
  if (open_urls_on_double_click_ &&
      (word.startsWith(QLatin1String("http://")) || word.startsWith(QLatin1String("https://")))) {
    emit openRequested(word);
  } else if (word.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) && word.size() > 7) {
    // A "mailto:" link always opens: it only prepares a compose window.
    emit openRequested(word);
  }
}

void MailEditor::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenuAt(event->pos());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
  event->accept();
}

}  // namespace lp
