#include "codec/japanese_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec/japanese_text.h"
#include "platform/code_page.h"

namespace lp {
namespace {

std::string Sjis(const char* utf8) { return Utf8ToCp932(utf8); }

struct SearchCase {
  const char* name;
  std::string text;
  std::string pattern;
  unsigned flags;
  long offset;
  std::size_t length;
};

TEST(JapaneseSearcher, FindsWholeCharactersUnderTheFlags) {
  const std::string hyou = Sjis("表");  // 95 5C: its trail byte is a backslash
  const std::vector<SearchCase> cases = {
      {"plain ascii", "say hello", "hello", 0, 4, 5},
      {"plain kanji", Sjis("東京都の会議"), Sjis("会議"), 0, 8, 4},
      {"no match across a character: trail + lead", Sjis("ア") + "A", "A", 0, 2, 1},
      {"trail byte is no backslash", hyou, "\\", 0, -1, 0},
      {"pattern straddling two characters", Sjis("アイ"), Sjis("ア").substr(1) + Sjis("イ").substr(0, 1), 0, -1, 0},
      {"case folded", "HeLLo world", "hello", IgnoreCase, 0, 5},
      {"case not folded", "HeLLo", "hello", 0, -1, 0},
      {"half-width katakana finds full-width", Sjis("件名: テスト"), Sjis("ﾃｽﾄ"), IgnoreWidth, 6, 6},
      {"half-width voiced pair", Sjis("ガス"), Sjis("ｶﾞｽ"), IgnoreWidth, 0, 4},
      {"full-width finds half-width voiced", Sjis("ｶﾞｽ"), Sjis("ガス"), IgnoreWidth, 0, 3},
      {"hiragana finds katakana", Sjis("これはテストです"), Sjis("てすと"), IgnoreKana, 6, 6},
      {"small kana", Sjis("キャンプ"), Sjis("キヤンプ"), IgnoreSmallAndVoiced, 0, 8},
      {"kanji anchor after kana", Sjis("あ、ｶﾞｽ会社です"), Sjis("がす会社"), FoldAll, 4, 7},
      {"kanji anchor in the middle", Sjis("ＡＢＣ東京abc"), Sjis("abc東京ABC"), FoldAll, 0, 13},
      {"kanji anchor, first match wins", Sjis("xｶﾞ東 ガ東"), Sjis("ガ東"), FoldAll, 1, 4},
      {"folded anchor not on a boundary", Sjis("ア") + Sjis("東"), Sjis("東"), FoldAll, 2, 2},
      {"separate voiced mark before a kanji", Sjis("xカ゛東"), Sjis("ガ東"), FoldAll, 1, 6},
      {"separate voiced mark on the first character", Sjis("xカ゛ス"), Sjis("ガス"), IgnoreWidth, 1, 6},
      {"full-width latin", Sjis("ＲＥ：見積"), "re:", FoldAll, 0, 6},
      {"empty pattern finds nothing", "abc", "", 0, -1, 0},
      {"empty text", "", "a", FoldAll, -1, 0},
  };
  for (const SearchCase& c : cases) {
    std::size_t length = 0;
    const JapaneseSearcher searcher(c.pattern, c.flags);
    EXPECT_EQ(searcher.Find(c.text, &length), c.offset) << c.name;
    if (c.offset >= 0) {
      EXPECT_EQ(length, c.length) << c.name;
    }
    // The searcher answers as the one-off search does.
    EXPECT_EQ(FindJapaneseText(c.text, c.pattern, c.flags), c.offset) << c.name;
  }
}

// Texts built from characters that fold into each other, with lone lead
// bytes and trail bytes that look like ASCII: the prepared search must
// agree with FindJapaneseText on every flag combination.
TEST(JapaneseSearcher, AgreesWithFindJapaneseTextOnRandomText) {
  const std::vector<std::string> alphabet = {
      "a", "A", "\\", "-", Sjis("ｱ"), Sjis("ｧ"), Sjis("ｶ"), Sjis("ﾞ"), Sjis("ﾟ"), Sjis("ﾊ"), Sjis("ア"),
      Sjis("ァ"), Sjis("あ"), Sjis("カ"), Sjis("ガ"), Sjis("が"), Sjis("か"), Sjis("゛"), Sjis("゛"), Sjis("゜"),
      Sjis("パ"), Sjis("ａ"), Sjis("表"), Sjis("東"), Sjis("東"), Sjis("＝"), Sjis("ー"), "\x82", "\x95",
  };
  std::mt19937 random(12345);
  const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  const auto random_text = [&](std::size_t pieces) {
    std::string text;
    for (std::size_t i = 0; i < pieces; ++i) text += alphabet[pick(alphabet.size())];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string text = random_text(1 + pick(40));
    std::string pattern;
    if (round % 2 == 0) {
      const std::size_t start = pick(text.size());
      pattern = text.substr(start, 1 + pick(8));
    } else {
      pattern = random_text(1 + pick(4));
    }
    for (unsigned flags = 0; flags < 16; ++flags) {
      std::size_t expected_length = 0;
      std::size_t length = 0;
      const long expected = FindJapaneseText(text, pattern, flags, &expected_length);
      const long found = JapaneseSearcher(pattern, flags).Find(text, &length);
      ASSERT_EQ(found, expected) << "round " << round << " flags " << flags;
      if (found >= 0) {
        ASSERT_EQ(length, expected_length) << "round " << round << " flags " << flags;
      }
    }
  }
}

}  // namespace
}  // namespace lp
