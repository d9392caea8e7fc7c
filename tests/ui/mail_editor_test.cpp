#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <memory>
#include <vector>

#include "config/profile.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "ui/editor_words.h"
#include "ui/mail_editor.h"

// The mail editor: word selection by character classes, the right-click
// menu, key routing, the editor commands and the input method's pre-edit
// and commit.

namespace lp {
namespace {

namespace cmd = editor_command;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct WordCase {
  const char* text;
  int position;
  const char* word;
};

TEST(EditorWords, RunsOfOneCharacterClass) {
  const WordCase cases[] = {
      {"see http://example.jp/a?b=c&d=%41 now", 10, "http://example.jp/a?b=c&d=%41"},
      {"see http://example.jp/a?b=c now", 0, "see"},
      {"漢字のかな", 1, "漢字"},
      {"漢字のかな", 2, "のかな"},
      {"サーバーです", 0, "サーバー"},
      {"ｻｰﾊﾞｰ です", 2, "ｻｰﾊﾞｰ"},
      {"価格１２３円", 3, "１２３"},
      {"ＡＢＣ１", 0, "ＡＢＣ"},
      {"「引用」", 0, "「"},
      {"mail@example.jp。", 3, "mail@example.jp"},
      // At the end of a run, and after it, the word before counts.
      {"word", 4, "word"},
      {"word ", 4, "word"},
      {"", 0, ""},
  };
  for (const WordCase& c : cases) {
    const QString text = U(c.text);
    const WordRange range = WordAt(text, c.position);
    EXPECT_EQ(text.mid(range.start, range.end - range.start), U(c.word)) << c.text << " @" << c.position;
  }
}

// An editor with margins around its text, as a host with a line-number
// column or a border would set them.
class MarginEditor : public MailEditor {
 public:
  using MailEditor::MailEditor;
  using MailEditor::setViewportMargins;
};

class MailEditorTest : public ::testing::Test {
 protected:
  std::unique_ptr<MailEditor> Editor(EditorMode mode, const QString& text) {
    auto editor = std::make_unique<MarginEditor>(mode);
    editor->resize(480, 240);
    editor->setPlainText(text);
    editor->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    return editor;
  }

  // A point of the viewport in the middle of the character at `index`
  // (the next one on the same line).
  static QPoint PointAt(MailEditor& editor, int index) {
    QTextCursor cursor(editor.document());
    cursor.setPosition(index);
    const QRect before = editor.cursorRect(cursor);
    cursor.setPosition(index + 1);
    const QRect after = editor.cursorRect(cursor);
    return QPoint((before.left() + after.left()) / 2, before.center().y());
  }

  static std::vector<std::pair<QString, int>> MenuEntries(QMenu& menu) {
    std::vector<std::pair<QString, int>> entries;
    for (QAction* action : menu.actions()) {
      if (!action->isSeparator()) entries.emplace_back(action->text(), action->data().toInt());
    }
    return entries;
  }
};

TEST_F(MailEditorTest, DoubleClickSelectsTheUrlAndOpensItWhenAsked) {
  const QString text = U("詳細は http://example.jp/q?a=1&b=2 を参照");
  for (const bool open : {false, true}) {
    auto editor = Editor(EditorMode::Read, text);
    editor->SetOpenUrlsOnDoubleClick(open);
    QSignalSpy opened(editor.get(), &MailEditor::openRequested);
    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, PointAt(*editor, 12));
    EXPECT_EQ(editor->textCursor().selectedText(), U("http://example.jp/q?a=1&b=2"));
    ASSERT_EQ(opened.count(), open ? 1 : 0);
    if (open) {
      EXPECT_EQ(opened.at(0).at(0).toString(), U("http://example.jp/q?a=1&b=2"));
    }

    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, {}, PointAt(*editor, 0));
    EXPECT_EQ(editor->textCursor().selectedText(), U("詳細"));
    EXPECT_EQ(opened.count(), open ? 1 : 0);
  }
}

