#pragma once

#include <QPoint>
#include <map>
#include <memory>

class QAbstractItemView;
class QAction;
class QMenu;

// The menu a right click on a mail list opens: the commands on the mails
// shown there, as the main window's actions (so with their enabled state
// and keys).

namespace lp {

[[nodiscard]] std::unique_ptr<QMenu> MailListMenu(const std::map<int, QAction*>& actions);
// Opens it at `at` (viewport coordinates of `list`) until the user chooses.
void ShowMailListMenu(QAbstractItemView& list, const QPoint& at, const std::map<int, QAction*>& actions);

}  // namespace lp
