#include "store/mailbox_tree.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "platform/trash.h"
#include "rules/sort_rules.h"
#include "store/box_list.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/store_messages.h"
#include "store/unread_mark.h"

namespace lp {
namespace {

constexpr char kSectionFindBox[] = "FindBox";
constexpr char kSectionAutoCompact[] = "AutoCompact";
constexpr const char* kBoxSettingSections[] = {kUnreadMarkSection, kSectionFindBox, kSectionAutoCompact};

constexpr char kBoxExtension[] = ".lp";

using namespace store_messages;

bool IsBoxKind(TreeItemKind kind) { return kind == TreeItemKind::Box || kind == TreeItemKind::FixedBox; }

// `path` is `prefix` itself or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view prefix) {
  if (!path.starts_with(prefix)) return false;
  return path.size() == prefix.size() || path[prefix.size()] == kPathSeparator;
}

// A name typed by the user becomes one path component (also in its
// file-system form) without a control character. A folder name must not
// begin with ".": the box list skips such directories, so the folder would
// vanish.
bool IsValidName(std::string_view name, bool is_folder) {
  if (!IsSinglePathComponent(name)) return false;
  if (is_folder && name.front() == '.') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

std::string WithBoxExtension(std::string_view name) {
  std::string file(name);
  file += kBoxExtension;
  return file;
}

// Every box and folder below `folder` (scanned from the disk, folders
// without their trailing separator).
struct FolderContent {
  std::vector<std::string> boxes;
  std::vector<std::string> folders;
};

FolderContent ContentOf(std::string_view folder) {
  std::vector<std::string> list;
  ScanBoxes(folder, list);
  FolderContent content;
  for (std::string& path : list) {
    if (IsFolderPath(path)) {
      path.pop_back();
      content.folders.push_back(std::move(path));
    } else {
      content.boxes.push_back(std::move(path));
    }
  }
  return content;
}

// The key of a box in one of its sections: the unread mark is keyed
// relative to the data directory, the others by the path itself.
std::string BoxSettingKey(const Profile& profile, const char* section, std::string_view path) {
  return std::string_view(section) == kUnreadMarkSection ? UnreadMarkKey(profile, path) : std::string(path);
}

// A box's settings follow it to its new path.
void MoveBoxSettings(Profile& profile, std::string_view old_path, std::string_view new_path) {
  constexpr char kMissing[] = "\x01";
  (void)ReadUnreadMark(profile, old_path);  // an older absolute key moves first
  for (const char* section : kBoxSettingSections) {
    const std::string old_key = BoxSettingKey(profile, section, old_path);
    const std::string value = profile.GetString(section, old_key, kMissing);
    if (value == kMissing) continue;
    if (profile.WriteString(section, BoxSettingKey(profile, section, new_path), value)) {
      profile.RemoveKey(section, old_key);
    }
  }
}

void RemoveBoxSettings(Profile& profile, std::string_view path) {
  (void)ReadUnreadMark(profile, path);
  for (const char* section : kBoxSettingSections) profile.RemoveKey(section, BoxSettingKey(profile, section, path));
}

template <typename Change>
void ChangeRules(Profile& profile, Change change) {
  CDivMenuArray rules;
  rules.Load(profile);
  if (change(rules) > 0) rules.Save(profile);
}

// Renames (or moves) both files of a box without replacing anything that
// exists. The text file goes first and comes back when the index cannot
// follow, so that an index never ends up beside another box's texts.
bool MoveBoxFiles(std::string_view old_index, std::string_view new_index) {
  if (PathExists(new_index)) return false;
  const std::string old_text = TextFilePathOf(old_index);
  const std::string new_text = TextFilePathOf(new_index);
  const bool has_text = PathExists(old_text);
  if (has_text && (PathExists(new_text) || !RenameNoReplace(old_text, new_text))) return false;
  if (!RenameNoReplace(old_index, new_index)) {
    if (has_text) RenameNoReplace(new_text, old_text);
    return false;
  }
  return true;
}

// Rules and settings of a box that now lives at `new_path`.
void FollowBox(Profile& profile, std::string_view old_path, std::string_view new_path) {
  ChangeRules(profile, [&](CDivMenuArray& rules) { return rules.RenameDestination(old_path, new_path); });
  MoveBoxSettings(profile, old_path, new_path);
}

// The folder item and directory in which a new entry goes for a selection.
std::pair<int, std::string> ParentFor(const MailboxTree& tree, int selected) {
  const TreeItem* item = tree.Item(selected);
  if (item != nullptr && item->kind == TreeItemKind::Folder) return {selected, item->path};
  if (item != nullptr && IsBoxKind(item->kind)) {
    if (const TreeItem* parent = tree.Item(item->parent)) return {item->parent, parent->path};
  }
  return {MailboxTree::kBoxRoot, tree.data_directory()};
}

TrashOutcome UseTrash(const TreeOperationContext& context, std::string_view path) {
  return context.trash ? context.trash(path) : TrashItem(path);
}

// Sends `path` to the trash; where no trash can take it, asks before it
// goes for good. False when it stays.
bool TrashOrAskAndRemove(const TreeOperationContext& context, std::string_view path, bool* asked) {
  switch (UseTrash(context, path)) {
    case TrashOutcome::Moved:
      return true;
    case TrashOutcome::Failed:
      return false;
    case TrashOutcome::NoTrash:
      break;
  }
  if (!*asked) {
    if (context.ui.Ask(kNoTrashDeleteForGood, MessageButtons::OkCancel) != Answer::Ok) return false;
    *asked = true;
  }
  return RemoveTree(path);
}

// False (with the message) when a job holds an open box at or inside
// `path`: its files must not move under it.
bool OpenBoxesMayMove(const TreeOperationContext& context, const std::string& path) {
  if (context.open_boxes == nullptr) return true;
  for (const CLPOSTDoc* box : context.open_boxes->OpenAtOrUnder(path)) {
    if (box->TextFileInUse()) {
      context.ui.ShowMessage(std::string(kBoxBusy) + box->PathName());
      return false;
    }
  }
  return true;
}

void OpenBoxesFollow(const TreeOperationContext& context, const std::string& old_path, const std::string& new_path) {
  if (context.open_boxes != nullptr) context.open_boxes->Relocate(old_path, new_path);
}

}  // namespace

// ---- The tree ----

const TreeItem* MailboxTree::Item(int id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= items_.size() || items_[id].removed) return nullptr;
  return &items_[id];
}

