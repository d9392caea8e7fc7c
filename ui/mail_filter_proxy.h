#pragma once

#include <QElapsedTimer>
#include <QSortFilterProxyModel>
#include <QString>
#include <QTimer>
#include <memory>
#include <unordered_map>

#include "store/mailbox_document.h"

// The view-only filter of a mail list: the rows of the box whose subject or
// name (and the body, when asked) hold a text under the search's Japanese
// folding, optionally only unread or labelled mails. The box is untouched.
// A new filter is worked out in short time slices on the event loop and
// shown in one step when every mail is decided; until then the previous
// filter stands. Decisions are kept by the record's serial, so sorting and
// moves keep them, and a mail that arrives while a filter is on is decided
// when it appears. A mail that stops matching (read, relabelled) stays in
// view until the filter changes, so the caret never jumps away from it.

namespace lp {

struct MailFilter {
  QString text;
  bool body = false;          // search the body too
  bool unread_only = false;
  bool labelled_only = false;

  [[nodiscard]] bool IsEmpty() const { return text.isEmpty() && !unread_only && !labelled_only; }
  bool operator==(const MailFilter&) const = default;
};

class MailFilterProxy final : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  // `source` is the box's list model: its rows are the box's records.
  MailFilterProxy(CLPOSTDoc& box, QAbstractItemModel& source, QObject* parent = nullptr);
  ~MailFilterProxy() override;

  // Starts working out `filter`; an empty filter shows every mail at once.
  void SetFilter(const MailFilter& filter);
  // The filter shown now.
  [[nodiscard]] const MailFilter& shown_filter() const { return shown_; }
  [[nodiscard]] bool IsFiltering() const { return !shown_.IsEmpty(); }
  // Whether a new filter is still being worked out.
  [[nodiscard]] bool IsWorking() const { return run_ != nullptr; }

  // Longest stretch of work done in one slice of the event loop.
  static constexpr int kSliceMs = 6;

 signals:
  // A filter is about to be shown (rows go and come), and is now shown.
  void filterAboutToApply();
  void filterApplied(int shown_rows);

 protected:
  [[nodiscard]] bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

 private:
  struct Run;
  void WorkSlice();
  void RestartRun();
  void ApplyShown();

  CLPOSTDoc& box_;
  MailFilter shown_;
  std::unique_ptr<Run> shown_run_;  // the shown filter's matcher and decisions
  std::unique_ptr<Run> run_;        // the filter being worked out
  QTimer slice_timer_;
};

}  // namespace lp
