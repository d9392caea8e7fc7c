#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "store/mailbox_tree.h"

// The mail manager's tree as an item model over the core's MailboxTree:
// the items are the tree's own, by id; a box with unread mail is shown in
// bold with the unread mark and its count of unread mails. Boxes and
// folders are renamed in place; mails dragged from a mail list drop onto a
// box, and a box dragged onto a folder moves there. The operations themselves are the window's (they ask and show).

namespace lp {

class MailboxTreeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Role { ItemIdRole = Qt::UserRole + 1, PathRole, UnreadRole, UnreadCountRole };

  // The number of unread mails of a box (Shift_JIS index path).
  using UnreadCounter = std::function<int(const std::string& sjis_path)>;
  // Renames item `id` to the text (Shift_JIS); true when it took the name.
  using Renamer = std::function<bool(int id, const std::string& sjis_text)>;
  // Mails (serials of the box at `source`) dropped onto the box at `target`.
  using MailDrop = std::function<bool(const std::string& source, const std::vector<quint64>& serials,
                                      const std::string& target, Qt::DropAction action)>;

  // Box `dragged` dropped onto item `target` (a folder, the box root, or a
  // box standing for its folder).
  using BoxDrop = std::function<bool(int dragged, int target)>;

  explicit MailboxTreeModel(QObject* parent = nullptr);

  void SetUnreadCounter(UnreadCounter counter) { counter_ = std::move(counter); }
  void SetRenamer(Renamer renamer) { renamer_ = std::move(renamer); }
  void SetMailDrop(MailDrop drop) { drop_ = std::move(drop); }
  void SetBoxDrop(BoxDrop drop) { box_drop_ = std::move(drop); }
  // After an operation added or removed items of the tree.
  void TreeChanged();

  // Builds the tree again from the settings and the data directory.
  void Build(const AppSettings& settings, const Profile& profile, std::string_view data_directory);
  // Unread marks from the "Read" settings; rows change in place.
  void RefreshUnreadMarks(const Profile& profile);
  [[nodiscard]] MailboxTree& tree() { return tree_; }
  [[nodiscard]] QModelIndex IndexOfItem(int id) const;

  [[nodiscard]] QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  [[nodiscard]] QStringList mimeTypes() const override;
  // A box drags out as its index path; only this process's tree takes it.
  [[nodiscard]] QMimeData* mimeData(const QModelIndexList& indexes) const override;
  [[nodiscard]] Qt::DropActions supportedDragActions() const override;
  [[nodiscard]] Qt::DropActions supportedDropActions() const override;
  [[nodiscard]] bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                     const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  void CacheChildren();
  void CountUnread();
  [[nodiscard]] bool IsBox(const QModelIndex& index) const;
  // The tree item of the box a drag carries, or MailboxTree::kNone.
  [[nodiscard]] int DraggedBox(const QMimeData* data) const;
  [[nodiscard]] int UnreadCountOf(int id) const;
  [[nodiscard]] int ItemOf(const QModelIndex& index) const;

  MailboxTree tree_;
  std::vector<std::vector<int>> children_;  // by item id
  std::vector<int> row_in_parent_;          // by item id
  std::vector<int> unread_counts_;          // by item id
  UnreadCounter counter_;
  Renamer renamer_;
  MailDrop drop_;
  BoxDrop box_drop_;
  std::array<QIcon, 9> images_;
  QIcon unread_mark_;
};

}  // namespace lp
