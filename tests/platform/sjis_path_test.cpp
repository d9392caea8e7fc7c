#include "platform/sjis_path.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// "表" is 0x95 0x5C and "ソ" 0x83 0x5C in Shift_JIS: their trail byte is a backslash.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";

TEST(SjisPath, TrailByteBackslashIsNoSeparator) {
  struct Case {
    std::string path;
    std::size_t last;
  };
  const Case cases[] = {
      {kHyo, std::string::npos},
      {"dir/" + kHyo + ".lp", 3},
      {"a\\" + kSo + kSo, 1},
      {kSo + "/" + kHyo + "\\x", 5},
      {"", std::string::npos},
      {"/", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindLastPathSeparator(c.path), c.last) << c.path;
  }
  EXPECT_FALSE(ContainsPathSeparator(kHyo + kSo));
  EXPECT_FALSE(EndsWithPathSeparator(kHyo));
  EXPECT_TRUE(EndsWithPathSeparator(kHyo + "/"));
}

TEST(SjisPath, SinglePathComponentHoldsInTheFileSystemForm) {
  struct Case {
    std::string name;
    bool single;
  };
  const Case cases[] = {
      {"x\x81/y", false},           // invalid lead byte: iconv keeps the "/" after U+FFFD
      {"\x81/", false},
      {"\x85\x5C" "a", false},      // unassigned lead: the 0x5C survives as a backslash
      {std::string("a\0b", 3), false},
      {"a/b", false},
      {"a\\b", false},
      {"", false},
      {".", false},
      {"..", false},
      {kHyo, true},                 // trail byte 0x5C inside a valid character
      {kSo + kHyo + ".lp", true},
      {"...", true},
      {".hidden", true},
      {"\x82\xA0", true},           // "あ"
      {"x\x81", true},               // a lone lead byte at the end cannot split anything
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSinglePathComponent(c.name), c.single) << c.name;
  }
}

TEST(SjisPath, SplitsAndJoins) {
  EXPECT_EQ(DirectoryOf("a/b/" + kHyo + ".lp"), "a/b");
  EXPECT_EQ(FileNameOf("a/b/" + kHyo + ".lp"), kHyo + ".lp");
  EXPECT_EQ(DirectoryOf(kHyo + ".lp"), "");
  EXPECT_EQ(DirectoryOf("/x"), "/");
  EXPECT_EQ(JoinPath("a", "b"), "a/b");
  EXPECT_EQ(JoinPath("a/", "b"), "a/b");
  EXPECT_EQ(JoinPath(kHyo, "b"), kHyo + "/b");  // the trail 0x5C is not an ending separator
  EXPECT_EQ(JoinPath("", "b"), "b");
}

}  // namespace
}  // namespace lp
