#pragma once

#include <QTimer>
#include <QWidget>

#include "platform/question_guard.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "ui/mail_list_model.h"

class QLabel;
class QPlainTextEdit;
class QSplitter;
class QTreeView;

// The mailbox window's content: the mail list over the shared box document
// and, per [View] SplPos, a preview below or beside it. The preview follows
// the caret after a short pause, so holding an arrow key does not read
// every mail on the way (nor, with [View] PreRead, mark them read).

namespace lp {

class MailListDelegate;
class MailFilterBar;
class MailFilterProxy;

class MailboxView final : public QWidget, private MailboxObserver {
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

  // The filter bar above the list (Ctrl+Shift+F, or "/" typed in the list)
  // narrows the list's rows; the box keeps every mail. Rows below are the
  // box's rows; the list's indexes map through these.
  [[nodiscard]] MailFilterProxy& filter() { return *proxy_; }
  [[nodiscard]] MailFilterBar& filter_bar() { return *filter_bar_; }
  void ShowFilterBar(const QString& typed = {});
  // Empties and hides the bar; the caret stays on its mail.
  void ClearFilter();
  // The box row of a list index (-1 for none), and the list index of a box
  // row (invalid when the filter hides it).
  [[nodiscard]] int BoxRowOf(const QModelIndex& list_index) const;
  [[nodiscard]] QModelIndex ListIndexOfRow(int row, int column = 0) const;

  [[nodiscard]] int SelectionCount() const;
  [[nodiscard]] int CaretRow() const;
  // Puts the caret on `row` (-2: the last mail), selects it alone and shows
  // it; a filter that hides the mail is cleared first.
  void SetCaret(int row);
  // The list's font from [Font], when the user chose one.
  void ApplyListFont();
  // The label names and colours; the list shows them at once, and the
  // label column (while the user has not sized it) is as wide as the
  // longest name.
  void SetLabels(const std::array<MailListModel::LabelStyle, 11>& labels);
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
  // The caret's mail in the preview, read with [View] PreRead.
  void ShowCaretMail();
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnFilterApplied();
  // While a job holds the box the list is disabled under a notice.
  void BusyChanged(const CLPOSTDoc& box, bool busy) override;

  BoxHandle handle_;  // released after the model stopped observing the box
  CLPOSTDoc& box_;
  Profile& profile_;
  int split_;
  MailListModel* model_;
  MailFilterProxy* proxy_;
  MailListDelegate* delegate_;
  MailFilterBar* filter_bar_;
  // The caret's mail when the bar opened, for when the filter hid it.
  quint64 serial_before_filter_ = 0;
  // The mail the user put the caret on while filtered (not one the list
  // moved it to when a filter hid the caret's mail).
  quint64 serial_picked_ = 0;
  bool applying_filter_ = false;
  bool applying_widths_ = false;  // widths set by the program are not stored
  QTreeView* list_;
  QLabel* busy_notice_;
  QPlainTextEdit* preview_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QTimer preview_timer_;
  QuestionGuard browser_questions_;
};

}  // namespace lp
