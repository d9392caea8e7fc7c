#include "ui/mail_manager_view.h"

#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/desktop_session.h"
#include "ui/mailbox_tree_model.h"

namespace lp {

MailManagerView::MailManagerView(DesktopSession& session, OpenBox open, QWidget* parent)
    : QWidget(parent), session_(session), open_(std::move(open)), model_(new MailboxTreeModel(this)), view_(new QTreeView) {
  view_->setObjectName(QStringLiteral("mailboxTree"));
  view_->setModel(model_);
  view_->setHeaderHidden(true);
  view_->setUniformRowHeights(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  connect(view_, &QTreeView::activated, this, &MailManagerView::OpenItem);
  Rebuild();
}

void MailManagerView::Rebuild() {
  model_->Build(session_.app().settings(), session_.profile(), session_.app().data_directory());
  for (const TreeItem& item : model_->tree().items()) {
    if (item.expanded && !item.removed) {
      view_->expand(model_->IndexOfItem(static_cast<int>(&item - model_->tree().items().data())));
    }
  }
  view_->setCurrentIndex(model_->IndexOfItem(model_->tree().selected()));
}

void MailManagerView::RefreshUnreadMarks() { model_->RefreshUnreadMarks(session_.profile()); }

void MailManagerView::OpenItem(const QModelIndex& index) {
  const TreeItem* item = model_->tree().Item(index.data(MailboxTreeModel::ItemIdRole).toInt());
  if (item == nullptr) return;
  if (item->kind == TreeItemKind::Box || item->kind == TreeItemKind::FixedBox) {
    open_(item->path);
  } else {
    view_->setExpanded(index, !view_->isExpanded(index));
  }
}

}  // namespace lp
