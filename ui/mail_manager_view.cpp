#include "ui/mail_manager_view.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "store/mail_transfer.h"
#include "ui/box_properties_dialog.h"
#include "ui/desktop_session.h"
#include "ui/mailbox_tree_model.h"
#include "ui/serial_rows.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {

MailManagerView::MailManagerView(DesktopSession& session, OpenBox open, QWidget* parent)
    : QWidget(parent), session_(session), open_(std::move(open)), model_(new MailboxTreeModel(this)), view_(new QTreeView) {
  view_->setObjectName(QStringLiteral("mailboxTree"));
  view_->setModel(model_);
  view_->setHeaderHidden(true);
  view_->setUniformRowHeights(true);
  view_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  view_->setDragDropMode(QAbstractItemView::DragDrop);
  view_->setDefaultDropAction(Qt::MoveAction);
  view_->setAcceptDrops(true);
  view_->setDropIndicatorShown(true);
  view_->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  connect(view_, &QTreeView::activated, this, &MailManagerView::OpenItem);

  ask_name_ = [this](const QString& title, const QString& prompt, const QString& default_text) -> std::optional<QString> {
    bool ok = false;
    const QString name = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, default_text, &ok);
    return ok ? std::optional<QString>(name) : std::nullopt;
  };
  edit_properties_ = [this](BoxProperties& properties) { return EditBoxPropertiesInDialog(this, properties); };
  model_->SetUnreadCounter([this](const std::string& path) { return UnreadCount(path); });
  model_->SetRenamer([this](int id, const std::string& text) {
    TreeOperationContext context = Context();
    return CanRename(context, model_->tree(), id) && RenameItem(context, model_->tree(), id, text);
  });
  model_->SetMailDrop([this](const std::string& source, const std::vector<quint64>& serials, const std::string& target,
                             Qt::DropAction action) { return DropMails(source, serials, target, action); });
  model_->SetBoxDrop([this](int dragged, int target) {
    // The tree is rebuilt by the move: not while the view is still in its drop.
    QMetaObject::invokeMethod(this, [this, dragged, target] { MoveBoxTo(dragged, target); }, Qt::QueuedConnection);
    return true;
  });
  Rebuild();
}

TreeOperationContext MailManagerView::Context() {
  return TreeOperationContext{session_.profile(), session_.ui(), trash_, &session_.registry()};
}

void MailManagerView::Rebuild() {
  model_->Build(session_.app().settings(), session_.profile(), session_.app().data_directory());
  AfterStructureChange(model_->tree().selected());
}

void MailManagerView::AfterStructureChange(int select) {
  const std::vector<TreeItem>& items = model_->tree().items();
  for (std::size_t id = 0; id < items.size(); ++id) {
    if (items[id].expanded && !items[id].removed) view_->expand(model_->IndexOfItem(static_cast<int>(id)));
  }
  view_->setCurrentIndex(model_->IndexOfItem(select));
}

void MailManagerView::RefreshUnreadMarks() { model_->RefreshUnreadMarks(session_.profile()); }

int MailManagerView::UnreadCount(const std::string& sjis_path) {
  const auto count_in = [](const CLPOSTDoc& box) {
    int unread = 0;
    for (int i = 0; i < box.Count(); ++i) unread += box.RecordAt(i)->IsUnread() ? 1 : 0;
    return unread;
  };
  if (const CLPOSTDoc* open = session_.registry().Find(sjis_path)) return count_in(*open);
  // A closed box is read for the count only; its document goes at once.
  CLPOSTDoc box(session_.profile(), session_.ui(), session_);
  return box.Open(sjis_path).ok ? count_in(box) : 0;
}

int MailManagerView::SelectedItem() const {
  const QModelIndex current = view_->currentIndex();
  return current.isValid() ? current.data(MailboxTreeModel::ItemIdRole).toInt() : MailboxTree::kNone;
}

void MailManagerView::AddItem(bool folder) {
  const std::optional<QString> name =
      ask_name_(QString::fromUtf8(folder ? ui_text::kNewFolderTitle : ui_text::kNewBoxTitle),
                QString::fromUtf8(folder ? ui_text::kNewFolderPrompt : ui_text::kNewBoxPrompt), QString());
  if (!name || name->isEmpty()) return;
  TreeOperationContext context = Context();
  const int selected = SelectedItem();
  const std::string sjis_name = ToSjis(*name);
  const int added = folder ? lp::NewFolder(context, model_->tree(), selected, sjis_name)
                           : lp::NewBox(context, model_->tree(), selected, sjis_name);
  if (added == MailboxTree::kNone) return;
  model_->TreeChanged();
  AfterStructureChange(added);
}

void MailManagerView::NewFolder() { AddItem(true); }
void MailManagerView::NewBox() { AddItem(false); }

void MailManagerView::DeleteSelected() {
  TreeOperationContext context = Context();
  const int selected = SelectedItem();
  const TreeItem* item = model_->tree().Item(selected);
  const int parent = item != nullptr ? item->parent : MailboxTree::kNone;
  if (!DeleteItem(context, model_->tree(), selected)) return;
  model_->TreeChanged();
  AfterStructureChange(parent);
}

void MailManagerView::RenameSelected() {
  const QModelIndex current = view_->currentIndex();
  TreeOperationContext context = Context();
  // The refusal for fixed items is said before any editor opens.
  if (current.isValid() && CanRename(context, model_->tree(), SelectedItem())) view_->edit(current);
}

void MailManagerView::ShowProperties() {
  TreeOperationContext context = Context();
  (void)EditProperties(context, model_->tree(), SelectedItem(), edit_properties_);
}

bool MailManagerView::DropMails(const std::string& source, const std::vector<quint64>& serials,
                                const std::string& target, Qt::DropAction action) {
  CLPOSTDoc* box = session_.registry().Find(source);
  if (box == nullptr || source == target) return false;
  std::vector<int> rows;
  for (const int row : RowsOfSerials(*box, serials)) {
    if (row >= 0) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  if (rows.empty()) return false;
  OpenBoxRegistry& registry = session_.registry();
  bool done = false;
  if (action == Qt::MoveAction) {
    done = MoveTo(*box, rows, target, registry) > 0;
  } else {
    std::vector<const CMail*> records;
    for (const int row : rows) records.push_back(box->RecordAt(row));
    TransferOptions options;
    options.registry = &registry;
    done = CopyRecordsTo(*box, records, target, options) > 0;
  }
  RefreshUnreadMarks();
  return done;
}

void MailManagerView::MoveBoxTo(int dragged, int target) {
  TreeOperationContext context = Context();
  if (!lp::MoveBox(context, model_->tree(), dragged, target)) return;
  model_->TreeChanged();
  AfterStructureChange(model_->tree().selected());
}

bool MailManagerView::eventFilter(QObject* watched, QEvent* event) {
  // A name being edited has its own editor: its keys never come here.
  if (watched == view_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    DeleteSelected();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

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
