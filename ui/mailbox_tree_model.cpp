#include "ui/mailbox_tree_model.h"

#include <QFont>
#include <QMimeData>

#include "ui/dragged_mails.h"
#include "ui/mail_list_delegate.h"
#include "ui/sjis_qt.h"

namespace lp {

MailboxTreeModel::MailboxTreeModel(QObject* parent) : QAbstractItemModel(parent) {
  // Pictures of the image numbers: root, box root, box, folder, trash,
  // receive, send, sent, draft.
  images_ = {ThemedIcon("mail-client", "app"),   ThemedIcon("drive-harddisk", "boxroot"),
             ThemedIcon(nullptr, "box"),         ThemedIcon("folder", "folder"),
             ThemedIcon("user-trash", "trash"),  ThemedIcon(nullptr, "inbox"),
             ThemedIcon(nullptr, "outbox"),      ThemedIcon(nullptr, "sentbox"),
             ThemedIcon(nullptr, "draftbox")};
  unread_mark_ = ThemedIcon(nullptr, "box-unread");
}

void MailboxTreeModel::Build(const AppSettings& settings, const Profile& profile, std::string_view data_directory) {
  beginResetModel();
  tree_.Build(settings, profile, data_directory);
  CacheChildren();
  CountUnread();
  endResetModel();
}

void MailboxTreeModel::TreeChanged() {
  beginResetModel();
  CacheChildren();
  CountUnread();
  endResetModel();
}

void MailboxTreeModel::CountUnread() {
  unread_counts_.assign(tree_.items().size(), 0);
  if (!counter_) return;
  // Only a box marked unread has any: the others are not opened.
  for (std::size_t id = 0; id < tree_.items().size(); ++id) {
    const TreeItem& item = tree_.items()[id];
    if (item.unread && !item.removed) unread_counts_[id] = counter_(item.path);
  }
}

bool MailboxTreeModel::IsBox(const QModelIndex& index) const {
  const TreeItem* item = tree_.Item(ItemOf(index));
  return item != nullptr && (item->kind == TreeItemKind::Box || item->kind == TreeItemKind::FixedBox);
}

void MailboxTreeModel::CacheChildren() {
  const std::size_t count = tree_.items().size();
  children_.assign(count, {});
  row_in_parent_.assign(count, 0);
  for (std::size_t id = 0; id < count; ++id) {
    children_[id] = tree_.ChildrenOf(static_cast<int>(id));
    for (std::size_t row = 0; row < children_[id].size(); ++row) {
      row_in_parent_[static_cast<std::size_t>(children_[id][row])] = static_cast<int>(row);
    }
  }
}

void MailboxTreeModel::RefreshUnreadMarks(const Profile& profile) {
  std::vector<bool> before;
  for (const TreeItem& item : tree_.items()) before.push_back(item.unread);
  const std::vector<int> counts_before = unread_counts_;
  tree_.RefreshUnreadMarks(profile);
  CountUnread();
  for (std::size_t id = 0; id < tree_.items().size(); ++id) {
    const bool count_changed = id < counts_before.size() && counts_before[id] != unread_counts_[id];
    if ((tree_.items()[id].unread != before[id] || count_changed) && !tree_.items()[id].removed) {
      const QModelIndex changed = IndexOfItem(static_cast<int>(id));
      emit dataChanged(changed, changed);
    }
  }
}

int MailboxTreeModel::ItemOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<int>(index.internalId()) : MailboxTree::kNone;
}

QModelIndex MailboxTreeModel::IndexOfItem(int id) const {
  const TreeItem* item = tree_.Item(id);
  if (item == nullptr || item->removed) return {};
  return createIndex(row_in_parent_[static_cast<std::size_t>(id)], 0, static_cast<quintptr>(id));
}

QModelIndex MailboxTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) {
    return row == 0 && !tree_.items().empty() ? createIndex(0, 0, static_cast<quintptr>(MailboxTree::kRoot))
                                              : QModelIndex();
  }
  const std::vector<int>& children = children_[static_cast<std::size_t>(ItemOf(parent))];
  if (row >= static_cast<int>(children.size())) return {};
  return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex MailboxTreeModel::parent(const QModelIndex& child) const {
  const TreeItem* item = tree_.Item(ItemOf(child));
  if (item == nullptr || item->parent < 0) return {};
  return IndexOfItem(item->parent);
}

int MailboxTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  if (!parent.isValid()) return tree_.items().empty() ? 0 : 1;
  return static_cast<int>(children_[static_cast<std::size_t>(ItemOf(parent))].size());
}

int MailboxTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant MailboxTreeModel::data(const QModelIndex& index, int role) const {
  const int id = ItemOf(index);
  const TreeItem* item = tree_.Item(id);
  if (item == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const int count = UnreadCountOf(id);
      return count > 0 ? FromSjis(item->text) + QStringLiteral(" (%1)").arg(count) : FromSjis(item->text);
    }
    case Qt::EditRole:
      return FromSjis(item->text);
    case Qt::DecorationRole:
      if (item->unread) return unread_mark_;
      return item->image >= 0 && item->image < static_cast<int>(images_.size())
                 ? images_[static_cast<std::size_t>(item->image)]
                 : QIcon();
    case Qt::FontRole:
      if (item->unread) {
        QFont font;
        font.setBold(true);
        return font;
      }
      return {};
    case ItemIdRole:
      return id;
    case PathRole:
      return FromSjis(item->path);
    case UnreadRole:
      return item->unread;
    case UnreadCountRole:
      return UnreadCountOf(id);
    default:
      return {};
  }
}

Qt::ItemFlags MailboxTreeModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractItemModel::flags(index);
  const TreeItem* item = tree_.Item(ItemOf(index));
  if (item == nullptr) return flags;
  // The root, the box root and the fixed boxes keep their names.
  if (item->kind == TreeItemKind::Box || item->kind == TreeItemKind::Folder) flags |= Qt::ItemIsEditable;
  if (IsBox(index) || item->kind == TreeItemKind::Folder || item->kind == TreeItemKind::BoxRoot) {
    flags |= Qt::ItemIsDropEnabled;
  }
  // Fixed boxes stay where the settings name them.
  if (item->kind == TreeItemKind::Box) flags |= Qt::ItemIsDragEnabled;
  return flags;
}

bool MailboxTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !renamer_ || !(flags(index) & Qt::ItemIsEditable)) return false;
  const std::string text = ToSjis(value.toString());
  if (text.empty() || text == tree_.Item(ItemOf(index))->text) return false;
  if (!renamer_(ItemOf(index), text)) return false;
  emit dataChanged(index, index);
  return true;
}

QStringList MailboxTreeModel::mimeTypes() const {
  return {QString::fromLatin1(kMailListMimeType), QString::fromLatin1(kBoxMimeType)};
}

QMimeData* MailboxTreeModel::mimeData(const QModelIndexList& indexes) const {
  for (const QModelIndex& index : indexes) {
    const TreeItem* item = tree_.Item(ItemOf(index));
    if (item == nullptr || item->kind != TreeItemKind::Box) continue;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kBoxMimeType), QByteArray::fromStdString(item->path));
    return data;
  }
  return nullptr;
}

Qt::DropActions MailboxTreeModel::supportedDragActions() const { return Qt::MoveAction; }

Qt::DropActions MailboxTreeModel::supportedDropActions() const { return Qt::MoveAction | Qt::CopyAction; }

int MailboxTreeModel::DraggedBox(const QMimeData* data) const {
  if (data == nullptr || !data->hasFormat(QString::fromLatin1(kBoxMimeType))) return MailboxTree::kNone;
  const std::string path = data->data(QString::fromLatin1(kBoxMimeType)).toStdString();
  const std::vector<TreeItem>& items = tree_.items();
  for (std::size_t id = 0; id < items.size(); ++id) {
    if (!items[id].removed && items[id].kind == TreeItemKind::Box && items[id].path == path) {
      return static_cast<int>(id);
    }
  }
  return MailboxTree::kNone;
}

bool MailboxTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                       const QModelIndex& parent) const {
  if (data == nullptr || !parent.isValid()) return false;
  if (data->hasFormat(QString::fromLatin1(kMailListMimeType))) {
    return (action == Qt::MoveAction || action == Qt::CopyAction) && IsBox(parent);
  }
  const int dragged = DraggedBox(data);
  return action == Qt::MoveAction && dragged != MailboxTree::kNone && dragged != ItemOf(parent) &&
         (flags(parent) & Qt::ItemIsDropEnabled);
}

bool MailboxTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  if (data->hasFormat(QString::fromLatin1(kMailListMimeType))) {
    const std::optional<DraggedMails> mails = DecodeDraggedMails(*data);
    if (!drop_ || !mails) return false;
    return drop_(mails->source, mails->serials, tree_.Item(ItemOf(parent))->path, action);
  }
  return box_drop_ && box_drop_(DraggedBox(data), ItemOf(parent));
}

int MailboxTreeModel::UnreadCountOf(int id) const {
  return id >= 0 && id < static_cast<int>(unread_counts_.size()) ? unread_counts_[static_cast<std::size_t>(id)] : 0;
}

}  // namespace lp
