#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(CodePage, RoundTripsJapanese) {
  const std::string utf8 = "受信.lp 表ソ能 ｱｲｳ ①";
  std::string sjis = Utf8ToCp932(utf8);
  EXPECT_EQ(sjis.substr(0, 4), "\x8E\xF3\x90\x4D");  // 受信
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
}

TEST(CodePage, UnrepresentableCharacterBecomesOneQuestionMark) {
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");            // emoji, four bytes
  EXPECT_EQ(Utf8ToCp932("a\xFF" "b"), "a?b");                         // invalid byte
  EXPECT_EQ(Utf8ToCp932("a\xE3\x81"), "a?");                          // truncated at the end
  EXPECT_EQ(Utf16ToCp932(u"x\U0001F600y"), "x?y");                   // surrogate pair
  EXPECT_EQ(Utf16ToCp932(u"\u65E5\u672C"), "\x93\xFA\x96\x7B");      // 日本
}

TEST(CodePage, BrokenShiftJisDoesNotStopConversion) {
  std::string out = Cp932ToUtf8("a\xFF" "b\x81");
  EXPECT_EQ(out.front(), 'a');
  EXPECT_NE(out.find('b'), std::string::npos);
}

}  // namespace
}  // namespace lp