std::vector<int> MailboxTree::ChildrenOf(int id) const {
  std::vector<int> children;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].removed && items_[i].parent == id) children.push_back(static_cast<int>(i));
  }
  return children;
}

int MailboxTree::FindByPath(std::string_view path) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const TreeItem& item = items_[i];
    const bool has_path = IsBoxKind(item.kind) || item.kind == TreeItemKind::Folder;
    if (!item.removed && has_path && item.path == path) return static_cast<int>(i);
  }
  return kNone;
}

void MailboxTree::RebuildBoxList() { box_list_ = BuildBoxList(data_directory_); }

int MailboxTree::AddItem(TreeItem item) {
  items_.push_back(std::move(item));
  return static_cast<int>(items_.size() - 1);
}

void MailboxTree::RemoveItem(int id) {
  if (Item(id) == nullptr) return;
  // Children always come after their parents, so one pass finds them all.
  items_[id].removed = true;
  for (std::size_t i = static_cast<std::size_t>(id) + 1; i < items_.size(); ++i) {
    const int parent = items_[i].parent;
    if (parent >= 0 && items_[parent].removed) items_[i].removed = true;
  }
  if (selected_ >= 0 && items_[selected_].removed) selected_ = kNone;
}

void MailboxTree::ExpandItem(int id) {
  if (Item(id) != nullptr) items_[id].expanded = true;
}

void MailboxTree::SetItemText(int id, std::string text) {
  if (Item(id) != nullptr) items_[id].text = std::move(text);
}

