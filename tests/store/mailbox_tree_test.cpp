#include "store/mailbox_tree.h"
#include "store/open_box_registry.h"
#include "store/store_messages.h"
#include "platform/command_observer.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "rules/sort_rules.h"
#include "store/box_list.h"
#include "store/unread_mark.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// "すでに同名の文書BOX/フォルダが存在します"
const std::string kNameExists =
    "\x82\xB7\x82\xC5\x82\xC9\x93\xAF\x96\xBC\x82\xCC\x95\xB6\x8F\x91" "BOX/\x83\x74\x83\x48\x83\x8B"
    "\x83\x5F\x82\xAA\x91\xB6\x8D\xDD\x82\xB5\x82\xDC\x82\xB7";
// "フォルダを作成できませんでした"
const std::string kFolderNotCreated =
    "\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"
    "\x82\xC5\x82\xB5\x82\xBD";
// "文書BOXを作成できませんでした"
const std::string kBoxNotCreated =
    "\x95\xB6\x8F\x91" "BOX\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5"
    "\x82\xB5\x82\xBD";
// "文書BOXを選択してください"
const std::string kSelectBox =
    "\x95\xB6\x8F\x91" "BOX\x82\xF0\x91\x49\x91\xF0\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// "このBOXは編集できません"
const std::string kNotEditable = "\x82\xB1\x82\xCC" "BOX\x82\xCD\x95\xD2\x8F\x57\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// "変更できません"
const std::string kNotRenamed = "\x95\xCF\x8D\x58\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// "移動できません"
const std::string kNotMoved = "\x88\xDA\x93\xAE\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// "削除できませんでした"
const std::string kNotDeleted = "\x8D\xED\x8F\x9C\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD";
// "受信", "送信", "下書き", "ごみ箱", "文書BOX"
const std::string kReceive = "\x8E\xF3\x90\x4D";
const std::string kSend = "\x91\x97\x90\x4D";
const std::string kDraft = "\x89\xBA\x8F\x91\x82\xAB";
const std::string kTrash = "\x82\xB2\x82\xDD\x94\xA0";
const std::string kBoxRoot = "\x95\xB6\x8F\x91" "BOX";

class MailboxTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = CurrentDirectory();
    settings_.Load(profile_);  // creates the receive and send boxes
    settings_.CreateBoxesAndDirectories(profile_);
  }

  std::string Path(const std::string& relative) const { return JoinPath(data_, relative); }
  void MakeBox(const std::string& relative, const std::string& text = "") {
    WriteFileBytes(ToNativePath(Path(relative)), "");
    if (!text.empty()) WriteFileBytes(ToNativePath(TextFilePathOfBox(relative)), text);
  }
  std::string TextFilePathOfBox(const std::string& relative) const {
    return Path(relative.substr(0, relative.size() - 3) + ".mb");
  }
  void MakeFolder(const std::string& relative) { ASSERT_TRUE(MakeDirectory(Path(relative))); }
  void Build() { tree_.Build(settings_, profile_, data_); }
  int Find(const std::string& relative) const { return tree_.FindByPath(Path(relative)); }
  int FindText(const std::string& text) const {
    for (std::size_t i = 0; i < tree_.items().size(); ++i) {
      if (!tree_.items()[i].removed && tree_.items()[i].text == text) return static_cast<int>(i);
    }
    return MailboxTree::kNone;
  }
  void AddRule(const std::string& box_relative) {
    CDivMenuArray rules;
    rules.Load(profile_);
    ASSERT_TRUE(rules.Add(CDivMenu{1, "x", Path(box_relative), "", ""}));
    ASSERT_TRUE(rules.Save(profile_));
  }
  std::vector<std::string> RuleBoxes() {
    CDivMenuArray rules;
    rules.Load(profile_);
    std::vector<std::string> boxes;
    for (std::size_t i = 0; i < rules.Count(); ++i) boxes.push_back(rules.At(i)->mail_box);
    return boxes;
  }

  testing::TempDirectory dir_{true};
  std::string data_;
  Profile profile_{"lpost.conf"};
  AppSettings settings_;
  RecordingUserInterface ui_;
  std::vector<std::string> trashed_;
  bool trash_works_ = true;
  TrashOutcome trash_outcome_ = TrashOutcome::Moved;
  TreeOperationContext context_{profile_, ui_, [this](std::string_view path) {
                                  trashed_.emplace_back(path);
                                  if (!trash_works_) return TrashOutcome::Failed;
                                  if (trash_outcome_ == TrashOutcome::Moved) std::filesystem::remove_all(ToNativePath(path));
                                  return trash_outcome_;
                                }};
  MailboxTree tree_;
};

