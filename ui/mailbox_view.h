#pragma once

#include <QTimer>
#include <QWidget>

#include "platform/question_guard.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"

class QPlainTextEdit;
class QSplitter;
class QTreeView;

// The mailbox window's content: the mail list over the shared box document
// and, per [View] SplPos, a preview below or beside it. The preview follows
// the caret after a short pause, so holding an arrow key does not read
// every mail on the way.

namespace lp {

class MailListModel;
class MailListDelegate;

class MailboxView final : public QWidget {
  Q_OBJECT

 public:
  // The layout follows [View] SplPos: 0 list only, 1 list above the
  // preview, 2 list left of it. Column widths ([List]), colours and summary
  // mode ([System] ListMail) come from the settings too.
  // The view holds the box as long as it lives.
  MailboxView(BoxHandle box, Profile& profile, QWidget* parent = nullptr);
  ~MailboxView() override;

  [[nodiscard]] CLPOSTDoc& box() { return *handle_; }
  [[nodiscard]] MailListModel& model() { return *model_; }
  [[nodiscard]] MailListDelegate& delegate() { return *delegate_; }
  [[nodiscard]] QTreeView& list() { return *list_; }
  [[nodiscard]] QPlainTextEdit* preview() { return preview_; }
  [[nodiscard]] int split() const { return split_; }

  [[nodiscard]] int SelectionCount() const;
  [[nodiscard]] int CaretRow() const;
  // Puts the caret on `row` (-2: the last mail), selects it alone and shows it.
  void SetCaret(int row);
  // The list's font from [Font], when the user chose one.
  void ApplyListFont();
  // Waits for the answers about this box's browser page; its answers are
  // dropped once the window (and with it the box) is gone.
  [[nodiscard]] QuestionGuard& browser_questions() { return browser_questions_; }
  // The first pane's size along the split (for [View] Row or Col).
  [[nodiscard]] int FirstPaneSize() const;
  void SetFirstPaneSize(int size);

  // Preview pause after the caret moved.
  static constexpr int kPreviewDelayMs = 150;

 signals:
  void caretMoved(int row, int count);

 private:
  void ApplyColumnWidths();
  void StoreColumnWidth(int column, int width);
  void OnCurrentChanged();
  void ShowPreview();

  BoxHandle handle_;  // released after the model stopped observing the box
  CLPOSTDoc& box_;
  Profile& profile_;
  int split_;
  MailListModel* model_;
  MailListDelegate* delegate_;
  QTreeView* list_;
  QPlainTextEdit* preview_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QTimer preview_timer_;
  QuestionGuard browser_questions_;
};

}  // namespace lp
