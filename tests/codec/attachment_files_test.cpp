#include "codec/attachment_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sjis_path.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

TEST(SafeAttachmentName, KeepsOnlyAUsableFileName) {
  const std::string kHyou = "\x95\x5C";  // 表: its trail byte is a backslash
  const struct {
    std::string name;
    std::optional<std::string> expected;
  } cases[] = {
      {"a.pdf", "a.pdf"},
      {"dir/sub/a.pdf", "a.pdf"},
      {"C:\\dir\\a.pdf", "a.pdf"},
      {"../../a.pdf", "a.pdf"},
      {kHyou + ".xls", kHyou + ".xls"},
      {"...", "..."},
      {"", std::nullopt},
      {".", std::nullopt},
      {"..", std::nullopt},
      {"dir/", std::nullopt},
      {"dir\\..", std::nullopt},
      {"a\nb", std::nullopt},
      {"a\x7F", std::nullopt},
      {"x\x81/y", std::nullopt},  // on disk the "/" after an invalid lead byte would be a separator
      {"x\x81", "x\x81"},
      {"\x85\x5C" "a", std::nullopt},  // unassigned lead: a backslash on disk
      {std::string(200, 'a'), std::string(200, 'a')},
      {std::string(201, 'a'), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeAttachmentName(c.name), c.expected) << c.name;
}

TEST(NumberedAttachmentPath, NumberGoesBeforeTheExtension) {
  EXPECT_EQ(NumberedAttachmentPath("/a", "x.pdf", 0), "/a/x.pdf");
  EXPECT_EQ(NumberedAttachmentPath("/a", "x.pdf", 1), "/a/x(1).pdf");
  EXPECT_EQ(NumberedAttachmentPath("/a/", "x.tar.gz", 2), "/a/x.tar(2).gz");
  EXPECT_EQ(NumberedAttachmentPath("/a", "README", 3), "/a/README(3)");
}

TEST(AttachmentNamer, NeverOpensAnExistingFile) {
  testing::TempDirectory dir(true);
  AttachmentNamer namer(JoinPath(CurrentDirectory(), "Attach"));
  File first;
  const std::string path1 = namer.CreateNewFile("a.txt", first);
  ASSERT_EQ(path1, JoinPath(CurrentDirectory(), "Attach/a.txt"));  // directory created
  ASSERT_TRUE(first.Write("one"));
  first.Close();
  // A file that appears behind the namer's back is skipped as well.
  testing::WriteFileBytes(dir.File("Attach/a(1).txt"), "theirs");
  File second;
  const std::string path2 = namer.CreateNewFile("a.txt", second);
  EXPECT_EQ(FileNameOf(path2), "a(2).txt");
  EXPECT_EQ(testing::ReadFileBytes(dir.File("Attach/a.txt")), "one");
  EXPECT_EQ(testing::ReadFileBytes(dir.File("Attach/a(1).txt")), "theirs");
  // A fresh namer finds the first free name by looking.
  AttachmentNamer fresh(namer.directory());
  EXPECT_EQ(FileNameOf(fresh.UniquePath("a.txt")), "a(3).txt");
}

TEST(AttachmentDirectory, SettingMadeAbsolute) {
  testing::TempDirectory dir(true);
  Profile profile(dir.File("lpost.conf"));
  EXPECT_EQ(AttachmentDirectory(profile), JoinPath(CurrentDirectory(), "Attach"));
  ASSERT_TRUE(profile.WriteString("System", "AttachDir", "/var/tmp/att"));
  EXPECT_EQ(AttachmentDirectory(profile), "/var/tmp/att");
}

}  // namespace
}  // namespace lp
