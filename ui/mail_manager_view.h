#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QTreeView;

// The mail manager window: the tree of folders and boxes; Enter or a
// double click opens a box.

namespace lp {

class DesktopSession;
class MailboxTreeModel;

class MailManagerView final : public QWidget {
  Q_OBJECT

 public:
  using OpenBox = std::function<void(const std::string& sjis_path)>;

  MailManagerView(DesktopSession& session, OpenBox open, QWidget* parent = nullptr);

  void Rebuild();
  void RefreshUnreadMarks();
  [[nodiscard]] MailboxTreeModel& model() { return *model_; }
  [[nodiscard]] QTreeView& tree() { return *view_; }

 private:
  void OpenItem(const QModelIndex& index);

  DesktopSession& session_;
  OpenBox open_;
  MailboxTreeModel* model_;
  QTreeView* view_;
};

}  // namespace lp