TEST_F(MailEditorTest, RightClickMenuNamesTheWordUnderTheMouse) {
  auto editor = Editor(EditorMode::Read, U("会議は https://example.jp/x です\n二行目"));
  const std::vector<std::pair<QString, int>> standard = {
      {U("元に戻す(&U)"), cmd::kUndo},   {U("切り取り(&T)"), cmd::kCut},      {U("コピー(&C)"), cmd::kCopy},
      {U("貼り付け(&P)"), cmd::kPaste},  {U("すべて選択(&A)"), cmd::kSelectAll}, {U("検索(&F)..."), cmd::kFind},
  };

  std::unique_ptr<QMenu> on_word(editor->CreateContextMenuAt(PointAt(*editor, 0)));
  auto expected = standard;
  expected.emplace_back(U("会議をコピー"), cmd::kCopyWord);
  EXPECT_EQ(MenuEntries(*on_word), expected);
  // A read view cannot cut or paste.
  for (QAction* action : on_word->actions()) {
    if (action->data().toInt() == cmd::kCut || action->data().toInt() == cmd::kPaste) {
      EXPECT_FALSE(action->isEnabled());
    }
  }
  on_word->actions().last()->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), U("会議"));

  // On a web address the caret moves there and the address can be opened.
  std::unique_ptr<QMenu> on_url(editor->CreateContextMenuAt(PointAt(*editor, 8)));
  EXPECT_EQ(editor->textCursor().position(), 8);
  expected = standard;
  expected.emplace_back(U("https://example.jp/xをコピー"), cmd::kCopyWord);
  expected.emplace_back(U("https://example.jp/xを開く"), cmd::kOpenWord);
  EXPECT_EQ(MenuEntries(*on_url), expected);
  QSignalSpy opened(editor.get(), &MailEditor::openRequested);
  on_url->actions().last()->trigger();
  ASSERT_EQ(opened.count(), 1);
  EXPECT_EQ(opened.at(0).at(0).toString(), U("https://example.jp/x"));

  // A selection that holds the point stays; a blank names no word.
  editor->SetSelection(0, 5);
  std::unique_ptr<QMenu> on_blank(editor->CreateContextMenuAt(PointAt(*editor, 3)));
  EXPECT_EQ(editor->SelectionLength(), 5);
  EXPECT_EQ(MenuEntries(*on_blank), standard);
}

TEST_F(MailEditorTest, KeysGoToTheEditorOrThroughTheKeyTable) {
  constexpr std::uint32_t kF5 = 116;
  const auto lookup = [](const KeyCombination& combination) -> std::uint32_t {
    if (combination == KeyCombination{kF5, false, false, false}) return 32887;
    if (combination == KeyCombination{'A', false, true, false}) return 32812;
    return 0;
  };
  struct Case {
    EditorMode mode;
    int key;
    Qt::KeyboardModifiers modifiers;
    int command;      // emitted, 0 for none
    QString text;     // the text afterwards
  };
  const std::vector<Case> cases = {
      {EditorMode::Read, Qt::Key_Escape, {}, cmd::kCloseView, U("abc")},
      {EditorMode::Read, Qt::Key_Return, {}, cmd::kCloseView, U("abc")},
      {EditorMode::Read, Qt::Key_F5, {}, 32887, U("abc")},
      {EditorMode::Read, Qt::Key_X, {}, 0, U("abc")},
      // Typing goes to an editable editor even when the key table binds it.
      {EditorMode::Compose, Qt::Key_Return, {}, 0, U("\nabc")},
      {EditorMode::Compose, Qt::Key_F5, {}, 32887, U("abc")},
      {EditorMode::Compose, Qt::Key_A, Qt::ControlModifier, 32812, U("abc")},
      {EditorMode::Compose, Qt::Key_Escape, {}, 0, U("abc")},
  };
  for (const Case& c : cases) {
    auto editor = Editor(c.mode, U("abc"));
    editor->SetKeyLookup(lookup);
    editor->moveCursor(QTextCursor::Start);
    QSignalSpy commands(editor.get(), &MailEditor::commandRequested);
    QTest::keyClick(editor.get(), static_cast<Qt::Key>(c.key), c.modifiers);
    ASSERT_EQ(commands.count(), c.command == 0 ? 0 : 1) << c.key;
    if (c.command != 0) {
      EXPECT_EQ(commands.at(0).at(0).toInt(), c.command) << c.key;
    }
    EXPECT_EQ(editor->toPlainText(), c.text) << c.key;
  }
}