void MailboxTree::ReplacePathPrefix(int id, std::string_view old_path, std::string_view new_path) {
  if (Item(id) == nullptr) return;
  std::vector<bool> inside(items_.size(), false);
  inside[id] = true;
  for (std::size_t i = static_cast<std::size_t>(id); i < items_.size(); ++i) {
    TreeItem& item = items_[i];
    if (i != static_cast<std::size_t>(id)) inside[i] = item.parent >= 0 && inside[item.parent];
    if (!inside[i] || item.removed || !IsAtOrBelow(item.path, old_path)) continue;
    item.path = std::string(new_path) + item.path.substr(old_path.size());
  }
}

void MailboxTree::Build(const AppSettings& settings, const Profile& profile, std::string_view data_directory) {
  items_.clear();
  data_directory_ = data_directory;
  trash_item_ = kNone;
  AddItem({TreeItemKind::Root, "Lanternpost", kImageRoot, "", kNone, false, true, false});
  AddItem({TreeItemKind::BoxRoot, kTextBoxRoot, kImageBoxRoot, data_directory_, kRoot, false, true, false});

  std::vector<std::string> fixed_paths;
  auto add_fixed = [&](const std::string& file, const char* text, int image) {
    fixed_paths.push_back(JoinPath(data_directory_, file));
    return AddItem({TreeItemKind::FixedBox, text, image, fixed_paths.back(), kBoxRoot, false, false, false});
  };
  selected_ = add_fixed(settings.default_file, kTextReceive, kImageReceive);
  add_fixed(settings.send_file, kTextSend, kImageSend);
  if (settings.smail_done) add_fixed(settings.send_done_file, kTextSent, kImageSent);
  if (settings.draft) add_fixed(settings.draft_file, kTextDraft, kImageDraft);
  if (settings.trash) trash_item_ = add_fixed(settings.trash_file, kTextTrash, kImageTrash);

  RebuildBoxList();
  // Folder items by path. The sorted list puts every folder before its
  // contents (a path sorts after its own prefix), but names that fold
  // alike may interleave, so parents are looked up rather than assumed.
  std::map<std::string, int, std::less<>> folders;
  auto parent_of = [&](std::string_view path) {
    const std::string directory = DirectoryOf(path);
    auto found = folders.find(directory);
    return found != folders.end() ? found->second : kBoxRoot;
  };
  for (const std::string& entry : box_list_) {
    if (IsFolderPath(entry)) {
      std::string path = entry.substr(0, entry.size() - 1);
      if (folders.contains(path)) continue;
      const int id = AddItem({TreeItemKind::Folder, BoxNameOf(path), kImageFolder, path, parent_of(path), false,
                              false, false});
      folders.emplace(std::move(path), id);
    } else if (std::find(fixed_paths.begin(), fixed_paths.end(), entry) == fixed_paths.end()) {
      AddItem({TreeItemKind::Box, BoxNameOf(entry), kImageBox, entry, parent_of(entry), false, false, false});
    }
  }
  RefreshUnreadMarks(profile);
}

void MailboxTree::RefreshUnreadMarks(const Profile& profile) {
  Profile writable = profile;  // an older key read is moved to its new form
  for (std::size_t i = 0; i < items_.size(); ++i) {
    TreeItem& item = items_[i];
    if (item.removed || !IsBoxKind(item.kind)) continue;
    const int mark = ReadUnreadMark(writable, item.path);
    if (mark == -1) continue;
    if (mark == 0) {
      item.unread = false;
      continue;
    }
    item.unread = static_cast<int>(i) != trash_item_;
    for (int up = item.parent; up >= 0; up = items_[up].parent) items_[up].expanded = true;
  }
}

// ---- Operations ----

int NewFolder(TreeOperationContext& context, MailboxTree& tree, int selected, std::string_view name) {
  auto [parent, directory] = ParentFor(tree, selected);
  const std::string path = JoinPath(directory, WithBoxExtension(name));
  if (!IsValidName(name, true) || PathExists(path) || !MakeDirectory(path)) {
    context.ui.ShowMessage(kFolderNotCreated);
    return MailboxTree::kNone;
  }
  tree.RebuildBoxList();
  const int id = tree.AddItem({TreeItemKind::Folder, std::string(name), kImageFolder, path, parent, false, false,
                               false});
  tree.ExpandItem(parent);
  return id;
}