TEST_F(MailboxTreeTest, BuildShowsFixedBoxesFoldersAndBoxes) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  MakeFolder("Plain");          // no ".lp": not shown, nor what it holds
  MakeBox("Plain/Hidden.lp");
  MakeFolder(".dot.lp");        // hidden directory
  MakeBox(".dot.lp/B.lp");
  MakeBox("Top.lp");
  WriteFileBytes(ToNativePath(Path("notes.txt")), "x");
  Build();

  struct Expected {
    std::string text;
    TreeItemKind kind;
    int image;
    std::string parent_text;
    std::string path;  // relative to the data directory
  };
  const std::vector<Expected> expected = {
      {"Lanternpost", TreeItemKind::Root, 0, "", ""},
      {kBoxRoot, TreeItemKind::BoxRoot, 1, "Lanternpost", ""},
      {kReceive, TreeItemKind::FixedBox, 5, kBoxRoot, kReceive + ".lp"},
      {kSend, TreeItemKind::FixedBox, 6, kBoxRoot, kSend + ".lp"},
      {kDraft, TreeItemKind::FixedBox, 8, kBoxRoot, kDraft + ".lp"},
      {kTrash, TreeItemKind::FixedBox, 4, kBoxRoot, kTrash + ".lp"},
      {"Old", TreeItemKind::Folder, 3, kBoxRoot, "Old.lp"},
      {"A", TreeItemKind::Box, 2, "Old", "Old.lp/A.lp"},
      {"Top", TreeItemKind::Box, 2, kBoxRoot, "Top.lp"},
  };
  std::vector<std::string> texts;
  for (const TreeItem& item : tree_.items()) texts.push_back(item.text);
  ASSERT_EQ(tree_.items().size(), expected.size()) << ::testing::PrintToString(texts);
  for (const Expected& e : expected) {
    const int id = FindText(e.text);
    ASSERT_NE(id, MailboxTree::kNone) << e.text;
    const TreeItem& item = *tree_.Item(id);
    EXPECT_EQ(item.kind, e.kind) << e.text;
    EXPECT_EQ(item.image, e.image) << e.text;
    if (!e.parent_text.empty()) {
      EXPECT_EQ(tree_.Item(item.parent)->text, e.parent_text) << e.text;
    }
    if (!e.path.empty()) {
      EXPECT_EQ(item.path, Path(e.path)) << e.text;
    }
  }
  EXPECT_EQ(tree_.selected(), FindText(kReceive));
  EXPECT_TRUE(tree_.Item(MailboxTree::kBoxRoot)->expanded);
}

TEST_F(MailboxTreeTest, BoxListRecordsFoldersAfterTheirContentsAndSortsFolded) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  MakeFolder("Old.lp/Deep.lp");
  MakeBox("b.lp");
  MakeBox("C.LP");  // the extension matches without regard to case

  std::vector<std::string> scanned;
  ScanBoxes(Path("Old.lp"), scanned);
  std::sort(scanned.begin(), scanned.end());
  EXPECT_EQ(scanned, (std::vector<std::string>{Path("Old.lp/A.lp"), Path("Old.lp/Deep.lp/")}));

  const std::vector<std::string> list = BuildBoxList(data_);
  std::vector<std::string> mine;
  for (const std::string& path : list) {
    if (path.find(kReceive) == std::string::npos && path.find(kSend) == std::string::npos &&
        path.find(kDraft) == std::string::npos && path.find(kTrash) == std::string::npos) {
      mine.push_back(path.substr(data_.size() + 1));
    }
  }
  EXPECT_EQ(mine, (std::vector<std::string>{"b.lp", "C.LP", "Old.lp/", "Old.lp/A.lp", "Old.lp/Deep.lp/"}));
}

