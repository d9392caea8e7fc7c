#include "codec/mime_parameters.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lp {
namespace {

const std::string kA = "\x82\xA0";                        // あ
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語

TEST(ExtractBoundary, QuotedUnquotedAndMissing) {
  const std::pair<std::string, std::string> cases[] = {
      {"Content-Type: multipart/mixed; boundary=\"----=_Part_1\"", "------=_Part_1"},
      {"\tBOUNDARY=\"Apple-Mail=_3:4\"; charset=x", "--Apple-Mail=_3:4"},
      {"multipart/mixed; boundary=simple", "--simple"},
      {"multipart/mixed; boundary=simple; type=x", "--simple"},
      {"multipart/mixed; boundary=\"unterminated", "--"},
      {"text/plain", "--"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(ExtractBoundary(line), expected) << line;
}

TEST(ExtractParameter, CutAtSemicolonAndUnquoted) {
  EXPECT_EQ(ExtractParameter("text/plain; Charset=\"UTF-8\"", "charset"), "UTF-8");
  EXPECT_EQ(ExtractParameter("text/plain; charset=iso-2022-jp; format=flowed", "charset"), "iso-2022-jp");
  EXPECT_EQ(ExtractParameter("text/plain", "charset"), "");
}

TEST(ParseMimeParameters, QuotedValuesMayHoldSemicolons) {
  const auto parameters = ParseMimeParameters("attachment; FileName=\"a;b \\\"c\\\".txt\"; size=12 ; junk");
  ASSERT_EQ(parameters.size(), 2u);
  EXPECT_EQ(parameters[0].attribute, "filename");
  EXPECT_EQ(parameters[0].value, "a;b \"c\".txt");
  EXPECT_TRUE(parameters[0].quoted);
  EXPECT_EQ(parameters[1].value, "12");
  EXPECT_FALSE(parameters[1].quoted);
}

TEST(MediaTypeOf, LowerCaseOrEmpty) {
  EXPECT_EQ(MediaTypeOf(" Multipart/Mixed; boundary=x"), "multipart/mixed");
  EXPECT_EQ(MediaTypeOf(" ; name=x"), "");
}

TEST(FileNameParameter, PlainEncodedWordAndRfc2231Forms) {
  const struct {
    const char* name;
    std::string value;
    std::string attribute;
    bool require_quotes;
    std::optional<std::string> expected;
  } cases[] = {
      {"quoted", "application/pdf; name=\"a.pdf\"", "name", false, "a.pdf"},
      {"unquoted allowed", "application/pdf; name=a.pdf", "name", false, "a.pdf"},
      {"unquoted refused", "attachment; filename=a.pdf", "filename", true, ""},
      {"absent", "application/pdf", "name", false, std::nullopt},
      {"filename is not name", "attachment; filename=\"a.pdf\"", "name", false, std::nullopt},
      {"encoded word", "x/y; name=\"=?ISO-2022-JP?B?GyRCJCIbKEI=?=.txt\"", "name", false, kA + ".txt"},
      {"extended", "x/y; name*=UTF-8''%E3%81%82.txt", "name", false, kA + ".txt"},
      {"extended, language, lower-case hex", "x/y; filename*=utf-8'ja'%e3%81%82", "filename", true, kA},
      {"extended in Shift_JIS", "x/y; filename*=Shift_JIS''%82%A0", "filename", true, kA},
      {"continuations out of order", "x/y; name*1*=%AC%E8%AA%9E; name*0*=UTF-8''%E6%97%A5%E6%9C", "name", false,
       kNihongo},
      {"continuations, plain and quoted", "x/y; name*0=\"ab\"; name*1=\"c.txt\"", "name", false, "abc.txt"},
      {"extended wins over plain", "x/y; name=\"old.txt\"; name*=UTF-8''%E3%81%82", "name", false, kA},
      {"no charset", "x/y; name*=''plain%20name", "name", false, "plain name"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileNameParameter(c.value, c.attribute, c.require_quotes), c.expected) << c.name;
  }
}

TEST(FileNameParameter, HostileContinuationsStayBounded) {
  std::string value = "x/y";
  for (int i = 0; i < 5000; ++i) value += "; name*" + std::to_string(i) + "=ab";
  const std::optional<std::string> name = FileNameParameter(value, "name", false);
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(name->size(), 2u * 256u);
}

}  // namespace
}  // namespace lp
