// The main window's search commands: the dialog and the search of the
// active box (on this thread, with its progress window), the next and
// previous match in it, and the walk over every box on a worker thread
// from the start, after the last match, or from the next box. The walks
// over every box (this search and the text export) start here: they see
// open boxes as their documents hold them and wait for jobs on open boxes.

#include <QMdiSubWindow>
#include <QStringList>
#include <QTreeView>

#include "app/command_ids.h"
#include "rules/mail_search.h"
#include "rules/rules_messages.h"
#include "store/box_list.h"
#include "store/box_walk.h"
#include "store/store_messages.h"
#include "ui/desktop_session.h"
#include "ui/find_dialog.h"
#include "ui/find_messages.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/sjis_qt.h"
#include "ui/skippable_worker_run.h"
#include "ui/text_export_messages.h"

namespace lp {

namespace {

QStringList LabelNames(const AppSettings& settings) {
  QStringList names;
  for (std::size_t i = 1; i < settings.labels.size(); ++i) names << FromSjis(settings.labels[i].name);
  return names;
}

// Shows the result of a search of one box.
void ShowBoxSearchResult(MailboxView& view, int found, UserInterface& ui) {
  if (found >= 0) {
    view.SetCaret(found);
    view.list().setFocus();
  } else if (found == kSearchNotFound) {
    ui.Inform(kSearchFoundNothing);
  }
}

}  // namespace

bool MainWindow::AskSearchCondition(bool all_boxes) {
  FindDialog dialog(session_.profile(), LabelNames(session_.app().settings()), all_boxes, this);
  return dialog.exec() == QDialog::Accepted;
}

void MainWindow::SearchActiveBox(std::optional<SearchDirection> step) {
  MailboxView* view = ActiveMailbox();
  if (view == nullptr) return;
  const SearchCondition condition = SearchCondition::Load(session_.profile());
  CLPOSTDoc& box = view->box();
  int start = SearchStartIndex(box, condition);
  SearchDirection direction = condition.backward ? SearchDirection::Backward : SearchDirection::Forward;
  if (step) {
    // From the mail after (before) the caret's; from the first (last)
    // mail when there is no caret.
    direction = *step;
    const int caret = view->CaretRow();
    if (direction == SearchDirection::Forward) {
      start = caret >= 0 ? caret + 1 : 0;
    } else {
      start = caret >= 0 ? caret - 1 : box.Count() - 1;
    }
  }
  if (start < 0 || start >= box.Count()) {
    session_.ui().Inform(kSearchFoundNothing);
    return;
  }
  ShowBoxSearchResult(*view, SearchBox(box, start, direction, condition, session_.ui()), session_.ui());
}

void MainWindow::SearchEveryBoxFrom(std::size_t box, int mail) {
  std::shared_ptr<BoxWalkSources> boxes = PlanBoxWalk();
  if (!boxes) return;
  const std::size_t count = boxes->box_list().size();
  const SearchCondition condition = SearchCondition::Load(session_.profile());
  auto result = std::make_shared<BoxSearchResult>();
  const Profile& profile = session_.profile();
  const BoxSearchPosition start{box, mail};
  const auto work = [result, boxes, start, condition, &profile](SkippableProgress& progress) {
    *result = SearchAllBoxes(*boxes, start, condition, profile, &progress);
  };
  StartBoxWalk(ui_text::kSearchingTitle, ui_text::kSearchingText, work, [this, count, result] {
    if (!result->not_searched.empty()) {
      session_.ui().ShowMessage(NotSearchedMessage(static_cast<int>(result->not_searched.size())));
    }
    switch (result->outcome) {
      case BoxSearchOutcome::Found:
        ShowFoundMail(*result);
        return;
      case BoxSearchOutcome::NotFound:
        // A repeated command reports at once that nothing is left.
        search_box_ = count;
        search_mail_ = 0;
        session_.ui().Inform(kSearchFoundNothing);
        return;
      case BoxSearchOutcome::Failed:
        session_.ui().ShowMessage(result->message);
        return;
      case BoxSearchOutcome::Cancelled:
        return;
    }
  });
}

void MainWindow::ShowFoundMail(const BoxSearchResult& found) {
  search_box_ = found.position.box;
  search_mail_ = found.position.mail;
  MailboxView* view = OpenMailbox(found.path);
  if (view == nullptr) return;
  if (auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget()); window && window->isMinimized()) {
    window->showNormal();
  }
  CLPOSTDoc& box = view->box();
  if (box.IsBusy()) {
    session_.ui().ShowMessage(std::string(store_messages::kBoxBusy) + box.PathName());
    return;
  }
  // The mail by its identity: the box may have been sorted or changed
  // since the walk saw it.
  const int row = RowOfWalkedMail(box, found.mail);
  if (row < 0) {
    session_.ui().ShowMessage(kSearchFoundNothing);
    return;
  }
  search_mail_ = row;
  view->SetCaret(row);
  view->list().setFocus();
}

SkippableWorkerRun& MainWindow::Walk() {
  if (walk_ == nullptr) walk_ = new SkippableWorkerRun(this, session_.jobs());
  return *walk_;
}

std::shared_ptr<BoxWalkSources> MainWindow::PlanBoxWalk() {
  SkippableWorkerRun& walk = Walk();
  if (walk.IsRunning()) {
    session_.ui().ShowMessage(ToSjis(QString::fromUtf8(ui_text::kWalkRunning)));
    if (QDialog* shown = walk.progress_window()) shown->raise();
    return nullptr;
  }
  OpenBoxRegistry& registry = session_.registry();
  std::vector<std::string> list = BuildBoxList(session_.app().data_directory());
  // A job holding an open box (a compaction rewriting it, an import) would
  // change its files under the walk. A receive only appends to its box's
  // text file, which leaves every record the walk copies as it is.
  for (const std::string& path : list) {
    const CLPOSTDoc* open = registry.Find(path);
    if (open != nullptr && open->IsBusy()) {
      session_.ui().ShowMessage(std::string(store_messages::kBoxBusy) + open->PathName());
      return nullptr;
    }
  }
  return std::make_shared<BoxWalkSources>(BoxWalkSources::Plan(std::move(list), &registry));
}

void MainWindow::StartBoxWalk(const char* title, const char* text, std::function<void(SkippableProgress&)> work,
                              std::function<void()> done) {
  session_.registry().BeginWalk();
  const bool started = Walk().Start(title, text, std::move(work), [this, done = std::move(done)] {
    session_.registry().EndWalk();
    done();
  });
  if (!started) session_.registry().EndWalk();
}

void MainWindow::RegisterSearchHandlers() {
  router_.Register(cmd::kFindInBox, [this] {
    if (ActiveMailbox() != nullptr && AskSearchCondition(false)) SearchActiveBox(std::nullopt);
  });
  router_.Register(cmd::kFindNextInBox, [this] { SearchActiveBox(SearchDirection::Forward); });
  router_.Register(cmd::kFindPreviousInBox, [this] { SearchActiveBox(SearchDirection::Backward); });
  router_.Register(cmd::kFindAll, [this] {
    if (AskSearchCondition(true)) SearchEveryBoxFrom(0, 0);
  });
  router_.Register(cmd::kFindAllNext, [this] { SearchEveryBoxFrom(search_box_, search_mail_ + 1); });
  router_.Register(cmd::kFindNextBox, [this] { SearchEveryBoxFrom(search_box_ + 1, 0); });
}

}  // namespace lp