TEST_F(MailboxTreeTest, BoxListEndsAtAFolderThatContainsItself) {
  MakeFolder("Loop.lp");
  std::filesystem::create_directory_symlink(ToNativePath(Path("Loop.lp")), ToNativePath(Path("Loop.lp/Again.lp")));
  const std::vector<std::string> list = BuildBoxList(data_);
  const auto nested = std::count_if(list.begin(), list.end(),
                                    [](const std::string& p) { return p.find("Again.lp") != std::string::npos; });
  EXPECT_EQ(nested, kMaxFolderDepth);
  Build();  // and the tree takes the list as it is
  EXPECT_NE(Find("Loop.lp/Again.lp"), MailboxTree::kNone);
}

TEST_F(MailboxTreeTest, UnreadMarksFollowTheReadSetting) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  MakeBox("Zero.lp");
  // Marks of an older version, keyed by the absolute path.
  ASSERT_TRUE(profile_.WriteInt("Read", Path("Old.lp/A.lp"), 1));
  ASSERT_TRUE(profile_.WriteInt("Read", Path(kDraft + ".lp"), 1));
  ASSERT_TRUE(profile_.WriteInt("Read", Path(kTrash + ".lp"), 1));
  ASSERT_TRUE(profile_.WriteInt("Read", Path("Zero.lp"), 0));
  Build();
  // Read once, they are kept relative to the data directory from now on,
  // so a copied or moved data directory keeps them.
  EXPECT_EQ(profile_.GetInt("Read", "Old.lp/A.lp", -1), 1);
  EXPECT_EQ(profile_.GetInt("Read", "Zero.lp", -1), 0);
  EXPECT_EQ(profile_.GetInt("Read", Path("Old.lp/A.lp"), -1), -1);
  EXPECT_EQ(UnreadMarkKey(profile_, Path("Old.lp/A.lp")), "Old.lp/A.lp");
  EXPECT_TRUE(tree_.Item(Find("Old.lp/A.lp"))->unread);
  EXPECT_TRUE(tree_.Item(Find("Old.lp"))->expanded);  // opened so the mark shows
  EXPECT_TRUE(tree_.Item(Find(kDraft + ".lp"))->unread);
  EXPECT_FALSE(tree_.Item(Find(kTrash + ".lp"))->unread);  // never on the trash
  EXPECT_FALSE(tree_.Item(Find("Zero.lp"))->unread);

  ASSERT_TRUE(WriteUnreadMark(profile_, Path("Old.lp/A.lp"), false));
  ASSERT_TRUE(profile_.RemoveKey("Read", UnreadMarkKey(profile_, Path(kDraft + ".lp"))));
  tree_.RefreshUnreadMarks(profile_);
  EXPECT_FALSE(tree_.Item(Find("Old.lp/A.lp"))->unread);
  EXPECT_TRUE(tree_.Item(Find(kDraft + ".lp"))->unread);  // no mark: left as it was
}

