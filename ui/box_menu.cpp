#include "ui/box_menu.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "app/command_ids.h"
#include "store/box_list.h"
#include "store/unread_mark.h"
#include "ui/desktop_session.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

// The text after the last '/' without its ".lp" ('/' is never a trail
// byte of Shift_JIS).
QString EntryName(std::string_view path) {
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() > 3 && name.substr(name.size() - 3) == ".lp") name.remove_suffix(3);
  return FromSjis(name);
}

std::string ParentOf(std::string_view path) {
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace

BoxMenu::BoxMenu(QMenu& menu, DesktopSession& session, const std::map<int, QAction*>& actions, RunCommand run)
    : QObject(&menu), menu_(menu), session_(session), actions_(actions), run_(std::move(run)) {
  connect(&menu_, &QMenu::aboutToShow, this, &BoxMenu::Refill);
}

void BoxMenu::ShowFixedBoxes() {
  const AppSettings& settings = session_.app().settings();
  struct Fixed {
    int command;
    const std::string& file;
    bool shown;
  };
  const Fixed fixed[] = {{cmd::kOpenReceiveBox, settings.default_file, true},
                         {cmd::kOpenSendBox, settings.send_file, true},
                         {cmd::kOpenSentBox, settings.send_done_file, settings.smail_done},
                         {cmd::kOpenDraftBox, settings.draft_file, settings.draft},
                         {cmd::kOpenTrashBox, settings.trash_file, settings.trash}};
  for (const Fixed& box : fixed) {
    const auto found = actions_.find(box.command);
    if (found == actions_.end()) continue;
    QAction* action = found->second;
    action->setVisible(box.shown);
    action->setCheckable(true);
    action->setChecked(ReadUnreadMark(session_.profile(), session_.AbsoluteBoxPath(box.file)) == 1);
  }
}

void BoxMenu::Refill() {
  ShowFixedBoxes();
  for (QObject* old : added_) delete old;
  added_.clear();
  if (separator_ == nullptr) separator_ = menu_.addSeparator();
  box_files_ = BuildBoxList(session_.app().data_directory());
  std::map<std::string, QMenu*> folders;  // by path with its trailing '/'
  const int count = static_cast<int>(std::min<std::size_t>(box_files_.size(), cmd::kLastBoxFile - cmd::kFirstBoxFile + 1));
  for (int i = 0; i < count; ++i) {
    const std::string& path = box_files_[static_cast<std::size_t>(i)];
    const auto parent = folders.find(ParentOf(path));
    QMenu* into = parent == folders.end() ? &menu_ : parent->second;
    if (!path.empty() && path.back() == '/') {
      QMenu* submenu = into->addMenu(EntryName(path));
      // A nested submenu goes with its parent.
      if (into == &menu_) added_.push_back(submenu);
      folders[path] = submenu;
      continue;
    }
    QAction* action = into->addAction(EntryName(path));
    action->setData(cmd::kFirstBoxFile + i);
    if (into == &menu_) added_.push_back(action);
    const int command = cmd::kFirstBoxFile + i;
    connect(action, &QAction::triggered, this, [this, command] { run_(command); });
  }
}

std::string BoxMenu::BoxFileOf(int id) const {
  const int index = id - cmd::kFirstBoxFile;
  return index >= 0 && index < static_cast<int>(box_files_.size()) ? box_files_[static_cast<std::size_t>(index)]
                                                                   : std::string();
}

}  // namespace lp
