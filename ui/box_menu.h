#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;

// The "文書BOX" menu's own part, filled each time the menu opens: the fixed
// boxes shown as the settings say (the sent box with SmailDone, the draft
// box with Draft, the trash box with Trash), each checked while its box has
// unread mail, then one item per box file found under the data directory,
// numbered from command 20000 in the sorted box list, folders becoming
// submenus.

namespace lp {

class DesktopSession;

class BoxMenu final : public QObject {
  Q_OBJECT

 public:
  using RunCommand = std::function<void(int command)>;

  // `actions`: the main window's actions by command; `run` runs a box
  // item's command through the router.
  BoxMenu(QMenu& menu, DesktopSession& session, const std::map<int, QAction*>& actions, RunCommand run);

  void Refill();
  // The box file behind command `id` (Shift_JIS), or empty.
  [[nodiscard]] std::string BoxFileOf(int id) const;
  [[nodiscard]] const std::vector<std::string>& box_files() const { return box_files_; }

 private:
  void ShowFixedBoxes();

  QMenu& menu_;
  DesktopSession& session_;
  const std::map<int, QAction*>& actions_;
  RunCommand run_;
  std::vector<std::string> box_files_;
  QAction* separator_ = nullptr;
  std::vector<QObject*> added_;  // top-level actions and submenus of the last fill
};

}  // namespace lp