TEST_F(MailboxTreeTest, NewBoxAndFolderGoUnderTheSelection) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  Build();
  struct Case {
    std::string selected;  // relative path of the selected item, "" for the root
    std::string name;
    bool folder;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Old.lp", "InFolder", false, "Old.lp/InFolder.lp"},
      {"Old.lp/A.lp", "BesideA", false, "Old.lp/BesideA.lp"},
      {"", "AtTop", false, "AtTop.lp"},
      {kReceive + ".lp", "BesideInbox", true, "BesideInbox.lp"},
      {"Old.lp", "Sub", true, "Old.lp/Sub.lp"},
      {"", "\x95\x5C", false, "\x95\x5C.lp"},  // 表: its trail byte 0x5C is no separator
  };
  for (const Case& c : cases) {
    const int selected = c.selected.empty() ? MailboxTree::kRoot : Find(c.selected);
    const int id = c.folder ? NewFolder(context_, tree_, selected, c.name) : NewBox(context_, tree_, selected, c.name);
    ASSERT_NE(id, MailboxTree::kNone) << c.name;
    const TreeItem& item = *tree_.Item(id);
    EXPECT_EQ(item.path, Path(c.expected));
    EXPECT_EQ(item.text, c.name);
    EXPECT_EQ(item.kind, c.folder ? TreeItemKind::Folder : TreeItemKind::Box);
    EXPECT_TRUE(tree_.Item(item.parent)->expanded);
    EXPECT_EQ(c.folder ? IsDirectory(item.path) : FileSize(item.path) == 0u, true) << c.name;
    const std::string listed = c.folder ? item.path + "/" : item.path;
    EXPECT_NE(std::find(tree_.box_list().begin(), tree_.box_list().end(), listed), tree_.box_list().end());
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MailboxTreeTest, NewEntriesThatCannotBeMadeAreRefused) {
  MakeFolder("Old.lp");
  MakeBox("Taken.lp");
  // On disk "x\x81" is "x" and U+FFFD: a name "x\x81/y" would land inside it.
  MakeFolder("x\x81");
  Build();
  struct Case {
    std::string name;
    bool folder;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"Old", false, kNameExists},  // a folder of that name exists
      {"Taken", false, kNameExists},
      {"Old", true, kFolderNotCreated},
      {"Taken", true, kFolderNotCreated},
      {"a/b", true, kFolderNotCreated},
      {"", true, kFolderNotCreated},
      {"..", true, kFolderNotCreated},
      {".hidden", true, kFolderNotCreated},  // the box list would never show it
      {"a\x01", false, kBoxNotCreated},
      {"a\\b", false, kBoxNotCreated},
      {"x\x81/y", false, kBoxNotCreated},  // the "/" after an invalid lead byte survives conversion
      {"x\x81/y", true, kFolderNotCreated},
      {"\x81/", false, kBoxNotCreated},
  };
  for (const Case& c : cases) {
    ui_.messages.clear();
    const std::size_t before = tree_.items().size();
    const int id = c.folder ? NewFolder(context_, tree_, MailboxTree::kRoot, c.name)
                            : NewBox(context_, tree_, MailboxTree::kRoot, c.name);
    EXPECT_EQ(id, MailboxTree::kNone) << c.name;
    EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message}) << c.name;
    EXPECT_EQ(tree_.items().size(), before);
  }
  EXPECT_TRUE(IsDirectory(Path("Old.lp")));
  EXPECT_FALSE(PathExists(Path("a")));
  EXPECT_EQ(ListDirectory(Path("x\x81"))->size(), 0u);
}