TEST_F(MailEditorTest, EditorCommandsAndCaretPosition) {
  auto editor = Editor(EditorMode::Compose, U("一行目\n二行目の文\n三"));
  QSignalSpy moved(editor.get(), &MailEditor::caretMoved);
  editor->MoveCaret(2, 3);
  EXPECT_EQ(editor->CaretLine(), 2);
  EXPECT_EQ(editor->CaretColumn(), 3);
  EXPECT_EQ(editor->CaretPositionText(), U("03:02"));
  EXPECT_GE(moved.count(), 1);
  EXPECT_EQ(editor->LineText(2), U("二行目の文"));
  EXPECT_EQ(editor->FirstIndexOfLine(3), 10);
  EXPECT_EQ(editor->LineOfIndex(10), 3);
  EXPECT_EQ(editor->LineOfIndex(-1), 2);
  EXPECT_EQ(editor->SelectionStart(), 6);

  // Extend to the end, cut, undo, paste at the start.
  EXPECT_TRUE(editor->RunCommand(cmd::kExtendSelectionToEnd));
  EXPECT_EQ(editor->textCursor().selectedText(), U("目の文") + QChar(QChar::ParagraphSeparator) + U("三"));
  EXPECT_TRUE(editor->RunCommand(cmd::kCut));
  EXPECT_EQ(editor->toPlainText(), U("一行目\n二行"));
  EXPECT_TRUE(editor->RunCommand(cmd::kUndo));
  EXPECT_EQ(editor->toPlainText(), U("一行目\n二行目の文\n三"));
  editor->moveCursor(QTextCursor::Start);
  EXPECT_TRUE(editor->RunCommand(cmd::kPaste));
  EXPECT_EQ(editor->LineText(1), U("目の文"));
  EXPECT_TRUE(editor->document()->isModified());

  // Find again wraps at the end; select all; unknown ids do nothing.
  editor->SetFindText(U("行目"));
  EXPECT_TRUE(editor->RunCommand(cmd::kRepeatFind));
  EXPECT_EQ(editor->LineOfIndex(-1), 2);
  EXPECT_TRUE(editor->RunCommand(cmd::kRepeatFind));
  EXPECT_EQ(editor->LineOfIndex(-1), 3);
  EXPECT_TRUE(editor->RunCommand(cmd::kRepeatFind));
  EXPECT_EQ(editor->LineOfIndex(-1), 2);
  EXPECT_TRUE(editor->RunCommand(cmd::kSelectAll));
  EXPECT_EQ(editor->SelectionLength(), editor->document()->characterCount() - 1);
  EXPECT_FALSE(editor->RunCommand(12345));

  editor->ReplaceSelection(U("置換"));
  EXPECT_EQ(editor->toPlainText(), U("置換"));

  auto reader = Editor(EditorMode::Read, U("text"));
  reader->selectAll();
  EXPECT_TRUE(reader->IsCommandEnabled(cmd::kCopy));
  EXPECT_FALSE(reader->IsCommandEnabled(cmd::kCut));
  EXPECT_FALSE(reader->IsCommandEnabled(cmd::kPaste));
  EXPECT_FALSE(reader->RunCommand(cmd::kReplace));
}

TEST_F(MailEditorTest, InputMethodPreeditCommitAndCandidatePlacement) {
  auto editor = Editor(EditorMode::Compose, U("宛先へ\n"));
  // A margin, as a compose body with a border has, moves the viewport.
  static_cast<MarginEditor&>(*editor).setViewportMargins(30, 10, 0, 0);
  editor->setFocus();
  editor->moveCursor(QTextCursor::End);
  EXPECT_TRUE(editor->inputMethodQuery(Qt::ImEnabled).toBool());

  const auto caret_in_editor = [&] {
    const QRect caret = editor->cursorRect();
    return QRectF(editor->viewport()->mapTo(editor.get(), caret.topLeft()), QSizeF(caret.size()));
  };
  EXPECT_EQ(editor->inputMethodQuery(Qt::ImCursorRectangle).toRectF(), caret_in_editor());

  QList<QInputMethodEvent::Attribute> attributes;
  attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 3, 1, QVariant());
  QInputMethodEvent preedit(U("にほん"), attributes);
  QApplication::sendEvent(editor.get(), &preedit);
  // The pre-edit text is shown, not yet part of the mail.
  EXPECT_EQ(editor->toPlainText(), U("宛先へ\n"));
  EXPECT_EQ(editor->inputMethodQuery(Qt::ImCursorRectangle).toRectF(), caret_in_editor());

  QInputMethodEvent commit;
  commit.setCommitString(U("日本"));
  QApplication::sendEvent(editor.get(), &commit);
  EXPECT_EQ(editor->toPlainText(), U("宛先へ\n日本"));
  EXPECT_EQ(editor->CaretPositionText(), U("03:02"));
  const QRectF after = editor->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
  EXPECT_EQ(after, caret_in_editor());
  EXPECT_GT(after.top(), 10);
  EXPECT_GT(after.left(), 30);

  EXPECT_TRUE(editor->RunCommand(cmd::kUndo));
  EXPECT_EQ(editor->toPlainText(), U("宛先へ\n"));
}

TEST_F(MailEditorTest, FontFromTheSettingsAndWrapping) {
  testing::TempDirectory dir;
  testing::WriteFileBytes(dir.File("lpost.conf"),
                          "[SFont]\r\nFaceName=Noto Sans Mono CJK JP\r\nSize=-20\r\nWeight=700\r\nItalic=1\r\n");
  Profile profile(dir.File("lpost.conf"));
  auto editor = Editor(EditorMode::Compose, U("x"));
  editor->ApplyFontSettings(profile, "SFont");
  EXPECT_EQ(editor->font().family(), U("Noto Sans Mono CJK JP"));
  EXPECT_EQ(editor->font().pixelSize(), 20);
  EXPECT_EQ(editor->font().weight(), QFont::Bold);
  EXPECT_TRUE(editor->font().italic());
  EXPECT_FALSE(editor->font().underline());

  EXPECT_TRUE(editor->WrapsAtWindowEdge());
  editor->SetWrapAtWindowEdge(false);
  EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
}

}  // namespace
}  // namespace lp
