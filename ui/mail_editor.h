#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <cstdint>
#include <functional>

#include "config/key_table.h"
#include "config/profile.h"

class QMenu;

// The text editor of the read view, the preview pane and the compose
// window: a plain-text editor with the operations those views use. The
// numbered editor commands run by id; keys that the editor does not take
// go through the key table to the main window as commands; the right-click
// menu names the word under the mouse. The input method's candidate window
// follows the caret.

namespace lp {

namespace editor_command {
inline constexpr int kUndo = 57643;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kFind = 57636;
inline constexpr int kRepeatFind = 57640;
inline constexpr int kReplace = 57641;
inline constexpr int kSelectAll = 57642;
inline constexpr int kExtendSelectionToEnd = 32809;
// Items of the right-click menu for the word under the mouse.
inline constexpr int kCopyWord = 32954;
inline constexpr int kOpenWord = 32955;
// Posted by Enter and Escape in a read view.
inline constexpr int kCloseView = 32922;
}  // namespace editor_command

enum class EditorMode {
  Read,     // read view and preview: read only
  Compose,  // compose window: editable
};

class MailEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit MailEditor(EditorMode mode, QWidget* parent = nullptr);

  [[nodiscard]] EditorMode mode() const { return mode_; }
  // True: lines wrap at the window edge; false: no wrapping.
  void SetWrapAtWindowEdge(bool wrap);
  [[nodiscard]] bool WrapsAtWindowEdge() const;

  // The font of a settings section ("EFont" for reading, "SFont" for
  // composing): FaceName, Size (a negative value is a pixel height, as
  // stored font settings keep it; a positive one is points),
  // Weight, Italic and Underline.
  void ApplyFontSettings(const Profile& profile, std::string_view section);

  // Runs an editor command by id; false for an id the editor does not know
  // or a command that is not available now.
  bool RunCommand(int id);
  [[nodiscard]] bool IsCommandEnabled(int id) const;

  // Caret line and column, both from 1.
  [[nodiscard]] int CaretLine() const;
  [[nodiscard]] int CaretColumn() const;
  // "%02d:%02d" of the caret's column and line, as the status bar shows it.
  [[nodiscard]] QString CaretPositionText() const;
  // Moves the caret to a line and column (from 1, clamped to the text),
  // extending the selection when asked.
  void MoveCaret(int line, int column, bool extend_selection = false);
  // The text of line `line` (from 1), without its line break.
  [[nodiscard]] QString LineText(int line) const;
  // The line (from 1) holding character `index`; -1 asks for the caret's.
  [[nodiscard]] int LineOfIndex(int index) const;
  // The character index at which line `line` (from 1) starts.
  [[nodiscard]] int FirstIndexOfLine(int line) const;
  // Selection start and length in characters.
  [[nodiscard]] int SelectionStart() const;
  [[nodiscard]] int SelectionLength() const;
  void SetSelection(int start, int length);
  // Replaces the selection (or inserts at the caret).
  void ReplaceSelection(const QString& text);

  // Text searched by the find commands; RepeatFind finds the next one.
  void SetFindText(const QString& text) { find_text_ = text; }
  [[nodiscard]] const QString& FindText() const { return find_text_; }

  // The command a key combination is bound to in the key table (0: none).
  using KeyLookup = std::function<std::uint32_t(const KeyCombination&)>;
  void SetKeyLookup(KeyLookup lookup) { key_lookup_ = std::move(lookup); }
  // Double-clicking a web address opens it ("System"/"Url"); a "mailto:"
  // address always asks to open (a compose window).
  void SetOpenUrlsOnDoubleClick(bool open) { open_urls_on_double_click_ = open; }

  // The right-click menu for a point of the viewport (the caret moves
  // there unless the point lies inside the selection). The caller owns it.
  [[nodiscard]] QMenu* CreateContextMenuAt(const QPoint& viewport_position);
  // The word under a point of the viewport; empty where no word is.
  [[nodiscard]] QString WordAtPoint(const QPoint& viewport_position) const;

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 signals:
  // A command for the main window: a key bound in the key table, or
  // Enter/Escape in a read view (kCloseView).
  void commandRequested(int command);
  // A web address or "mailto:" link to open.
  void openRequested(const QString& address);
  // The caret moved: the status bar shows CaretPositionText().
  void caretMoved(int line, int column);
  // A key went down or up (the function-key bar follows the modifiers).
  void keyActivity();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  bool FindNext();
  void AskAndFind();
  void AskAndReplace();

  EditorMode mode_;
  KeyLookup key_lookup_;
  QString find_text_;
  bool open_urls_on_double_click_ = false;
};

}  // namespace lp