TEST_F(MailboxTreeTest, DeletingABoxTrashesItsFilesAndDropsItsRulesAndSettings) {
  MakeBox("Empty.lp");
  MakeBox("Full.lp", "text\r\n.\r\n");
  MakeBox("Kept.lp");
  AddRule("Empty.lp");
  AddRule("Full.lp");
  AddRule("Kept.lp");
  for (const char* section : {"Read", "FindBox", "AutoCompact"}) {
    ASSERT_TRUE(profile_.WriteInt(section, Path("Full.lp"), 0));
  }
  Build();

  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(DeleteItem(context_, tree_, Find("Empty.lp")));
  // "文書BOX - Emptyを削除しますか？（注：文書がある場合、２個のファイルがゴミ箱に入ります）"
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(ui_.questions[0].text,
            "\x95\xB6\x8F\x91" "BOX - Empty\x82\xF0\x8D\xED\x8F\x9C\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48"
            "\x81\x69\x92\x8D\x81\x46\x95\xB6\x8F\x91\x82\xAA\x82\xA0\x82\xE9\x8F\xEA\x8D\x87\x81\x41\x82\x51"
            "\x8C\xC2\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x83\x53\x83\x7E\x94\xA0\x82\xC9\x93\xFC"
            "\x82\xE8\x82\xDC\x82\xB7\x81\x6A");
  EXPECT_EQ(ui_.questions[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(trashed_, std::vector<std::string>{Path("Empty.lp")});  // no text file to send
  EXPECT_EQ(Find("Empty.lp"), MailboxTree::kNone);

  trashed_.clear();
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(DeleteItem(context_, tree_, Find("Full.lp")));
  EXPECT_EQ(trashed_, (std::vector<std::string>{Path("Full.lp"), Path("Full.mb")}));
  EXPECT_EQ(RuleBoxes(), std::vector<std::string>{Path("Kept.lp")});
  for (const char* section : {"Read", "FindBox", "AutoCompact"}) {
    EXPECT_EQ(profile_.GetInt(section, Path("Full.lp"), -1), -1) << section;
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MailboxTreeTest, DeletingAFolderTrashesItAndDropsTheRulesOfItsBoxes) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  MakeFolder("Old.lp/Deep.lp");
  MakeBox("Old.lp/Deep.lp/B.lp");
  MakeBox("Kept.lp");
  AddRule("Old.lp/A.lp");
  AddRule("Kept.lp");
  AddRule("Old.lp/Deep.lp/B.lp");
  Build();

  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(DeleteItem(context_, tree_, Find("Old.lp")));
  // "文書BOXのフォルダ - Oldを削除しますか？（注：配下全てゴミ箱に入ります）"
  EXPECT_EQ(ui_.questions.at(0).text,
            "\x95\xB6\x8F\x91" "BOX\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F - Old\x82\xF0\x8D\xED\x8F\x9C\x82"
            "\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48\x81\x69\x92\x8D\x81\x46\x94\x7A\x89\xBA\x91\x53\x82\xC4\x83"
            "\x53\x83\x7E\x94\xA0\x82\xC9\x93\xFC\x82\xE8\x82\xDC\x82\xB7\x81\x6A");
  EXPECT_EQ(trashed_, std::vector<std::string>{Path("Old.lp")});
  EXPECT_EQ(RuleBoxes(), std::vector<std::string>{Path("Kept.lp")});
  EXPECT_EQ(Find("Old.lp"), MailboxTree::kNone);
  EXPECT_EQ(Find("Old.lp/A.lp"), MailboxTree::kNone);
  EXPECT_EQ(FindText("B"), MailboxTree::kNone);
}

TEST_F(MailboxTreeTest, DeleteStopsOnCancelOnFixedItemsAndWhenTheTrashFails) {
  MakeBox("A.lp");
  AddRule("A.lp");
  Build();

  DeleteItem(context_, tree_, Find("A.lp"));  // unscripted question: Cancel
  for (int fixed : {MailboxTree::kRoot, MailboxTree::kBoxRoot, Find(kReceive + ".lp"), Find(kTrash + ".lp")}) {
    EXPECT_FALSE(DeleteItem(context_, tree_, fixed));
  }
  EXPECT_EQ(ui_.messages, std::vector<std::string>(4, kSelectBox));
  EXPECT_TRUE(trashed_.empty());

  ui_.messages.clear();
  trash_works_ = false;
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_FALSE(DeleteItem(context_, tree_, Find("A.lp")));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kNotDeleted});
  EXPECT_TRUE(PathExists(Path("A.lp")));
  EXPECT_NE(Find("A.lp"), MailboxTree::kNone);
  EXPECT_EQ(RuleBoxes(), std::vector<std::string>{Path("A.lp")});
}

