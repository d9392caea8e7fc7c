#include "net/address_field.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::WriteFileBytes;

const std::string kTaro = "\x91\xBE\x98\x59";   // 太郎
const std::string kHyou = "\x95\x5C";           // 表: its trail byte is a backslash

TEST(AddressPartsTest, EntryForms) {
  struct Case {
    std::string entry;
    std::string address;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"Taro <taro@example.jp>", "taro@example.jp", "Taro "},
      {"taro@example.jp (Taro)", "taro@example.jp ", "Taro"},
      {"taro@example.jp", "taro@example.jp", ""},
      {" taro@example.jp", " taro@example.jp", ""},
      {kTaro + "<taro@example.jp>", "taro@example.jp", kTaro},
      {"\"A <b>\" <c@example.jp>", "c@example.jp", "\"A "},
      {"Taro <taro@example.jp", "taro@example.jp", "Taro "},
      {"x@example.jp (no close", "x@example.jp ", ""},
      {"Taro (Jr) <t@example.jp>", "t@example.jp", "Taro (Jr) "},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddressPart(c.entry), c.address) << c.entry;
    EXPECT_EQ(DisplayNamePart(c.entry), c.name) << c.entry;
  }
}

TEST(AddressPartsTest, LanDestinations) {
  EXPECT_TRUE(IsLanDestination("/srv/lan/bob"));
  EXPECT_TRUE(IsLanDestination("Bob <\\\\server\\share\\bob\\>"));
  EXPECT_TRUE(IsLanDestination("lan/bob (Bob)"));
  EXPECT_FALSE(IsLanDestination("bob@example.jp"));
  EXPECT_FALSE(IsLanDestination(kHyou + "@example.jp"));
  EXPECT_FALSE(IsLanDestination("b@example.jp (dept/team)"));
}

class SplitAddressFieldTest : public ::testing::Test {
 protected:
  bool Split(const std::string& field) { return SplitAddressField(field, entries_, lookup_, ui_); }

  testing::TempDirectory dir_{true};
  std::map<std::string, std::string> lists_;
  AddressListLookup lookup_ = [this](std::string_view name) -> std::optional<std::string> {
    const auto found = lists_.find(std::string(name));
    if (found == lists_.end()) return std::nullopt;
    return found->second;
  };
  RecordingUserInterface ui_;
  std::vector<std::string> entries_;
};

TEST_F(SplitAddressFieldTest, FieldsAreCutAtUnquotedCommas) {
  struct Case {
    std::string field;
    std::vector<std::string> entries;
    bool network;
  };
  const std::vector<Case> cases = {
      {"a@example.jp,b@example.jp", {"a@example.jp", "b@example.jp"}, true},
      {"a@example.jp, b@example.jp", {"a@example.jp", " b@example.jp"}, true},
      {"\"Doe, John\" <j@example.jp>,k@example.jp", {"\"Doe, John\" <j@example.jp>", "k@example.jp"}, true},
      {"a@example.jp,", {"a@example.jp"}, true},
      {"a@example.jp,,b@example.jp", {"a@example.jp", "", "b@example.jp"}, true},
      {"a@example.jp,a@example.jp", {"a@example.jp", "a@example.jp"}, true},
      {"lan/bob,lan/carol", {"lan/bob", "lan/carol"}, false},
      {"lan/bob,x@example.jp", {"lan/bob", "x@example.jp"}, true},
      {"", {}, false},
  };
  for (const Case& c : cases) {
    entries_.clear();
    EXPECT_EQ(Split(c.field), c.network) << c.field;
    EXPECT_EQ(entries_, c.entries) << c.field;
  }
}

TEST_F(SplitAddressFieldTest, EntriesAreAppendedAfterEarlierOnes) {
  entries_ = {"first@example.jp"};
  EXPECT_FALSE(Split("lan/bob"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"first@example.jp", "lan/bob"}));
}

TEST_F(SplitAddressFieldTest, ListOfEntries) {
  lists_["team"] = "a@example.jp\r\n\r\nB <b@example.jp>\r\nlan/carol\r\n";
  lists_["lan only"] = "lan/bob/\r\nlan/carol/";
  // Entries that end in a directory without separator are entries, not a file name.
  lists_["mixed"] = "a@example.jp\r\nlan/carol";
  EXPECT_TRUE(Split("team"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"a@example.jp", "B <b@example.jp>", "lan/carol"}));
  entries_.clear();
  EXPECT_FALSE(Split("lan only"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"lan/bob/", "lan/carol/"}));
  entries_.clear();
  EXPECT_TRUE(Split("mixed"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"a@example.jp", "lan/carol"}));
  entries_.clear();
  // Only the whole field names a list.
  EXPECT_TRUE(Split("team,x@example.jp"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"team", "x@example.jp"}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SplitAddressFieldTest, ListFileLinesAreEntries) {
  ASSERT_TRUE(MakeDirectory("lists"));
  const std::string long_line(300, 'x');
  WriteFileBytes(dir_.File("lists/team.txt"),
                 "a@example.jp\r\n\r\nb@example.jp\n" + long_line + "\r\nlan/bob\r\nlast@example.jp");
  lists_["team"] = "lists/team.txt\r\n";
  lists_["lan"] = "lists/lan.txt";
  WriteFileBytes(dir_.File("lists/lan.txt"), "lan/bob\r\n");
  EXPECT_TRUE(Split("team"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"a@example.jp", "b@example.jp", std::string(254, 'x'),
                                                std::string(46, 'x'), "lan/bob", "last@example.jp"}));
  entries_.clear();
  EXPECT_FALSE(Split("lan"));
  EXPECT_EQ(entries_, std::vector<std::string>{"lan/bob"});
}

TEST_F(SplitAddressFieldTest, LongListFileLinesAreNeverCutInsideACharacter) {
  ASSERT_TRUE(MakeDirectory("lists"));
  std::string line = std::string(253, 'x') + kTaro + "y";
  WriteFileBytes(dir_.File("lists/names.txt"), line + "\r\n");
  lists_["names"] = "lists/names.txt";
  Split("names");
  EXPECT_EQ(entries_, (std::vector<std::string>{std::string(253, 'x'), kTaro + "y"}));
}

TEST_F(SplitAddressFieldTest, MissingListFileIsReportedAndGivesNothing) {
  lists_["team"] = "lists/missing.txt";
  entries_ = {"kept@example.jp"};
  EXPECT_FALSE(Split("team"));
  EXPECT_EQ(entries_, std::vector<std::string>{"kept@example.jp"});
  // "アドレスファイルがみつかりません - " and the path.
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"\x83\x41\x83\x68\x83\x8C\x83\x58\x83\x74\x83\x40\x83\x43\x83\x8B"
                                                   "\x82\xAA\x82\xDD\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1"
                                                   " - lists/missing.txt"});
}

TEST_F(SplitAddressFieldTest, WithoutAddressBookFieldsAreSplitAsTyped) {
  lists_["team"] = "a@example.jp";
  EXPECT_TRUE(SplitAddressField("team", entries_, AddressListLookup{}, ui_));
  EXPECT_EQ(entries_, std::vector<std::string>{"team"});
}

}  // namespace
}  // namespace lp