int NewBox(TreeOperationContext& context, MailboxTree& tree, int selected, std::string_view name) {
  auto [parent, directory] = ParentFor(tree, selected);
  if (!IsValidName(name, false)) {
    context.ui.ShowMessage(kBoxNotCreated);
    return MailboxTree::kNone;
  }
  const std::string path = JoinPath(directory, WithBoxExtension(name));
  if (PathExists(path)) {
    context.ui.ShowMessage(kNameExists);
    return MailboxTree::kNone;
  }
  if (!CreateEmptyFileIfMissing(path)) {
    context.ui.ShowMessage(kBoxNotCreated);
    return MailboxTree::kNone;
  }
  tree.RebuildBoxList();
  const int id = tree.AddItem({TreeItemKind::Box, std::string(name), kImageBox, path, parent, false, false, false});
  tree.ExpandItem(parent);
  return id;
}

bool DeleteItem(TreeOperationContext& context, MailboxTree& tree, int selected) {
  const TreeItem* item = tree.Item(selected);
  const bool is_folder = item != nullptr && item->kind == TreeItemKind::Folder;
  if (item == nullptr || (!is_folder && item->kind != TreeItemKind::Box)) {
    context.ui.ShowMessage(kSelectBox);
    return false;
  }
  std::string question = is_folder ? kDeleteFolderPrefix : kDeleteBoxPrefix;
  question += item->text;
  question += is_folder ? kDeleteFolderSuffix : kDeleteBoxSuffix;
  if (context.open_boxes != nullptr) {
    const std::vector<CLPOSTDoc*> open = context.open_boxes->OpenAtOrUnder(item->path);
    if (!open.empty()) {
      context.ui.ShowMessage(std::string(kCloseBoxFirst) + open.front()->PathName());
      return false;
    }
  }
  if (context.ui.Ask(question, MessageButtons::OkCancel) != Answer::Ok) return false;

  const std::string path = item->path;
  // What goes with a folder is read before it goes: its boxes' rules and
  // settings are dropped too, or rules would keep sorting mail into boxes
  // that no longer exist.
  FolderContent gone;
  if (is_folder) {
    gone = ContentOf(path);
    gone.folders.push_back(path);
  } else {
    gone.boxes.push_back(path);
  }
  bool asked = false;
  if (TrashOrAskAndRemove(context, path, &asked) && !is_folder) {
    const std::string text = TextFilePathOf(path);
    if (PathExists(text)) (void)TrashOrAskAndRemove(context, text, &asked);
  }
  if (PathExists(path)) {
    context.ui.ShowMessage(kNotDeleted);
    return false;
  }

  tree.RebuildBoxList();
  ChangeRules(context.profile, [&](CDivMenuArray& rules) {
    std::size_t removed = 0;
    for (const std::string& box : gone.boxes) removed += rules.RemoveDestination(box);
    return removed;
  });
  for (const std::string& box : gone.boxes) RemoveBoxSettings(context.profile, box);
  for (const std::string& folder : gone.folders) RemoveBoxSettings(context.profile, folder);
  tree.RemoveItem(selected);
  return true;
}

bool CanRename(TreeOperationContext& context, const MailboxTree& tree, int item) {
  const TreeItem* found = tree.Item(item);
  if (found != nullptr && (found->kind == TreeItemKind::Box || found->kind == TreeItemKind::Folder)) return true;
  context.ui.ShowMessage(kNotEditable);
  return false;
}