TEST_F(MailboxTreeTest, WithoutATrashTheBoxGoesForGoodOnlyAfterAskingOnce) {
  MakeBox("Full.lp", "mail\r\n.\r\n");
  MakeBox("Kept.lp", "mail\r\n.\r\n");
  Build();
  trash_outcome_ = TrashOutcome::NoTrash;

  ui_.QueueAnswer(Answer::Ok);
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(DeleteItem(context_, tree_, Find("Kept.lp")));
  EXPECT_EQ(ui_.questions.at(1).text, store_messages::kNoTrashDeleteForGood);
  EXPECT_TRUE(PathExists(Path("Kept.lp")));
  EXPECT_TRUE(PathExists(TextFilePathOfBox("Kept.lp")));

  ui_.QueueAnswer(Answer::Ok);
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(DeleteItem(context_, tree_, Find("Full.lp")));
  EXPECT_EQ(ui_.questions.size(), 4u);  // one question for both files
  EXPECT_FALSE(PathExists(Path("Full.lp")));
  EXPECT_FALSE(PathExists(TextFilePathOfBox("Full.lp")));
  EXPECT_EQ(Find("Full.lp"), MailboxTree::kNone);
}

TEST_F(MailboxTreeTest, RenamingABoxRenamesBothFilesAndItsRulesAndSettingsFollow) {
  MakeBox("Old.lp", "mail\r\n.\r\n");
  AddRule("Old.lp");
  ASSERT_TRUE(profile_.WriteInt("AutoCompact", Path("Old.lp"), 0));
  ASSERT_TRUE(profile_.WriteInt("Read", Path("Old.lp"), 1));
  Build();

  const int id = Find("Old.lp");
  ASSERT_TRUE(RenameItem(context_, tree_, id, "New"));
  EXPECT_EQ(tree_.Item(id)->text, "New");
  EXPECT_EQ(tree_.Item(id)->path, Path("New.lp"));
  EXPECT_FALSE(PathExists(Path("Old.lp")));
  EXPECT_FALSE(PathExists(Path("Old.mb")));
  EXPECT_EQ(ReadFileBytes(ToNativePath(Path("New.mb"))), "mail\r\n.\r\n");
  EXPECT_EQ(RuleBoxes(), std::vector<std::string>{Path("New.lp")});
  EXPECT_EQ(profile_.GetInt("AutoCompact", Path("New.lp"), -1), 0);
  EXPECT_EQ(profile_.GetInt("Read", "New.lp", -1), 1);
  EXPECT_EQ(profile_.GetInt("AutoCompact", Path("Old.lp"), -1), -1);
  EXPECT_NE(std::find(tree_.box_list().begin(), tree_.box_list().end(), Path("New.lp")), tree_.box_list().end());
}

TEST_F(MailboxTreeTest, RenamingAFolderCarriesEverythingInside) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  MakeFolder("Old.lp/Deep.lp");
  MakeBox("Old.lp/Deep.lp/B.lp");
  AddRule("Old.lp/A.lp");
  AddRule("Old.lp/Deep.lp/B.lp");
  ASSERT_TRUE(profile_.WriteInt("FindBox", Path("Old.lp/Deep.lp/B.lp"), 0));
  ASSERT_TRUE(profile_.WriteInt("FindBox", Path("Old.lp"), 0));
  Build();

  ASSERT_TRUE(RenameItem(context_, tree_, Find("Old.lp"), "New"));
  EXPECT_TRUE(PathExists(Path("New.lp/Deep.lp/B.lp")));
  EXPECT_NE(Find("New.lp/A.lp"), MailboxTree::kNone);
  EXPECT_NE(Find("New.lp/Deep.lp"), MailboxTree::kNone);
  EXPECT_NE(Find("New.lp/Deep.lp/B.lp"), MailboxTree::kNone);
  EXPECT_EQ(tree_.Item(Find("New.lp"))->text, "New");
  EXPECT_EQ(RuleBoxes(), (std::vector<std::string>{Path("New.lp/A.lp"), Path("New.lp/Deep.lp/B.lp")}));
  EXPECT_EQ(profile_.GetInt("FindBox", Path("New.lp/Deep.lp/B.lp"), -1), 0);
  EXPECT_EQ(profile_.GetInt("FindBox", Path("New.lp"), -1), 0);
  EXPECT_EQ(profile_.GetInt("FindBox", Path("Old.lp"), -1), -1);
}

