#include "config/signatures.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

// The signature directory's default depends on the working directory.
class SignaturesTest : public ::testing::Test {
 protected:
  TempDirectory dir_{true};
  Profile profile_{"lpost.conf"};

  CSigneMenuArray Loaded() {
    CSigneMenuArray table;
    table.Load(profile_);
    return table;
  }
};

TEST_F(SignaturesTest, DefaultsWithoutAFileBeside) {
  CSigneMenuArray table = Loaded();
  EXPECT_EQ(table.Directory(), "Signe");
  ASSERT_EQ(table.Count(), 5u);
  EXPECT_EQ(table.At(1).name, "\x8F\x90\x96\xBC" "1");  // 署名1
  EXPECT_EQ(table.At(5).name, "\x8F\x90\x96\xBC" "5");
  EXPECT_EQ(table.At(5).file, "signe5.txt");
  EXPECT_EQ(table.FilePath(2), "Signe/signe2.txt");
  EXPECT_EQ(table.FilePath(0), "");
  EXPECT_EQ(table.FilePath(6), "");
}

TEST_F(SignaturesTest, FirstFileBesideMakesTheDirectoryEmpty) {
  WriteFileBytes(dir_.File("signe1.txt"), "--\nTaro\n");
  CSigneMenuArray table = Loaded();
  EXPECT_EQ(table.Directory(), "");
  EXPECT_EQ(table.FilePath(1), "signe1.txt");
  EXPECT_EQ(table.Text(1), "--\r\nTaro\r\n");
}

TEST_F(SignaturesTest, StoredEntries) {
  ASSERT_TRUE(profile_.WriteString("Signe", "Dir", "sig/"));
  ASSERT_TRUE(profile_.WriteString("Signe", "SetCount", "2"));
  ASSERT_TRUE(profile_.WriteString("Signe", "Name02", "\x8E\xA9\x91\xEE"));  // 自宅
  ASSERT_TRUE(profile_.WriteString("Signe", "File02", "home.txt"));
  ASSERT_TRUE(MakeDirectory("sig"));
  WriteFileBytes(dir_.File("sig/home.txt"), "\x8E\x52\x93\x63\r\n");
  CSigneMenuArray table = Loaded();
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.At(1).file, "signe1.txt");
  EXPECT_EQ(table.At(2).name, "\x8E\xA9\x91\xEE");
  EXPECT_EQ(table.FilePath(2), "sig/home.txt");
  EXPECT_EQ(table.Text(2), "\x8E\x52\x93\x63\r\n");
  EXPECT_EQ(table.Text(1), "");  // no such file
  EXPECT_EQ(table.Text(0), "");  // "no signature"
}

TEST_F(SignaturesTest, CountIsBounded) {
  ASSERT_TRUE(profile_.WriteString("Signe", "SetCount", "5000"));
  EXPECT_EQ(Loaded().Count(), CSigneMenuArray::kMaxSignatures);
  ASSERT_TRUE(profile_.WriteString("Signe", "SetCount", "-3"));
  EXPECT_EQ(Loaded().Count(), 0u);
}

TEST_F(SignaturesTest, SaveAndLoadAgain) {
  CSigneMenuArray table = Loaded();
  table.SetDirectory("");
  ASSERT_TRUE(table.Append({"extra", "extra.txt"}));
  ASSERT_TRUE(table.Save(profile_));
  CSigneMenuArray loaded = Loaded();
  EXPECT_EQ(loaded.Directory(), "");
  ASSERT_EQ(loaded.Count(), 6u);
  EXPECT_EQ(loaded.At(6).name, "extra");
  EXPECT_EQ(loaded.At(6).file, "extra.txt");
  EXPECT_EQ(profile_.GetString("Signe", "File06"), "extra.txt");
}

struct TextCase {
  const char* file;
  const char* text;
};

const TextCase kTextCases[] = {
    {"", ""},
    {"one", "one\r\n"},
    {"a\r\nb\nc", "a\r\nb\r\nc\r\n"},
    {"\n\n", "\r\n\r\n"},
    {"x\ry\n", "x\ry\r\n"},  // a lone CR is no line break
};

TEST(SignatureTextTest, LinesEndInCrLf) {
  for (const auto& c : kTextCases) {
    EXPECT_EQ(SignatureTextFromFileBytes(c.file), c.text) << c.file;
  }
  std::string long_line(10000, 'x');
  EXPECT_EQ(SignatureTextFromFileBytes(long_line), long_line + "\r\n");
}

}  // namespace
}  // namespace lp
