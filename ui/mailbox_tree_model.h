#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>

#include "store/mailbox_tree.h"

// The mail manager's tree as an item model over the core's MailboxTree:
// the items are the tree's own, by id; a box with unread mail is shown in
// bold with the unread mark.

namespace lp {

class MailboxTreeModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Role { ItemIdRole = Qt::UserRole + 1, PathRole, UnreadRole };

  explicit MailboxTreeModel(QObject* parent = nullptr);

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

 private:
  void CacheChildren();
  [[nodiscard]] int ItemOf(const QModelIndex& index) const;

  MailboxTree tree_;
  std::vector<std::vector<int>> children_;  // by item id
  std::vector<int> row_in_parent_;          // by item id
  std::array<QIcon, 9> images_;
  QIcon unread_mark_;
};

}  // namespace lp