bool RenameItem(TreeOperationContext& context, MailboxTree& tree, int item, std::string_view new_text) {
  if (!CanRename(context, tree, item)) return false;
  const TreeItem* found = tree.Item(item);
  if (found == nullptr) return false;
  const std::string old_path = found->path;
  const bool is_folder = found->kind == TreeItemKind::Folder;
  if (!IsValidName(new_text, is_folder)) {
    context.ui.ShowMessage(kNotRenamed);
    return false;
  }
  const std::string new_path = JoinPath(DirectoryOf(old_path), WithBoxExtension(new_text));
  if (new_path == old_path) return true;
  if (!OpenBoxesMayMove(context, old_path)) return false;

  if (!is_folder) {
    if (!MoveBoxFiles(old_path, new_path)) {
      context.ui.ShowMessage(kNotRenamed);
      return false;
    }
    FollowBox(context.profile, old_path, new_path);
  } else {
    const FolderContent inside = ContentOf(old_path);
    if (PathExists(new_path) || !RenameNoReplace(old_path, new_path)) {
      context.ui.ShowMessage(kNotRenamed);
      return false;
    }
    auto moved = [&](const std::string& path) { return new_path + path.substr(old_path.size()); };
    for (const std::string& box : inside.boxes) FollowBox(context.profile, box, moved(box));
    for (const std::string& folder : inside.folders) MoveBoxSettings(context.profile, folder, moved(folder));
    MoveBoxSettings(context.profile, old_path, new_path);
  }
  OpenBoxesFollow(context, old_path, new_path);
  tree.ReplacePathPrefix(item, old_path, new_path);
  tree.SetItemText(item, std::string(new_text));
  tree.RebuildBoxList();
  return true;
}

bool MoveBox(TreeOperationContext& context, MailboxTree& tree, int dragged, int target) {
  const TreeItem* box = tree.Item(dragged);
  const TreeItem* drop = tree.Item(target);
  if (box == nullptr || drop == nullptr) return false;
  int folder = target;
  if (IsBoxKind(drop->kind)) {
    folder = drop->parent;
  } else if (drop->kind != TreeItemKind::Folder && drop->kind != TreeItemKind::BoxRoot) {
    context.ui.ShowMessage(kNotMoved);
    return false;
  }
  if (folder == box->parent) return false;  // already there
  if (box->kind != TreeItemKind::Box) {
    // Fixed boxes stay where the settings name them.
    context.ui.ShowMessage(kNotMoved);
    return false;
  }
  const TreeItem* destination = tree.Item(folder);
  if (destination == nullptr) return false;
  const std::string old_path = box->path;
  const std::string new_path = JoinPath(destination->path, FileNameOf(old_path));
  if (!OpenBoxesMayMove(context, old_path)) return false;
  if (!MoveBoxFiles(old_path, new_path)) {
    context.ui.ShowMessage(kNotMoved);
    return false;
  }
  FollowBox(context.profile, old_path, new_path);
  OpenBoxesFollow(context, old_path, new_path);
  TreeItem moved = *box;
  moved.path = new_path;
  moved.parent = folder;
  const bool was_selected = tree.selected() == dragged;
  tree.RemoveItem(dragged);
  const int id = tree.AddItem(std::move(moved));
  if (was_selected) tree.Select(id);
  tree.RebuildBoxList();
  return true;
}

bool EditProperties(TreeOperationContext& context, const MailboxTree& tree, int selected,
                    const std::function<bool(BoxProperties&)>& edit) {
  const TreeItem* item = tree.Item(selected);
  if (item == nullptr || !(IsBoxKind(item->kind) || item->kind == TreeItemKind::Folder)) {
    context.ui.ShowMessage(kSelectBox);
    return false;
  }
  BoxProperties properties;
  properties.name = item->text;
  properties.find_box = context.profile.GetInt(kSectionFindBox, item->path, 1) != 0;
  properties.auto_compact = context.profile.GetInt(kSectionAutoCompact, item->path, 1) != 0;
  if (!edit(properties)) return false;
  const std::string find_box = properties.find_box ? "1" : "0";
  const std::string auto_compact = properties.auto_compact ? "1" : "0";
  const ProfileEntry entries[] = {{kSectionFindBox, item->path, find_box},
                                  {kSectionAutoCompact, item->path, auto_compact}};
  return context.profile.WriteStrings(entries);
}

}  // namespace lp
