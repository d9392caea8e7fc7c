#include "codec/utf8_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace lp {
namespace {

const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";                   // 日本語
const std::string kNihongoUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語

TEST(IncompleteUtf8Tail, CountsTheBytesOfACutCharacter) {
  const std::pair<std::string, std::size_t> cases[] = {
      {"", 0}, {"abc", 0}, {"\xE6", 1}, {"\xE6\x97", 2}, {"\xE6\x97\xA5", 0},
      {"a\xF0\x9F\x98", 3}, {"\xF0\x9F\x98\x80", 0}, {"\x97\xA5", 0}, {"\xC3", 1},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(IncompleteUtf8Tail(bytes), expected);
}

TEST(IsMultibyteUtf8, TellsUtf8FromShiftJisAndEucJp) {
  const std::pair<std::string, bool> cases[] = {
      {kNihongoUtf8, true},
      {"plain ascii", false},
      {"a\xC3\xA9", true},
      {kNihongo, false},                            // Shift_JIS 日本語
      {"\xBB\xB3\xC5\xC4\xCD\xCD", false},            // EUC-JP 山田様
      {"\x82\xA0\x82\xA2", false},                    // Shift_JIS あい
      {"\xE6\x97", false},                            // cut short
      {"\xC0\xAF", false},                            // overlong "/"
      {"\xED\xA0\x80", false},                        // surrogate
      {"\xF0\x9F\x98\x80", true},                    // emoji
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(IsMultibyteUtf8(bytes), expected);
}

TEST(Utf8StreamToSjis, CharactersCutAnywhereConvertWhole) {
  for (std::size_t cut = 0; cut <= kNihongoUtf8.size(); ++cut) {
    Utf8StreamToSjis stream;
    std::string out;
    stream.Convert(kNihongoUtf8.substr(0, cut), out);
    stream.Convert(kNihongoUtf8.substr(cut), out);
    stream.Finish(out);
    EXPECT_EQ(out, kNihongo) << cut;
  }
}

TEST(Utf8StreamToSjis, BrokenCharacterAtTheEndIsReplacedNotLost) {
  Utf8StreamToSjis stream;
  std::string out;
  stream.Convert("a\xE6\x97", out);
  EXPECT_EQ(out, "a");
  stream.Finish(out);
  EXPECT_GT(out.size(), 1u);
}

}  // namespace
}  // namespace lp