TEST_F(MailboxTreeTest, OpenBoxesFollowTheirFilesAndAreNeitherMovedUnderAJobNorDeleted) {
  MakeFolder("Old.lp");
  MakeBox("Old.lp/A.lp");
  MakeBox("Loose.lp");
  MakeFolder("Target.lp");
  Build();
  NullCommandObserver commands;
  OpenBoxRegistry registry(profile_, ui_, commands);
  context_.open_boxes = &registry;
  AcquiredBox inside = registry.Acquire(Path("Old.lp/A.lp"));
  AcquiredBox loose = registry.Acquire(Path("Loose.lp"));
  ASSERT_TRUE(inside.box && loose.box);

  // A folder's rename carries the open box inside it; its next save lands
  // at the new place and the old one does not come back.
  ASSERT_TRUE(RenameItem(context_, tree_, Find("Old.lp"), "New"));
  EXPECT_EQ(inside.box->PathName(), Path("New.lp/A.lp"));
  EXPECT_EQ(inside.box->TextFilePath(), Path("New.lp/A.mb"));
  inside.box->Add(std::make_unique<CMail>());
  ASSERT_TRUE(inside.box->Save().ok);
  EXPECT_FALSE(PathExists(Path("Old.lp")));
  EXPECT_EQ(registry.Find(Path("New.lp/A.lp")), inside.box.get());

  // A dragged box follows too.
  ASSERT_TRUE(MoveBox(context_, tree_, Find("Loose.lp"), Find("Target.lp")));
  EXPECT_EQ(loose.box->PathName(), Path("Target.lp/Loose.lp"));

  // A job holds the box: its files stay where they are.
  ASSERT_TRUE(loose.box->MarkBusy());
  EXPECT_FALSE(RenameItem(context_, tree_, Find("Target.lp/Loose.lp"), "Renamed"));
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kBoxBusy) + Path("Target.lp/Loose.lp"));
  EXPECT_TRUE(PathExists(Path("Target.lp/Loose.lp")));
  loose.box->ClearBusy();

  // An open box is not deleted under its window, nor the folder that holds it.
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_FALSE(DeleteItem(context_, tree_, Find("Target.lp")));
  EXPECT_EQ(ui_.messages.back(), std::string(store_messages::kCloseBoxFirst) + Path("Target.lp/Loose.lp"));
  EXPECT_TRUE(PathExists(Path("Target.lp/Loose.lp")));
  EXPECT_TRUE(trashed_.empty());
}

TEST_F(MailboxTreeTest, RenamesThatCannotHappenAreRefused) {
  MakeBox("A.lp", "a\r\n.\r\n");
  MakeBox("B.lp");
  Build();
  struct Case {
    int item;
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases = {
      {Find(kReceive + ".lp"), "Inbox", kNotEditable},
      {MailboxTree::kRoot, "x", kNotEditable},
      {MailboxTree::kBoxRoot, "x", kNotEditable},
      {Find("A.lp"), "B", kNotRenamed},  // the name is taken
      {Find("A.lp"), "x/y", kNotRenamed},
      {Find("A.lp"), "x\x81/y", kNotRenamed},
  };
  for (const Case& c : cases) {
    ui_.messages.clear();
    EXPECT_FALSE(RenameItem(context_, tree_, c.item, c.text)) << c.text;
    EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message}) << c.text;
  }
  EXPECT_FALSE(CanRename(context_, tree_, Find(kSend + ".lp")));
  EXPECT_TRUE(PathExists(Path(kReceive + ".lp")));
  EXPECT_EQ(ReadFileBytes(ToNativePath(Path("A.mb"))), "a\r\n.\r\n");

  // A stray text file of the new name would give the box foreign texts.
  WriteFileBytes(ToNativePath(Path("C.mb")), "stray");
  ui_.messages.clear();
  EXPECT_FALSE(RenameItem(context_, tree_, Find("A.lp"), "C"));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kNotRenamed});
  EXPECT_TRUE(PathExists(Path("A.lp")));
  EXPECT_TRUE(PathExists(Path("A.mb")));
  EXPECT_FALSE(PathExists(Path("C.lp")));
}

