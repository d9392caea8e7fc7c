#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/app_settings.h"
#include "config/profile.h"
#include "platform/trash.h"
#include "platform/user_interface.h"

// The mail manager's tree of folders and boxes without a window: the items
// with their texts, images and paths, built from the box list, and the
// operations the tree window calls (new folder, new box, delete, rename,
// move, properties). The operations change the files, the auto-sort rules
// and the per-box settings; the window mirrors the items.
//
// Per-box settings follow their box: a box renamed or moved (also inside a
// renamed folder) takes its "Read", "FindBox" and "AutoCompact" keys to its
// new path; a deleted box or folder takes its keys and those of everything
// below it out of the settings file. Folder items are keyed by their path
// without the trailing separator.

namespace lp {

enum class TreeItemKind { Root, BoxRoot, FixedBox, Folder, Box };

// Image numbers of the manager's image list.
inline constexpr int kImageRoot = 0;
inline constexpr int kImageBoxRoot = 1;
inline constexpr int kImageBox = 2;
inline constexpr int kImageFolder = 3;
inline constexpr int kImageTrash = 4;
inline constexpr int kImageReceive = 5;
inline constexpr int kImageSend = 6;
inline constexpr int kImageSent = 7;
inline constexpr int kImageDraft = 8;

struct TreeItem {
  TreeItemKind kind = TreeItemKind::Box;
  std::string text;
  int image = kImageBox;
  // Fixed boxes and boxes: the index path; folders: the directory path
  // (no trailing separator); the box root: the data directory; root: empty.
  std::string path;
  int parent = -1;  // item id, -1 for the root
  bool unread = false;    // overlay image 1
  bool expanded = false;
  bool removed = false;   // deleted or moved away; its id is never reused
};

// The tree. Item ids index items() and stay valid until the next Build;
// removed items stay in place with `removed` set.
class MailboxTree {
 public:
  static constexpr int kRoot = 0;
  static constexpr int kBoxRoot = 1;
  static constexpr int kNone = -1;

  // Rebuilds everything from the fixed-box settings and the box list of
  // `data_directory`, with the unread marks; selects the receive box.
  // `data_directory` is absolute: item paths begin with it and serve as the
  // keys of the per-box settings, as the open boxes use them.
  void Build(const AppSettings& settings, const Profile& profile, std::string_view data_directory);
  // Sets or clears the unread overlays from the "Read" marks; a box with a
  // nonzero mark has its folders expanded up to the root.
  void RefreshUnreadMarks(const Profile& profile);

  [[nodiscard]] const std::vector<TreeItem>& items() const { return items_; }
  [[nodiscard]] const TreeItem* Item(int id) const;
  // Live children of `id` in display order.
  [[nodiscard]] std::vector<int> ChildrenOf(int id) const;
  // The live item with this path (box, fixed box or folder), or kNone.
  [[nodiscard]] int FindByPath(std::string_view path) const;
  [[nodiscard]] const std::string& data_directory() const { return data_directory_; }
  // The sorted box list, rebuilt after every creation, deletion and rename.
  [[nodiscard]] const std::vector<std::string>& box_list() const { return box_list_; }
  void RebuildBoxList();

  [[nodiscard]] int selected() const { return selected_; }
  void Select(int id) { selected_ = id; }

  // Changes made by the operations.
  int AddItem(TreeItem item);
  // Marks the item and everything below it removed.
  void RemoveItem(int id);
  void ExpandItem(int id);
  void SetItemText(int id, std::string text);
  // Replaces `old_path` at the start of every live path below and at `id`.
  void ReplacePathPrefix(int id, std::string_view old_path, std::string_view new_path);

 private:
  std::vector<TreeItem> items_;
  std::vector<std::string> box_list_;
  std::string data_directory_;
  int selected_ = kNone;
  int trash_item_ = kNone;
};

// Moves a file or directory (Shift_JIS path) to the desktop's trash.
// Injected so that tests never touch the user's trash.
using TrashFunction = std::function<TrashOutcome(std::string_view sjis_path)>;

class OpenBoxRegistry;

struct TreeOperationContext {
  Profile& profile;
  UserInterface& ui;
  TrashFunction trash;  // empty: the desktop trash (lp::MoveToTrash)
  // The process's open boxes, when it has any: a renamed or moved box's
  // open document follows its files, one that a job holds refuses the
  // change, and an open box is not deleted under its windows.
  OpenBoxRegistry* open_boxes = nullptr;
};

// Creates folder `name`.lp under the selected folder (or the folder of the
// selected box, else the data directory) and adds its item. Returns the new
// item id, or kNone after showing "フォルダを作成できませんでした".
int NewFolder(TreeOperationContext& context, MailboxTree& tree, int selected, std::string_view name);
// Creates the empty box `name`.lp in the same place. An existing entry of
// that path is refused with "すでに同名の文書BOX/フォルダが存在します".
int NewBox(TreeOperationContext& context, MailboxTree& tree, int selected, std::string_view name);
// Asks, then sends the box's files or the folder to the trash, drops the
// auto-sort rules and the settings of what was deleted and removes the item.
// A box that is open (in a folder too) is refused: its window would write it
// again. True when something was deleted.
bool DeleteItem(TreeOperationContext& context, MailboxTree& tree, int selected);
// False (with "このBOXは編集できません") for the root, the box root and
// the fixed boxes: the window refuses label editing for them.
bool CanRename(TreeOperationContext& context, const MailboxTree& tree, int item);
// Renames a box (both files) or a folder to `new_text`.lp; rules and
// settings follow. True when the item has the new name afterwards.
bool RenameItem(TreeOperationContext& context, MailboxTree& tree, int item, std::string_view new_text);
// Drops box `dragged` onto item `target` (a folder, the box root, or a box
// standing for its folder). True when the box moved.
bool MoveBox(TreeOperationContext& context, MailboxTree& tree, int dragged, int target);

struct BoxProperties {
  bool find_box = true;      // 全検索の際、検索対象とする
  bool auto_compact = true;  // 自動的にBOXを整理
  std::string name;          // the item's text, for the dialog to name the box
};
// Reads the box's (or folder's) properties, lets `edit` show them (it
// returns true for OK) and writes them back. Other selections show
// "文書BOXを選択してください". True when they were written.
bool EditProperties(TreeOperationContext& context, const MailboxTree& tree, int selected,
                    const std::function<bool(BoxProperties&)>& edit);

}  // namespace lp
