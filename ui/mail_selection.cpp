#include "ui/mail_selection.h"

#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>

#include "ui/mailbox_view.h"

namespace lp {

std::vector<int> SelectedRows(MailboxView& view) {
  std::vector<int> rows;
  for (const QModelIndex& index : view.list().selectionModel()->selectedRows()) rows.push_back(view.BoxRowOf(index));
  std::sort(rows.begin(), rows.end());
  if (rows.empty() && view.CaretRow() >= 0) rows.push_back(view.CaretRow());
  return rows;
}

}  // namespace lp