TEST_F(MailboxTreeTest, DroppingABoxMovesItByTheTargetKind) {
  MakeFolder("F.lp");
  MakeBox("F.lp/Inside.lp");
  MakeFolder("G.lp");
  MakeBox("G.lp/Other.lp");
  MakeBox("Top.lp", "t\r\n.\r\n");
  AddRule("Top.lp");
  Build();

  // Onto a box of another folder: into that folder.
  ASSERT_TRUE(MoveBox(context_, tree_, Find("Top.lp"), Find("F.lp/Inside.lp")));
  EXPECT_TRUE(PathExists(Path("F.lp/Top.lp")));
  EXPECT_EQ(ReadFileBytes(ToNativePath(Path("F.lp/Top.mb"))), "t\r\n.\r\n");
  EXPECT_FALSE(PathExists(Path("Top.lp")));
  EXPECT_EQ(RuleBoxes(), std::vector<std::string>{Path("F.lp/Top.lp")});
  const int moved = Find("F.lp/Top.lp");
  ASSERT_NE(moved, MailboxTree::kNone);
  EXPECT_EQ(tree_.Item(moved)->parent, Find("F.lp"));

  // Onto a box of its own folder: nothing happens.
  EXPECT_FALSE(MoveBox(context_, tree_, moved, Find("F.lp/Inside.lp")));
  EXPECT_TRUE(PathExists(Path("F.lp/Top.lp")));
  EXPECT_TRUE(ui_.messages.empty());

  // Onto the root item: refused.
  EXPECT_FALSE(MoveBox(context_, tree_, moved, MailboxTree::kRoot));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kNotMoved});

  // Onto a folder, then onto the box root.
  ASSERT_TRUE(MoveBox(context_, tree_, moved, Find("G.lp")));
  EXPECT_TRUE(PathExists(Path("G.lp/Top.lp")));
  ASSERT_TRUE(MoveBox(context_, tree_, Find("G.lp/Top.lp"), MailboxTree::kBoxRoot));
  EXPECT_TRUE(PathExists(Path("Top.mb")));
  EXPECT_EQ(RuleBoxes(), std::vector<std::string>{Path("Top.lp")});
  EXPECT_EQ(tree_.Item(Find("Top.lp"))->parent, MailboxTree::kBoxRoot);

  // A box of the same name in the target folder is never replaced.
  MakeBox("G.lp/Top.lp");
  ui_.messages.clear();
  EXPECT_FALSE(MoveBox(context_, tree_, Find("Top.lp"), Find("G.lp")));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kNotMoved});
  EXPECT_TRUE(PathExists(Path("Top.mb")));
}

TEST_F(MailboxTreeTest, PropertiesReadAndWriteTheBoxSettings) {
  MakeBox("A.lp");
  Build();
  const int id = Find("A.lp");
  BoxProperties shown;
  ASSERT_TRUE(EditProperties(context_, tree_, id, [&](BoxProperties& p) {
    shown = p;
    p.find_box = false;
    return true;
  }));
  EXPECT_TRUE(shown.find_box);
  EXPECT_TRUE(shown.auto_compact);
  EXPECT_EQ(profile_.GetString("FindBox", Path("A.lp")), "0");
  EXPECT_EQ(profile_.GetString("AutoCompact", Path("A.lp")), "1");

  EXPECT_FALSE(EditProperties(context_, tree_, id, [](BoxProperties& p) {
    p.auto_compact = false;
    return false;  // Cancel
  }));
  EXPECT_EQ(profile_.GetString("AutoCompact", Path("A.lp")), "1");

  EXPECT_FALSE(EditProperties(context_, tree_, MailboxTree::kRoot, [](BoxProperties&) { return true; }));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kSelectBox});
}

}  // namespace
}  // namespace lp
