#include "ui/mail_list_menu.h"

#include <QAbstractItemView>
#include <QMenu>

#include "app/command_ids.h"

namespace lp {
namespace {

// 0 stands for a separator.
constexpr int kMenuCommands[] = {
    cmd::kOpenMail,   cmd::kReply,         cmd::kForward,     cmd::kEditMail,      0,
    cmd::kMarkRead,   cmd::kMarkUnread,    cmd::kSetLabel,    0,
    cmd::kMoveThisMail, cmd::kDeleteMail,  0,
    cmd::kOpenAttachment, cmd::kAddToAddressBook,
};

}  // namespace

std::unique_ptr<QMenu> MailListMenu(const std::map<int, QAction*>& actions) {
  auto menu = std::make_unique<QMenu>();
  for (const int command : kMenuCommands) {
    if (command == 0) {
      menu->addSeparator();
    } else if (const auto found = actions.find(command); found != actions.end()) {
      menu->addAction(found->second);
    }
  }
  return menu;
}

void ShowMailListMenu(QAbstractItemView& list, const QPoint& at, const std::map<int, QAction*>& actions) {
  const std::unique_ptr<QMenu> menu = MailListMenu(actions);
  menu->exec(list.viewport()->mapToGlobal(at));
}

}  // namespace lp
