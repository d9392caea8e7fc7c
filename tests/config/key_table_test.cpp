#include "config/key_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/key_names.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

constexpr std::uint32_t kF1 = 112;
constexpr std::uint32_t kF5 = 116;

KeyCombination Key(std::uint32_t key, bool ctrl = false, bool shift = false, bool alt = false) {
  return KeyCombination{key, alt, ctrl, shift};
}

TEST(KeyTable, AKeyFileThatCannotBeWrittenLeavesTheStandardBindingsForTheNextStart) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  // A directory stands where the key file would go.
  std::filesystem::create_directory(dir.File("lpost.key"));
  ASSERT_TRUE(profile.WriteString("System", "Keycust", dir.File("lpost.key")));
  CKeycustArray table;
  (void)LoadKeyTableAtStart(profile, table);
  EXPECT_EQ(table.Count(), 23u);
  EXPECT_EQ(profile.GetInt("System", "InitNewkey1", 1), 1);  // not cleared
}

TEST(KeyTable, FirstStartAddsTheStandardBindingsOnce) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  const std::string key_file = dir.File("lpost.key");
  ASSERT_TRUE(profile.WriteString("System", "Keycust", key_file));

  CKeycustArray table;
  EXPECT_EQ(LoadKeyTableAtStart(profile, table), key_file);
  EXPECT_EQ(table.Lookup(Key(kF5)), 32887u);
  EXPECT_EQ(table.Lookup(Key(kF1, /*ctrl=*/true)), 32784u);
  EXPECT_EQ(table.Lookup(Key(kF1, false, /*shift=*/true)), 32789u);
  EXPECT_EQ(table.Count(), 23u);
  EXPECT_EQ(profile.GetInt("System", "InitNewkey1", 1), 0);
  // The key file holds them from the first start on.
  CKeycustArray second;
  EXPECT_EQ(LoadKeyTableAtStart(profile, second), key_file);
  EXPECT_EQ(second.Count(), 23u);

  // The user removes F5; the next start neither restores it nor loses the rest.
  table.RemoveAt(static_cast<std::size_t>(table.FindCombination(Key(kF5))));
  ASSERT_TRUE(table.Save(key_file));
  CKeycustArray restarted;
  LoadKeyTableAtStart(profile, restarted);
  EXPECT_EQ(restarted.Lookup(Key(kF5)), 0u);
  EXPECT_EQ(restarted.Count(), 22u);
}

TEST(KeyTable, StandardBindingsLeaveTheUsersOwnCombinations) {
  CKeycustArray table;
  table.Add({Key(kF5), 32939});
  table.AddStandardBindings();
  EXPECT_EQ(table.CommandsFor(Key(kF5)), std::vector<std::uint32_t>{32939});
}

// One press runs every command of the combination, in table order.
TEST(KeyTable, OneKeyCarriesSeveralCommandsInOrder) {
  CKeycustArray table;
  table.AddStandardBindings();
  table.Add({Key(kF5), 32939});
  EXPECT_EQ(table.CommandsFor(Key(kF5)), (std::vector<std::uint32_t>{32887, 32939}));
  EXPECT_EQ(table.Lookup(Key(kF5)), 32887u);
  EXPECT_EQ(table.LookupNext(Key(kF5)), 32939u);
  EXPECT_EQ(table.LookupNext(Key(kF5)), 0u);
  // Every modifier must match: Alt+F5 is not F5.
  EXPECT_EQ(table.Lookup(Key(kF5, false, false, /*alt=*/true)), 0u);
  EXPECT_EQ(table.FindCommand(32939), static_cast<int>(table.Count()) - 1);
  EXPECT_EQ(table.FindCommand(1), -1);
}

TEST(KeyTable, FileLayoutIsByteExact) {
  CKeycustArray table;
  table.Add({KeyCombination{0x41, /*alt=*/true, /*ctrl=*/false, /*shift=*/true}, 32887});
  const std::string one = table.Serialize();
  // Count, class header with "CKeycust", then key, alt, shift, ctrl, command.
  EXPECT_EQ(one, std::string("\x01\x00\xFF\xFF\x01\x00\x08\x00"
                             "CKeycust"
                             "\x41\x00\x01\x00\x01\x00\x00\x00\x77\x80",
                             26));
  table.Add({Key(kF1, /*ctrl=*/true), 32784});
  const std::string two = table.Serialize();
  ASSERT_EQ(two.size(), 38u);
  EXPECT_EQ(two.substr(26, 2), std::string("\x01\x80", 2));  // the class tag of later entries
}

TEST(KeyTable, SavedTableLoadsBack) {
  TempDirectory dir;
  CKeycustArray table;
  table.AddStandardBindings();
  table.Add({KeyCombination{0x51, true, true, true}, 57665});
  ASSERT_TRUE(table.Save(dir.File("keys.key")));
  CKeycustArray loaded;
  ASSERT_TRUE(loaded.Load(dir.File("keys.key")));
  EXPECT_EQ(loaded.Entries(), table.Entries());
}

// A key file that does not read leaves the table as it was.
TEST(KeyTable, BrokenFileChangesNothing) {
  TempDirectory dir;
  CKeycustArray table;
  table.Add({Key(kF5), 32887});
  const std::string good = table.Serialize();
  const std::string broken[] = {
      good.substr(0, good.size() - 1),                  // truncated
      good + "x",                                       // trailing bytes
      std::string("\x01\x00\xFF\xFF\x01\x00\x08\x00", 8) + "CKeycusX" + good.substr(16),  // foreign class
      std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6),       // absurd count
  };
  for (const std::string& bytes : broken) {
    WriteFileBytes(dir.File("bad.key"), bytes);
    CKeycustArray other;
    other.Add({Key(kF1), 57666});
    EXPECT_FALSE(other.Load(dir.File("bad.key")));
    EXPECT_EQ(other.Count(), 1u);
  }
  CKeycustArray missing;
  EXPECT_FALSE(missing.Load(dir.File("none.key")));
}

TEST(KeyTable, LoadedKeyFileIsRemembered) {
  TempDirectory dir;
  Profile profile(dir.File("lpost.conf"));
  CKeycustArray table;
  table.Add({Key(kF5), 32887});
  ASSERT_TRUE(table.Save(dir.File("mine.key")));
  ASSERT_TRUE(profile.WriteString("System", "Keycust", dir.File("mine.key")));
  ASSERT_TRUE(profile.WriteInt("System", "InitNewkey1", 0));
  CKeycustArray loaded;
  LoadKeyTableAtStart(profile, loaded);
  EXPECT_EQ(loaded.Count(), 1u);
  RememberKeyFile(profile, dir.File("other.key"));
  EXPECT_EQ(profile.GetString("System", "Keycust"), dir.File("other.key"));
}

TEST(KeyNames, BindingTextsAndKeyNames) {
  EXPECT_EQ(BindingText(KeyCombination{116, true, true, true}), "Alt+Shift+Ctrl+F5");
  EXPECT_EQ(BindingText(Key(126)), "F15");
  EXPECT_EQ(BindingText(Key(96, true)), "Ctrl+0");  // keypad digit
  EXPECT_EQ(KeyNameOf(192), "@");
  EXPECT_EQ(KeyNameOf(34), "PageDown");
  EXPECT_EQ(KeyNameOf(0x5A), "Z");
  EXPECT_EQ(KeyNameOf(250), "");
  EXPECT_EQ(BindableKeys().size(), 15u + 1 + 26 + 19 + 10);
  EXPECT_EQ(BindableKeys().front().name, "F1");
  EXPECT_EQ(BindableKeys().back().name, "9");
}

}  // namespace
}  // namespace lp
