#include "codec/mime_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using namespace std::string_literals;

struct Case {
  std::string input;
  std::string expected;
};

TEST(Base64Encode, TextGivesPaddedGroups) {
  const Case cases[] = {
      {"abc", "YWJj"},
      {"ab", "YWI="},
      {"a", "YQ=="},
      {"", ""},
      {"user@example.jp", "dXNlckBleGFtcGxlLmpw"},
      {"ab\0cd"s, "YWI="},  // the text ends at its NUL
  };
  for (const Case& c : cases) EXPECT_EQ(Base64EncodeText(c.input), c.expected) << c.input;
}

TEST(Base64Encode, BlockEncodesEveryByteAndMakesAttachmentLines) {
  EXPECT_EQ(Base64EncodeBlock("ab\0cd"s), "YWIAY2Q=");
  std::string group;
  for (int i = 0; i < 57; ++i) group += static_cast<char>(i * 7);
  const std::string line = Base64EncodeBlock(group);
  EXPECT_EQ(line.size(), 76u);
  EXPECT_EQ(line.find('='), std::string::npos);
  EXPECT_EQ(Base64DecodeBytes(line), group);
}

TEST(Base64Decode, TextFollowsGroupsPaddingAndNul) {
  const Case cases[] = {
      {"YWJj", "abc"},           // three bytes
      {"YWI=", "ab"},            // one pad
      {"YQ==", "a"},             // two pads
      {"", ""},                  // nothing
      {"YWJjZA", "abc"},         // an incomplete last group is ignored
      {"YQ==YWJj", "a"},         // padding ends the text
      {"YWI=YWJj", "ab"},        // padding ends the text
      {"YQBi", "a"},             // a decoded NUL ends the text
      {"!!!!", "\x96\x59\x65"},  // no validation: the arithmetic decides
      {"44Gk", "\xE3\x81\xA4"},
  };
  for (const Case& c : cases) EXPECT_EQ(Base64DecodeText(c.input), c.expected) << c.input;
}

TEST(Base64Decode, BytesKeepNul) { EXPECT_EQ(Base64DecodeBytes("YQBi"), "a\0b"s); }

TEST(Base64Decode, AppendAddsToWhatIsCollected) {
  std::string collected = "head:";
  Base64DecodeAppend("YWJj", collected);
  Base64DecodeAppend("YQ==", collected);
  Base64DecodeAppend("Y", collected);
  EXPECT_EQ(collected, "head:abca");
}

TEST(Base64Decode, Utf8LineBecomesShiftJis) {
  // 日本語の件名
  EXPECT_EQ(Base64Utf8LineToSjis("5pel5pys6Kqe44Gu5Lu25ZCN"),
            "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x8C\x8F\x96\xBC");
}

TEST(Base64Decode, ToFileAppendsLineByLine) {
  testing::TempDirectory dir;
  std::string original;
  for (int i = 0; i < 1000; ++i) original += static_cast<char>((i * 37 + 11) & 0xFF);

  File file;
  ASSERT_TRUE(file.Open(dir.File("attachment.bin"), File::Mode::Write));
  for (std::size_t pos = 0; pos < original.size(); pos += 57) {
    EXPECT_TRUE(Base64DecodeToFile(Base64EncodeBlock(original.substr(pos, 57)), file));
  }
  EXPECT_TRUE(Base64DecodeToFile("", file));
  file.Close();
  EXPECT_EQ(testing::ReadFileBytes(dir.File("attachment.bin")), original);
}

TEST(QuotedPrintable, DecodesEscapesAndDropsSoftBreaks) {
  const Case cases[] = {
      {"a=3Db", "a=b"},
      {"=E3=81=82", "\xE3\x81\x82"},
      {"=e3=81=82", "\xE3\x81\x82"},  // lower-case hex digits
      {"soft break=", "soft break"},
      {"ab=4", "ab4"},  // "=" without two characters is dropped
      {"=", ""},
      {"a_b c", "a_b c"},                  // "_" is kept outside encoded words
      {"=1B$B$D=1B(B", "\x1B$B$D\x1B(B"},  // JIS text in a quoted-printable body
      {"100% sure", "100% sure"},
  };
  for (const Case& c : cases) EXPECT_EQ(QuotedPrintableDecode(c.input), c.expected) << c.input;
}

TEST(Uudecode, WritesCountedBytesAndReportsEndLine) {
  testing::TempDirectory dir;
  File file;
  ASSERT_TRUE(file.Open(dir.File("out.bin"), File::Mode::Write));
  EXPECT_EQ(UudecodeLineToFile("#86)C", file), 3);
  EXPECT_EQ(UudecodeLineToFile("-2&5L;&\\L('=O<FQD(0``", file), 13);
  // Trailing blanks stripped by a mailer: the short group still gives the
  // bytes its characters hold.
  EXPECT_EQ(UudecodeLineToFile("-2&5L;&\\L('=O<FQD(0", file), 13);
  EXPECT_EQ(UudecodeLineToFile("#86)C86)C", file), 3);  // the count caps the output
  EXPECT_EQ(UudecodeLineToFile("`", file), kUudecodeEndLine);
  EXPECT_EQ(UudecodeLineToFile(" ", file), kUudecodeEndLine);
  EXPECT_EQ(UudecodeLineToFile("", file), 0);
  EXPECT_EQ(UudecodeLineToFile("M", file), 0);  // a count but no data
  file.Close();
  EXPECT_EQ(testing::ReadFileBytes(dir.File("out.bin")), "abcHello, world!Hello, world!abc");
}

TEST(Uudecode, ReportsFailedWrite) {
  testing::TempDirectory dir;
  testing::WriteFileBytes(dir.File("read-only.bin"), "");
  File file;
  ASSERT_TRUE(file.Open(dir.File("read-only.bin"), File::Mode::Read));
  EXPECT_EQ(UudecodeLineToFile("#86)C", file), kUudecodeWriteFailed);
  EXPECT_FALSE(Base64DecodeToFile("YWJj", file));
}

TEST(FormText, DecodesMailtoQuery) {
  const Case cases[] = {
      {"subject=%E3%81%82&body=a+b", "subject=\xE3\x81\x82\r\nbody=a b"},
      {"body=%e3%81%82", "body=\xE3\x81\x82"},
      {"cc=a%40example.jp", "cc=a@example.jp"},
      {"body=50%", "body=50%"},  // "%" without two characters stays
      {"body=5%4", "body=5%4"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeFormText(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace lp
