#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "store/mailbox_tree.h"

class QTreeView;

// The mail manager window: the tree of folders and boxes with their unread
// counts. Enter or a double click opens a box; new folders and boxes, in-
// place renaming, moving a box by dragging it onto a folder and deleting to
// the desktop's trash go through the core's tree operations (open windows of
// a renamed or moved box follow it); mails dragged from a mail list onto a
// box move there, or are copied with Ctrl.

namespace lp {

class DesktopSession;
class MailboxTreeModel;

class MailManagerView final : public QWidget {
  Q_OBJECT

 public:
  using OpenBox = std::function<void(const std::string& sjis_path)>;
  // Asks for a name (title, prompt, default text); nullopt when cancelled.
  using NameAsker = std::function<std::optional<QString>(const QString& title, const QString& prompt,
                                                          const QString& default_text)>;

  MailManagerView(DesktopSession& session, OpenBox open, QWidget* parent = nullptr);

  // Tests answer the name questions and keep the user's trash out of it.
  void SetNameAsker(NameAsker asker) { ask_name_ = std::move(asker); }
  void SetTrash(TrashFunction trash) { trash_ = std::move(trash); }
  // Shows the properties of a box for editing; true on OK. Tests answer it.
  using PropertiesEditor = std::function<bool(BoxProperties& properties)>;
  void SetPropertiesEditor(PropertiesEditor editor) { edit_properties_ = std::move(editor); }

  void Rebuild();
  void RefreshUnreadMarks();
  [[nodiscard]] MailboxTreeModel& model() { return *model_; }
  [[nodiscard]] QTreeView& tree() { return *view_; }

  // The box menu's commands on the selected item.
  void NewFolder();
  void NewBox();
  void DeleteSelected();
  void RenameSelected();
  void ShowProperties();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OpenItem(const QModelIndex& index);
  void AddItem(bool folder);
  [[nodiscard]] int SelectedItem() const;
  [[nodiscard]] TreeOperationContext Context();
  void AfterStructureChange(int select);
  [[nodiscard]] int UnreadCount(const std::string& sjis_path);
  void MoveBoxTo(int dragged, int target);
  bool DropMails(const std::string& source, const std::vector<quint64>& serials, const std::string& target,
                 Qt::DropAction action);

  DesktopSession& session_;
  OpenBox open_;
  NameAsker ask_name_;
  TrashFunction trash_;
  PropertiesEditor edit_properties_;
  MailboxTreeModel* model_;
  QTreeView* view_;
};

}  // namespace lp
