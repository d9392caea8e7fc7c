#include "codec/japanese_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace lp {
namespace {

struct DetectCase {
  const char* name;
  std::string text;
  JapaneseCode expected;
};

TEST(DetectJapaneseCode, DecidesByTheFirstTellingBytes) {
  const std::vector<DetectCase> cases = {
      {"empty", "", JapaneseCode::Undecided},
      {"ascii only", "Subject: hello\r\n", JapaneseCode::Undecided},
      {"kanji-in ESC $ B", "abc\x1B$B4A\x1B(B", JapaneseCode::Jis},
      {"old kanji-in ESC $ @", "\x1B$@4A", JapaneseCode::Jis},
      {"ascii-in ESC ( J", "\x1B(J", JapaneseCode::Jis},
      {"unknown escape is skipped", "\x1B(I1\x82\xA0", JapaneseCode::Sjis},
      {"sjis lead 0x82", "\x82\xA0", JapaneseCode::Sjis},                  // あ
      {"euc pair alone is ambiguous", "\xA4\xA2", JapaneseCode::EucOrSjis},  // あ in EUC-JP
      {"euc lead F0-FE decides", "\xA4\xA2\xF0\xA1", JapaneseCode::Euc},
      {"euc lead FD-FE decides at once", "\xFE\xA1\x82\xA0", JapaneseCode::Euc},
      // IBM extension kanji of Shift_JIS: 髙橋, 德永, 﨑 before ordinary kanji.
      {"F0-FC pair followed by Shift_JIS", "\xFB\xFC\x8B\xB4", JapaneseCode::Sjis},
      {"F0-FC lead with a trail below A1", "\xFA\x5E\x89\x69", JapaneseCode::Sjis},
      {"F0-FC pair followed by hiragana", "\xFA\xB1\x82\xB3\x82\xF1", JapaneseCode::Sjis},
      {"F0-FC pair alone stays EUC-JP", "\xFB\xFC", JapaneseCode::Euc},
      {"euc trail F0-FE after kana range", "\xA4\xF3", JapaneseCode::Euc},  // ん in EUC-JP
      {"half-width kana then ascii", "\xB1" "a", JapaneseCode::Sjis},       // ｱa
      {"half-width kana at the end", "\xB1", JapaneseCode::Sjis},           // ｱ
      {"two half-width kana", "\xB1\xB2", JapaneseCode::EucOrSjis},         // ｱｲ
      {"SS2 kana", "\x8E\xB1", JapaneseCode::EucOrSjis},
      {"0x8E as sjis lead", "\x8E\x9A", JapaneseCode::Sjis},                // 字
      {"E0 with low trail", "\xE0\x40", JapaneseCode::Sjis},
      {"E0 with FD trail", "\xE0\xFD", JapaneseCode::Euc},
      {"E0 with high trail", "\xE0\xA1", JapaneseCode::EucOrSjis},
      {"NUL ends the scan", std::string("abc\0\x82\xA0", 6), JapaneseCode::Undecided},
      {"NUL after an ambiguous pair", std::string("\xA4\xA2\0\xF0", 4), JapaneseCode::EucOrSjis},
      {"escape cut at the end", "a\x1B$", JapaneseCode::Undecided},
  };
  for (const DetectCase& c : cases) {
    EXPECT_EQ(DetectJapaneseCode(c.text), c.expected) << c.name;
  }
}

struct ConvertCase {
  const char* name;
  std::string input;
  std::string expected;
};

TEST(ConvertToSjis, ConvertsJisAndEucAndCopiesTheRest) {
  const std::vector<ConvertCase> cases = {
      // 漢字
      {"jis", "A\x1B$B4A;z\x1B(B" "B", "A\x8A\xBF\x8E\x9A" "B"},
      // 漢字 then 日本
      {"euc", "\xB4\xC1\xBB\xFA\xC6\xFC\xCB\xDC", "\x8A\xBF\x8E\x9A\x93\xFA\x96\x7B"},
      {"ascii", "plain text\r\n", "plain text\r\n"},
      {"ambiguous pair copied", "\xA4\xA2", "\xA4\xA2"},
      {"sjis copied", "\x8E\xF3\x90\x4D", "\x8E\xF3\x90\x4D"},  // 受信
  };
  for (const ConvertCase& c : cases) {
    EXPECT_EQ(ConvertToSjis(c.input), c.expected) << c.name;
  }
}

struct CountedCase {
  const char* name;
  std::string input;
  std::string expected;
  int count;
};

TEST(SjisToJis, EncodesKanjiKanaAndUnconvertibleCodes) {
  const std::vector<CountedCase> cases = {
      {"two kanji", "\x8A\xBF\x8E\x9A", "\x1B$B4A;z\x1B(B", 2},  // 漢字
      {"ascii then kanji", "A\x8A\xBF", "A\x1B$B4A\x1B(B", 1},    // A漢
      {"half-width kana", "\xB1", "\x0E\x31\x0F", 0},             // ｱ
      {"kana then kanji", "\xB1\x8A\xBF", "\x0E\x31\x0F\x1B$B4A\x1B(B", 1},
      // Kanji mode is closed before SO, so what follows SI reads as ASCII.
      {"kanji then kana", "\x8A\xBF\xB1" "a", "\x1B$B4A\x1B(B\x0E\x31\x0F" "a", 1},
      {"no JIS X 0208 code", "\xF0\x40", "\xF0\x40", 0},
      {"unconvertible inside kanji run", "\x8A\xBF\xF0\x40\x8A\xBF",
       "\x1B$B4A\x1B(B\xF0\x40\x1B$B4A\x1B(B", 2},
      {"NEC-selected IBM row stays", "\xED\x40", "\xED\x40", 0},
      {"NEC row 13 is arithmetic", "\x87\x40", "\x1B$B-!\x1B(B", 1},  // ①
      {"CR LF between kanji", "\x8A\xBF\r\n\x8E\x9A", "\x1B$B4A\x1B(B\r\n\x1B$B;z\x1B(B", 2},
      {"stray lead byte at the end", "a\x81", "a\x81", 0},
      {"empty", "", "", 0},
  };
  for (const CountedCase& c : cases) {
    std::string out = "old contents";
    EXPECT_EQ(SjisToJis(c.input, out), c.count) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(SjisToJis, ModesDoNotCarryOverBetweenCalls) {
  std::string out;
  SjisToJis("\x8A\xBF", out);  // ends after ESC ( B
  SjisToJis("a", out);
  EXPECT_EQ(out, "a");
}

TEST(JisToSjis, FollowsEscapesAndShifts) {
  const std::vector<CountedCase> cases = {
      {"kanji-in and out", "\x1B$B4A;z\x1B(B", "\x8A\xBF\x8E\x9A", 2},
      {"CR LF inside kanji mode", "\x1B$B4A\r\n;z\x1B(B", "\x8A\xBF\r\n\x8E\x9A", 2},
      {"old kanji-in", "\x1B$@4A\x1B(J" "a", "\x8A\xBF" "a", 1},
      {"1990 prefix", "\x1B&@\x1B$B4A\x1B(H", "\x8A\xBF", 1},
      {"ESC ( I kana", "\x1B(I1\x1B(B" "1", "\xB1" "1", 0},
      {"SO SI kana", "\x0E\x31\x32\x0F" "1", "\xB1\xB2" "1", 0},
      {"CR LF inside kana mode", "\x0E\x31\r\n\x32\x0F", "\xB1\r\n\xB2", 0},
      {"JIS X 0212 becomes geta", "\x1B$(D\x30\x21\x1B(B" "a", "\x81\xAC" "a", 1},  // 〓
      {"unknown escape copied", "\x1B(Z" "a", "\x1B(Z" "a", 0},
      {"odd byte at the end of kanji mode", "\x1B$B4A4", "\x8A\xBF" "4", 1},
      {"ascii stays", "plain", "plain", 0},
  };
  for (const CountedCase& c : cases) {
    std::string out = "old contents";
    EXPECT_EQ(JisToSjis(c.input, out), c.count) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(EucToSjis, ConvertsPairsAndKanaAndKeepsStrayBytes) {
  const std::vector<CountedCase> cases = {
      {"pairs", "\xB4\xC1\xBB\xFA", "\x8A\xBF\x8E\x9A", 2},  // 漢字
      {"SS2 kana", "a\x8E\xB1" "b", "a\xB1" "b", 0},          // ｱ
      {"SS2 without kana keeps both bytes", "\x8E\n", "\x8E\n", 0},
      {"SS3 JIS X 0212 becomes geta", "\x8F\xB0\xA1" "a", "\x81\xAC" "a", 1},
      {"stray high byte keeps the ascii after it", "\xB4" "A", "\xB4" "A", 0},
      {"lone byte at the end", "a\xB4", "a\xB4", 0},
  };
  for (const CountedCase& c : cases) {
    std::string out;
    EXPECT_EQ(EucToSjis(c.input, out), c.count) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(Utf8ToSjis, SkipsByteOrderMarkAndReplacesUnmappable) {
  // 日本 in UTF-8
  EXPECT_EQ(Utf8ToSjis("\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC"), "\x93\xFA\x96\x7B");
  EXPECT_EQ(Utf8ToSjis("a\xEF\xBB\xBF" "b"), "a?b");  // only a leading mark goes
  EXPECT_EQ(Utf8ToSjis("x\xF0\x9F\x98\x80y"), "x?y");
  EXPECT_EQ(Utf8ToSjis("\xEF\xBB"), "?");  // a cut mark is no mark
}

TEST(Utf7ToSjis, DecodesShiftedRuns) {
  const std::vector<ConvertCase> cases = {
      {"japanese", "+ZeVnLIqe-", "\x93\xFA\x96\x7B\x8C\xEA"},  // 日本語
      {"plus sign", "A+-B", "A+B"},
      {"run ended by another character keeps it", "+ZeVnLIqe.", "\x93\xFA\x96\x7B\x8C\xEA."},
      {"run at the end", "x+ZeU", "x\x93\xFA"},                   // 日
      {"incomplete last unit dropped", "+ZeVn-", "\x93\xFA"},     // 日 and one spare byte
      {"ascii inside a run", "Hi +AGEAYgBj-!", "Hi abc!"},
      {"empty run", "a+!", "a!"},
      {"lone plus at the end", "a+", "a"},
      {"surrogate pair has no Shift_JIS", "+2D3eAA-", "?"},
  };
  for (const ConvertCase& c : cases) {
    EXPECT_EQ(Utf7ToSjis(c.input), c.expected) << c.name;
  }
}

TEST(HalfKanaToFull, ComposesVoicedPairsAndWidensKana) {
  const std::vector<CountedCase> cases = {
      {"voiced pair", "\xB6\xDE", "\x83\x4B", 1},                    // ｶﾞ -> ガ
      {"pair without voiced form", "\xB1\xDE", "\x83\x41\x81\x4A", 2},  // ｱﾞ -> ア゛
      {"ascii stays", "A", "A", 0},
      {"punctuation", "\xA1\xA2\xA3\xA4\xA5\xB0", "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x81\x5B", 6},
      {"trail byte in kana range stays", "\x83\xB1", "\x83\xB1", 0},  // a Greek letter
      {"semi-voiced", "\xCA\xDF\xDD", "\x83\x70\x83\x93", 2},  // ﾊﾟﾝ -> パン
  };
  for (const CountedCase& c : cases) {
    std::string out;
    EXPECT_EQ(HalfKanaToFull(c.input, out), c.count) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(FullToHalf, NarrowsFormsThatHaveASingleByteCounterpart) {
  const std::vector<CountedCase> cases = {
      {"hiragana voiced", "\x82\xAA", "\xB6\xDE", 1},   // が -> ｶﾞ
      {"katakana voiced", "\x83\x4B", "\xB6\xDE", 1},   // ガ -> ｶﾞ
      {"plain hiragana stays", "\x82\xA9", "\x82\xA9", 0},  // か
      {"letter", "\x82\x60", "A", 1},                    // Ａ
      {"space", "\x81\x40", " ", 1},                     // 全角スペース
      {"yen and overline", "\x81\x8F\x81\x50", "\\~", 2},  // ￥￣
      {"quotes", "\x81\x68\x81\x66", "\"'", 2},         // ”’
      {"dash and signs not counted", "\x81\x5D\x81\x7E\x81\x80", "-*/", 0},  // ‐×÷
      {"kanji stays", "\x8A\xBF", "\x8A\xBF", 0},       // 漢
      {"vu", "\x83\x94", "\xB3\xDE", 1},                // ヴ
  };
  for (const CountedCase& c : cases) {
    std::string out;
    EXPECT_EQ(FullToHalf(c.input, out), c.count) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

// The 26 voiced rows: half-width pair, katakana, hiragana.
struct VoicedRow {
  const char* half;
  const char* katakana;
  const char* hiragana;
};

const VoicedRow kVoicedRows[] = {
    {"\xB6\xDE", "\x83\x4B", "\x82\xAA"}, {"\xB7\xDE", "\x83\x4D", "\x82\xAC"},
    {"\xB8\xDE", "\x83\x4F", "\x82\xAE"}, {"\xB9\xDE", "\x83\x51", "\x82\xB0"},
    {"\xBA\xDE", "\x83\x53", "\x82\xB2"}, {"\xBB\xDE", "\x83\x55", "\x82\xB4"},
    {"\xBC\xDE", "\x83\x57", "\x82\xB6"}, {"\xBD\xDE", "\x83\x59", "\x82\xB8"},
    {"\xBE\xDE", "\x83\x5B", "\x82\xBA"}, {"\xBF\xDE", "\x83\x5D", "\x82\xBC"},
    {"\xC0\xDE", "\x83\x5F", "\x82\xBE"}, {"\xC1\xDE", "\x83\x61", "\x82\xC0"},
    {"\xC2\xDE", "\x83\x64", "\x82\xC3"}, {"\xC3\xDE", "\x83\x66", "\x82\xC5"},
    {"\xC4\xDE", "\x83\x68", "\x82\xC7"}, {"\xCA\xDE", "\x83\x6F", "\x82\xCE"},
    {"\xCB\xDE", "\x83\x72", "\x82\xD1"}, {"\xCC\xDE", "\x83\x75", "\x82\xD4"},
    {"\xCD\xDE", "\x83\x78", "\x82\xD7"}, {"\xCE\xDE", "\x83\x7B", "\x82\xDA"},
    {"\xCA\xDF", "\x83\x70", "\x82\xCF"}, {"\xCB\xDF", "\x83\x73", "\x82\xD2"},
    {"\xCC\xDF", "\x83\x76", "\x82\xD5"}, {"\xCD\xDF", "\x83\x79", "\x82\xD8"},
    {"\xCE\xDF", "\x83\x7C", "\x82\xDB"}, {"\xB3\xDE", "\x83\x94", "\x83\x94"},
};

TEST(WidthCommands, EveryVoicedRowConvertsBothWays) {
  for (const VoicedRow& row : kVoicedRows) {
    std::string out;
    EXPECT_EQ(HalfKanaToFull(row.half, out), 1);
    EXPECT_EQ(out, row.katakana);
    FullToHalf(row.katakana, out);
    EXPECT_EQ(out, row.half);
    FullToHalf(row.hiragana, out);
    EXPECT_EQ(out, row.half);
    EXPECT_EQ(CompareJapaneseText(row.half, row.katakana, IgnoreWidth), 0);
    EXPECT_EQ(CompareJapaneseText(row.hiragana, row.katakana, IgnoreKana), 0);
  }
}

TEST(WidthCommands, EveryHalfWidthKanaRoundTrips) {
  for (int c = 0xA1; c <= 0xDF; ++c) {
    const std::string half(1, static_cast<char>(c));
    std::string full;
    std::string back;
    ASSERT_EQ(HalfKanaToFull(half, full), 1) << c;
    ASSERT_EQ(full.size(), 2u) << c;
    EXPECT_EQ(FullToHalf(full, back), 1) << c;
    EXPECT_EQ(back, half) << c;
    EXPECT_EQ(CompareJapaneseText(half, full, IgnoreWidth), 0) << c;
  }
}

TEST(WidthCommands, FullWidthFormsAgreeWithWidthFolding) {
  // Every code that narrows to one printable byte must fold to the same
  // value as that byte, and every printable ASCII byte must have a form.
  std::vector<bool> ascii_seen(0x80, false);
  for (int lead = 0x81; lead <= 0x83; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string full{static_cast<char>(lead), static_cast<char>(trail)};
      std::string half;
      if (FullToHalf(full, half) != 1 || half.size() != 1) continue;
      EXPECT_EQ(CompareJapaneseText(half, full, IgnoreWidth), 0) << lead << ' ' << trail;
      const auto byte = static_cast<unsigned char>(half[0]);
      if (byte < 0x80) {
        EXPECT_FALSE(ascii_seen[byte]) << "two forms for " << half;
        ascii_seen[byte] = true;
      }
    }
  }
  for (int c = 0x20; c <= 0x7E; ++c) EXPECT_TRUE(ascii_seen[c]) << static_cast<char>(c);
}

struct FindCase {
  const char* name;
  std::string text;
  std::string pattern;
  unsigned flags;
  long offset;
  std::size_t length;
};

TEST(FindJapaneseText, MatchesUnderFoldingFlags) {
  const std::vector<FindCase> cases = {
      // ｶﾞｲﾄﾞ / ガイド
      {"half-width text, full-width pattern", "\xB6\xDE\xB2\xC4\xDE", "\x83\x4B\x83\x43\x83\x68",
       IgnoreWidth, 0, 5},
      {"full-width text, half-width pattern", "xx\x83\x4B\x83\x43\x83\x68", "\xB6\xDE\xB2\xC4\xDE",
       IgnoreWidth, 2, 6},
      {"width differs without the flag", "\xB6\xDE\xB2\xC4\xDE", "\x83\x4B\x83\x43\x83\x68", 0, -1, 0},
      {"case", "ABC", "b", IgnoreCase, 1, 1},
      {"case differs without the flag", "ABC", "b", 0, -1, 0},
      // ＡＢＣ
      {"full-width letters, ascii pattern", "\x82\x60\x82\x61\x82\x62", "bc", IgnoreWidth | IgnoreCase,
       2, 4},
      // かたかな / カタ
      {"hiragana text, katakana pattern", "\x82\xA9\x82\xBD\x82\xA9\x82\xC8", "\x83\x4A\x83\x5E",
       IgnoreKana, 0, 4},
      {"kana differs without the flag", "\x82\xA9\x82\xBD", "\x83\x4A\x83\x5E", 0, -1, 0},
      // ちょっと / チヨツト
      {"small kana", "\x82\xBF\x82\xE5\x82\xC1\x82\xC6", "\x83\x60\x83\x88\x83\x63\x83\x67",
       IgnoreKana | IgnoreSmallAndVoiced, 0, 8},
      // バス / ハス
      {"voiced mark", "\x83\x6F\x83\x58", "\x83\x6E\x83\x58", IgnoreSmallAndVoiced, 0, 4},
      // ハ゜ン / パン: the separate mark is composed and consumed
      {"separate mark composed", "\x83\x6E\x81\x4B\x83\x93", "\x83\x70\x83\x93", IgnoreWidth, 0, 6},
      // は゜ / パ
      {"hiragana with mark needs kana folding", "\x82\xCD\x81\x4B", "\x83\x70",
       IgnoreWidth | IgnoreKana, 0, 4},
      {"hiragana with mark stays apart", "\x82\xCD\x81\x4B", "\x83\x70", IgnoreWidth, -1, 0},
      // 表 has the trail byte 0x5C
      {"trail byte never matches", "\x95\x5C", "\\", FoldAll, -1, 0},
      {"matches only on character starts", "\x82\xA0\x82\xA0", "\xA0\x82", 0, -1, 0},
      {"text ends before the pattern", "\x83\x4B", "\x83\x4B\x83\x43", FoldAll, -1, 0},
      {"long vowel and hyphen", "\xB0", "-", IgnoreSmallAndVoiced, 0, 1},  // ｰ
      {"kanji", "\x93\xFA\x96\x7B\x8C\xEA", "\x96\x7B", FoldAll, 2, 2},  // 日本語 / 本
      {"empty text", "", "a", 0, -1, 0},
      {"empty pattern", "abc", "", 0, -1, 0},
  };
  for (const FindCase& c : cases) {
    std::size_t length = 12345;
    EXPECT_EQ(FindJapaneseText(c.text, c.pattern, c.flags, &length), c.offset) << c.name;
    if (c.offset >= 0) {
      EXPECT_EQ(length, c.length) << c.name;
    }
  }
}

struct CompareCase {
  const char* name;
  std::string a;
  std::string b;
  unsigned flags;
  int expected;
};

TEST(CompareJapaneseText, GivesTheDifferenceOfFoldedCodes) {
  const std::vector<CompareCase> cases = {
      {"case folded", "abc", "ABC", IgnoreCase, 0},
      {"case kept", "abc", "ABC", 0, 'a' - 'A'},
      {"end compares as zero", "a", "ab", 0, -'b'},
      {"equal", "", "", 0, 0},
      {"voiced half and full", "\x83\x4B", "\xB6\xDE", IgnoreWidth, 0},           // ガ ｶﾞ
      {"hiragana katakana", "\x82\xAA", "\x83\x4B", IgnoreKana, 0},                // が ガ
      {"hiragana katakana kept", "\x82\xAA", "\x83\x4B", 0, 0x82AA - 0x834B},
      {"small kana", "\x82\x9F", "\x82\xA0", IgnoreSmallAndVoiced, 0},            // ぁ あ
      {"voiced katakana", "\x83\x4B", "\x83\x4A", IgnoreSmallAndVoiced, 0},       // ガ カ
      {"full-width minus and long vowel", "\x81\x7C", "\x81\x5B", IgnoreSmallAndVoiced, 0},
      {"mark composed", "\x83\x4A\x81\x4A", "\x83\x4B", IgnoreWidth, 0},          // カ゛ ガ
      {"no voiced form stays two characters", "\x83\x41\x81\x4A", "\x83\x41", FoldAll, 0x814A},
      {"everything folded", "\x82\xA9\x82\xAC", "\xB6\xB7\xDE", FoldAll, 0},        // かぎ ｶｷﾞ
      {"kanji order", "\x93\xFA", "\x96\x7B", FoldAll, 0x93FA - 0x967B},           // 日 本
  };
  for (const CompareCase& c : cases) {
    EXPECT_EQ(CompareJapaneseText(c.a, c.b, c.flags), c.expected) << c.name;
  }
}

TEST(SortStrings, OrdersByFoldedText) {
  std::vector<std::string> names = {
      "\x83\x4B\x83\x80",  // ガム
      "b",
      "\x82\xA9\x82\xAB",  // かき
      "\x82\x83",          // ｃ
      "\xB1\xB2",          // ｱｲ
      "A",
      "\x82\xA2\x82\xCA",  // いぬ
  };
  SortStrings(names, FoldAll);
  const std::vector<std::string> expected = {
      "A", "b", "\x82\x83", "\xB1\xB2", "\x82\xA2\x82\xCA", "\x82\xA9\x82\xAB", "\x83\x4B\x83\x80",
  };
  EXPECT_EQ(names, expected);
}

TEST(SortStrings, SortsRandomKanaListsConsistently) {
  const std::vector<std::string> pieces = {"a", "B", "\xB6", "\xDE", "\x83\x4A", "\x82\xA9",
                                           "\x81\x4A", "\x82\x9F", "\x83\x41", "\x8A\xBF"};
  std::mt19937 rng(7);
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    std::string name;
    for (int k = static_cast<int>(rng() % 5); k >= 0; --k) name += pieces[rng() % pieces.size()];
    names.push_back(name);
  }
  for (unsigned flags : {0u, 1u, 6u, 15u}) {
    std::vector<std::string> sorted = names;
    SortStrings(sorted, flags);
    EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), names.begin()));
    for (std::size_t i = 1; i < sorted.size(); ++i) {
      EXPECT_LE(CompareJapaneseText(sorted[i - 1], sorted[i], flags), 0) << flags << ' ' << i;
    }
  }
}

TEST(TextHelpers, IsLeadByteAtScansFromTheStart) {
  const std::string text = "a\x95\x5C\x81";  // a, 表, a stray lead byte
  EXPECT_EQ(IsLeadByteAt(text, 0), 0);
  EXPECT_EQ(IsLeadByteAt(text, 1), 1);
  EXPECT_EQ(IsLeadByteAt(text, 2), 0);
  EXPECT_EQ(IsLeadByteAt(text, 3), 0);
  EXPECT_EQ(IsLeadByteAt(text, 4), -1);
}

TEST(TextHelpers, LastCharacterIsAWholeCharacter) {
  EXPECT_EQ(LastCharacter("a\x95\x5C"), "\x95\x5C");  // a表
  EXPECT_EQ(LastCharacter("\x95\x5C" "a"), "a");
  // ＠a: the byte before "a" is a trail byte that looks like a lead byte.
  EXPECT_EQ(LastCharacter("\x81\x97" "a"), "a");
  EXPECT_EQ(LastCharacter(""), "");
}

TEST(TextHelpers, FindUnquotedSkipsQuotedPartsAndTrailBytes) {
  EXPECT_EQ(FindUnquoted("\"a,b\" <x>,c", ',', '"'), 9);
  EXPECT_EQ(FindUnquoted("\"a,b\"", ',', '"'), -1);
  EXPECT_EQ(FindUnquoted("\x83\x5C\\", '\\', '"'), 2);  // ソ then a backslash
  EXPECT_EQ(FindUnquoted("", ',', '"'), -1);
}

TEST(TextHelpers, IsPlain7BitAndRemoveChar) {
  EXPECT_TRUE(IsPlain7Bit("Subject: hi\r\n"));
  EXPECT_FALSE(IsPlain7Bit("a\x1B$B"));
  EXPECT_FALSE(IsPlain7Bit("\x82\xA0"));
  EXPECT_EQ(RemoveChar("a\rb\r\n", '\r'), "ab\n");
  EXPECT_EQ(RemoveChar("\x95\x5C\\x", '\\'), "\x95\x5C" "x");  // 表 keeps its trail byte
}

TEST(JapaneseText, ArbitraryBytesGiveBoundedResults) {
  std::mt19937 rng(11);
  const std::string interesting = "\x1B$B(@IJ&D\x0E\x0F\x81\x82\x83\x8E\x8F\xA4\xB6\xDE\xDF\xE0\xED"
                                  "\xF0\xFC\xFF\x4A\x4B\x5C\x7F\x80\x40+-A\r\n";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int k = static_cast<int>(rng() % 24); k > 0; --k) {
      text += rng() % 2 ? interesting[rng() % interesting.size()] : static_cast<char>(rng());
    }
    std::string out;
    EXPECT_LE(JisToSjis(text, out), static_cast<int>(text.size()));
    EXPECT_LE(out.size(), text.size());
    EucToSjis(text, out);
    EXPECT_LE(out.size(), text.size());
    SjisToJis(text, out);
    EXPECT_LE(out.size(), text.size() * 5 + 4);
    (void)ConvertToSjis(text);
    (void)Utf7ToSjis(text);
    (void)Utf8ToSjis(text);
    EXPECT_LE(HalfKanaToFull(text, out), static_cast<int>(text.size()));
    EXPECT_LE(FullToHalf(text, out), static_cast<int>(text.size()));
    EXPECT_LE(out.size(), text.size());
    const std::string pattern = text.substr(rng() % (text.size() + 1), rng() % 4);
    for (unsigned flags : {0u, 15u}) {
      std::size_t length = 0;
      const long at = FindJapaneseText(text, pattern, flags, &length);
      if (at >= 0) {
        EXPECT_LE(static_cast<std::size_t>(at) + length, text.size());
      }
      const std::string other = text.substr(0, text.size() / 2);
      EXPECT_EQ(CompareJapaneseText(text, other, flags) > 0, CompareJapaneseText(other, text, flags) < 0);
      EXPECT_EQ(CompareJapaneseText(text, text, flags), 0);
    }
    (void)LastCharacter(text);
    (void)RemoveChar(text, '\\');
    (void)FindUnquoted(text, ',', '"');
  }
}

}  // namespace
}  // namespace lp
