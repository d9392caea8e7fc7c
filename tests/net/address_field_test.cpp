#include "net/address_field.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lp {
namespace {

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
  struct Case {
    std::string entry;
    bool lan;
  };
  const std::vector<Case> cases = {
      {"/srv/lan/bob", true},
      {"Bob <\\\\server\\share\\bob\\>", true},
      {"lan/bob (Bob)", true},
      {"bob@example.jp", false},
      {kHyou + "@example.jp", false},
      {"b@example.jp (dept/team)", false},
      // A separator in the local part leaves a mail address.
      {"sales/jp@example.co.jp", false},
      {"Sales <sales\\jp@example.co.jp>", false},
      {"/srv/lan/bob@host", false},
      // A directory whose name holds an "@".
      {"/srv/lan/bob@host/", true},
      {"/srv/lan@x/bob", true},
      // "@" as the trail byte of ソ (0x83 0x40) is no at sign.
      {"/srv/lan/\x83\x40x", true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsLanDestination(c.entry), c.lan) << c.entry;
}

class SplitAddressFieldTest : public ::testing::Test {
 protected:
  bool Split(const std::string& field) { return SplitAddressField(field, entries_, lookup_); }

  std::map<std::string, std::vector<std::string>> lists_;
  AddressListLookup lookup_ = [this](std::string_view name) -> std::optional<std::vector<std::string>> {
    const auto found = lists_.find(std::string(name));
    if (found == lists_.end()) return std::nullopt;
    return found->second;
  };
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
      {kTaro + "<t@example.jp>," + kHyou + "<h@example.jp>", {kTaro + "<t@example.jp>", kHyou + "<h@example.jp>"}, true},
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

TEST_F(SplitAddressFieldTest, AddressListGivesItsMembers) {
  lists_["team"] = {"a@example.jp", "B <b@example.jp>", "lan/carol"};
  lists_["lan only"] = {"lan/bob/", "lan/carol/"};
  lists_["empty"] = {};
  EXPECT_TRUE(Split("team"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"a@example.jp", "B <b@example.jp>", "lan/carol"}));
  entries_.clear();
  EXPECT_FALSE(Split("lan only"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"lan/bob/", "lan/carol/"}));
  entries_.clear();
  EXPECT_FALSE(Split("empty"));
  EXPECT_TRUE(entries_.empty());
  // Only the whole field names a list.
  EXPECT_TRUE(Split("team,x@example.jp"));
  EXPECT_EQ(entries_, (std::vector<std::string>{"team", "x@example.jp"}));
}

TEST_F(SplitAddressFieldTest, WithoutAddressBookFieldsAreSplitAsTyped) {
  lists_["team"] = {"a@example.jp"};
  EXPECT_TRUE(SplitAddressField("team", entries_, AddressListLookup{}));
  EXPECT_EQ(entries_, std::vector<std::string>{"team"});
}

}  // namespace
}  // namespace lp
