#include "ui/mail_filter_proxy.h"

#include <optional>

#include "rules/mail_search.h"
#include "ui/sjis_qt.h"

namespace lp {

// One filter's matcher and its decisions by serial.
struct MailFilterProxy::Run {
  Run(const MailFilter& wanted, const CLPOSTDoc& box) : filter(wanted), text_path(box.TextFilePath()) {
    if (filter.text.isEmpty()) return;
    SearchCondition condition;
    condition.text = ToSjis(filter.text);
    condition.field = SearchField::Subject;
    // The search's folding: width, case and kana, so "ﾃｽﾄ" finds "テスト".
    condition.fold_width = true;
    condition.fold_case = true;
    condition.fold_kana = true;
    condition.fold_small = false;
    matcher.emplace(condition);
    if (filter.body) OpenTexts();
  }

  bool Decide(const CMail& mail) {
    if (filter.unread_only && !mail.IsUnread()) return false;
    if (filter.labelled_only && mail.label <= 0) return false;
    if (!matcher) return true;
    // The filter's text is plain (never a regular expression), so every
    // field gets an answer.
    const auto matches = [](MailMatch match) { return match == MailMatch::Yes; };
    if (matches(matcher->TextMatches(mail.subject))) return true;
    // The name column's mail: the sender, or the recipient of outgoing mail.
    if (matches(matcher->TextMatches(mail.from)) || (mail.IsOutgoing() && matches(matcher->TextMatches(mail.to)))) {
      return true;
    }
    if (!filter.body) return false;
    std::string error;
    if (texts && matches(texts->BodyMatches(mail, *matcher, &error))) return true;
    if (error.empty() && texts) return false;
    // The text file grew (mail received while filtering) or was not there
    // yet: open it again once for this mail.
    OpenTexts();
    return texts && matches(texts->BodyMatches(mail, *matcher, nullptr));
  }

  void OpenTexts() {
    texts = std::make_unique<SearchedTexts>();
    if (!texts->Open(text_path)) texts.reset();
  }

  bool DecideOnce(const CMail& mail) {
    const auto found = decided.find(mail.serial);
    if (found != decided.end()) return found->second;
    const bool accepted = Decide(mail);
    decided.emplace(mail.serial, accepted);
    return accepted;
  }

  MailFilter filter;
  std::string text_path;
  std::optional<MailMatcher> matcher;
  std::unique_ptr<SearchedTexts> texts;  // the bodies, when the filter reads them
  std::unordered_map<quint64, bool> decided;
  int cursor = 0;
};

MailFilterProxy::MailFilterProxy(CLPOSTDoc& box, QAbstractItemModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), box_(box) {
  setSourceModel(&source);
  // Rows follow the box's order; the box sorts itself.
  setDynamicSortFilter(true);
  slice_timer_.setInterval(0);
  connect(&slice_timer_, &QTimer::timeout, this, &MailFilterProxy::WorkSlice);
  // A change of rows while a filter is worked out: go over the rows again,
  // the mails decided so far are kept.
  connect(&source, &QAbstractItemModel::rowsInserted, this, &MailFilterProxy::RestartRun);
  connect(&source, &QAbstractItemModel::rowsRemoved, this, &MailFilterProxy::RestartRun);
  connect(&source, &QAbstractItemModel::layoutChanged, this, &MailFilterProxy::RestartRun);
  // A reload gives new serials: every decision is made again, in slices
  // as usual, while the reloaded list shows every mail.
  connect(&source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    if (run_) {
      run_->decided.clear();
      run_->cursor = 0;
    } else if (shown_run_) {
      run_ = std::make_unique<Run>(shown_run_->filter, box_);
      slice_timer_.start();
    }
    shown_run_.reset();
    shown_ = {};
  });
}

MailFilterProxy::~MailFilterProxy() = default;

void MailFilterProxy::SetFilter(const MailFilter& filter) {
  if (run_ && run_->filter == filter) return;
  if (!run_ && filter == shown_) return;
  run_.reset();
  slice_timer_.stop();
  if (filter.IsEmpty()) {
    // Every mail shows at once.
    shown_ = filter;
    shown_run_.reset();
    ApplyShown();
    emit filterApplied(rowCount());
    return;
  }
  run_ = std::make_unique<Run>(filter, box_);
  slice_timer_.start();
}

void MailFilterProxy::ApplyShown() {
  emit filterAboutToApply();
  // One layout change: row-by-row removals of tens of thousands of
  // scattered rows would each reach the view and the persistent indexes.
  invalidate();
}

void MailFilterProxy::RestartRun() {
  if (run_) run_->cursor = 0;
}

void MailFilterProxy::WorkSlice() {
  if (!run_) {
    slice_timer_.stop();
    return;
  }
  QElapsedTimer clock;
  clock.start();
  const int count = box_.Count();
  while (run_->cursor < count) {
    // The clock is read every few mails: reading it costs more than a
    // header match.
    for (int i = 0; i < 64 && run_->cursor < count; ++i, ++run_->cursor) {
      if (const CMail* mail = box_.RecordAt(run_->cursor)) (void)run_->DecideOnce(*mail);
    }
    if (clock.elapsed() >= kSliceMs) return;
  }
  slice_timer_.stop();
  shown_ = run_->filter;
  shown_run_ = std::move(run_);
  ApplyShown();
  emit filterApplied(rowCount());
}

bool MailFilterProxy::filterAcceptsRow(int source_row, const QModelIndex& source_parent) const {
  if (source_parent.isValid() || !shown_run_) return true;
  const CMail* mail = box_.RecordAt(source_row);
  return mail != nullptr && shown_run_->DecideOnce(*mail);
}

}  // namespace lp
