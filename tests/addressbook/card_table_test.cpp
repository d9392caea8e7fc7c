#include "addressbook/card_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addressbook/address_book.h"
#include "addressbook/csv_line.h"
#include "platform/file_system.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

using testing::CaseName;

std::string Fixture(const std::string& name) {
  return ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/addressbook/" + name);
}

CardField Bare(std::string text) { return {std::move(text), false}; }
CardField Quoted(std::string text) { return {std::move(text), true}; }

const std::string kHyo = "\x95\x5C";         // 表 (trail byte 0x5C)
const std::string kA = "\x83\x41";           // ア
const std::string kItem = "\x8D\x80\x96\xDA";  // 項目

// ---- One CSV line --------------------------------------------------------

struct ParseCase {
  const char* name;
  std::string line;
  Card expected;
  bool complete = true;
};

class ParseCsvLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCsvLineTest, GivesFieldsWithTheirQuotedFlags) {
  const ParseCase& c = GetParam();
  const ParsedCsvLine parsed = ParseCsvLine(c.line);
  EXPECT_EQ(parsed.fields, c.expected);
  EXPECT_EQ(parsed.complete, c.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCsvLineTest,
    ::testing::Values(
        ParseCase{"BareFields", "a,b,c", {Bare("a"), Bare("b"), Bare("c")}},
        ParseCase{"QuotedFields", "\"a\",\"b\"", {Quoted("a"), Quoted("b")}},
        ParseCase{"Mixed", "a,\"b\",,\"\"", {Bare("a"), Quoted("b"), Bare(""), Quoted("")}},
        ParseCase{"EmptyLineIsOneEmptyField", "", {Bare("")}},
        ParseCase{"TrailingCommaAddsEmptyField", "a,", {Bare("a"), Bare("")}},
        ParseCase{"QuotedFieldKeepsItsComma", "\"Osaka, Kita\",x", {Quoted("Osaka, Kita"), Bare("x")}},
        ParseCase{"QuoteCommaInsideQuotedFieldCutsIt",
                  "\"say \"hi\",there\",y",
                  {Quoted("say \"hi"), Bare("there\""), Bare("y")}},
        ParseCase{"QuoteNotBeforeCommaStaysInQuotedField", "\"a\"b\",c", {Quoted("a\"b"), Bare("c")}},
        ParseCase{"QuoteInsideBareField", "x\"y,z", {Bare("x\"y"), Bare("z")}},
        ParseCase{"LastQuotedFieldEndsWithQuote", "\"ab\"\"", {Quoted("ab\"")}},
        ParseCase{"UnclosedQuoteKeepsFieldsBeforeAndTheRest",
                  "a,b,\"memo, without end",
                  {Bare("a"), Bare("b"), Quoted("memo, without end")},
                  false},
        ParseCase{"StoredBreakInQuotedField", "\"one\x01\x02two\"", {Quoted("one\r\ntwo")}},
        ParseCase{"StoredBreakInBareField", "one\x01\x02two,x", {Bare("one\r\ntwo"), Bare("x")}},
        ParseCase{"StoredBreakAfterDoubleByteCharacter", kHyo + "\x01\x02" + kA, {Bare(kHyo + "\r\n" + kA)}},
        // 0x01 is no trail byte, so a lead byte before it stands alone and the
        // break is still found.
        ParseCase{"StoredBreakAfterLoneLeadByte", "\x82\x01\x02", {Bare("\x82\r\n")}},
        ParseCase{"LoneControlBytesStay", "a\x01" "b\x02\x01", {Bare("a\x01" "b\x02\x01")}},
        ParseCase{"TrailBytesThatLookLikeAscii", "\"" + kHyo + kA + "\"," + kHyo, {Quoted(kHyo + kA), Bare(kHyo)}}),
    CaseName<ParseCase>);

struct FormatCase {
  const char* name;
  Card fields;
  std::string expected;
};

class FormatCsvLineTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatCsvLineTest, WritesEachFieldSoThatItReadsBack) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatCsvLine(c.fields), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatCsvLineTest,
    ::testing::Values(
        FormatCase{"OwnFlags", {Quoted("a"), Bare("b"), Quoted(""), Bare("")}, "\"a\",b,\"\","},
        FormatCase{"CrLfBecomesStoredBreak", {Quoted("one\r\ntwo")}, "\"one\x01\x02two\""},
        FormatCase{"LoneLfAndCrBecomeStoredBreaks", {Bare("a\nb\rc")}, "a\x01\x02" "b\x01\x02" "c"},
        FormatCase{"DoubleByteTextUnchanged", {Bare(kHyo + kA)}, kHyo + kA},
        FormatCase{"BareFieldWithCommaIsQuoted", {Bare("a,b"), Bare("c")}, "\"a,b\",c"},
        FormatCase{"BareFieldStartingWithQuoteIsQuoted", {Bare("\"x"), Bare("y")}, "\"\"x\",y"},
        FormatCase{"QuoteCommaThatCannotBeWrittenLosesTheQuote",
                   {Quoted("say \"hi\", ok"), Bare("next")},
                   "\"say \"hi', ok\",next"}),
    CaseName<FormatCase>);

TEST(CsvLineTest, EveryWritableTextReadsBackAsItWas) {
  const std::vector<std::string> texts = {
      "", "plain", "a,b", "\"lead", "trail\"", "\"", "in\"side", "two\r\nlines", kHyo + "\r\n" + kA, "x\"y\"z,",
  };
  for (const std::string& text : texts) {
    for (bool quoted : {false, true}) {
      const Card card = {{text, quoted}, Bare("after")};
      const Card back = ParseCsvLine(FormatCsvLine(card)).fields;
      ASSERT_EQ(back.size(), 2u) << text;
      EXPECT_EQ(back[0].text, text);
      EXPECT_EQ(back[1].text, "after");
    }
  }
}

// ---- Whole files ---------------------------------------------------------

struct RoundTripCase {
  const char* name;
  const char* fixture;
  bool header_less;
};

class CardFileRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CardFileRoundTripTest, WritesTheFileItReadByteForByte) {
  const RoundTripCase& c = GetParam();
  const std::string text = Fixture(c.fixture);
  TCard table;
  table.Parse(text, c.header_less, kNewAddressBookHeader);
  EXPECT_EQ(table.BrokenLineCount(), 0u);
  EXPECT_EQ(table.Format(CardScope::AllCards), text);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CardFileRoundTripTest,
                         ::testing::Values(RoundTripCase{"MixedQuoting", "mixed_quoting.csv", false},
                                           RoundTripCase{"HeaderLess", "header_less_three_columns.csv", true}),
                         CaseName<RoundTripCase>);

TEST(CardTableTest, ReadsFieldsOfMixedQuotingFile) {
  TCard table;
  table.Parse(Fixture("mixed_quoting.csv"), false, kNewAddressBookHeader);
  ASSERT_EQ(table.ColumnCount(), 7u);
  ASSERT_EQ(table.Cards().size(), 3u);
  // 一行目 CR LF 二行目
  EXPECT_EQ(table.Field(0, 5), "\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA");
  EXPECT_EQ(table.Cards()[1][3], Quoted("\x91\xE5\x8D\xE3\x95\x7B, \x91\xE5\x8D\xE3\x8E\x73"));  // 大阪府, 大阪市
  EXPECT_EQ(table.Cards()[1][1], Bare("hanako@example.com"));
  EXPECT_EQ(table.Field(2, 1), "list\r\ntaro@example.jp");
  EXPECT_EQ(table.Field(2, 5), "\x83\x5C\x94\x5C\x95\x5C");  // ソ能表
}

TEST(CardTableTest, HeaderLessColumnsAreNumberedItems) {
  TCard table;
  table.Parse("a,\"b\",c\r\nd\r\n1,2,3,4\r\n", true, kNewAddressBookHeader);
  EXPECT_EQ(table.Header(), (Card{Quoted(kItem + "1"), Quoted(kItem + "2"), Quoted(kItem + "3")}));
  ASSERT_EQ(table.Cards().size(), 3u);
  EXPECT_EQ(table.Cards()[0], (Card{Bare("a"), Quoted("b"), Bare("c")}));
  // Padding takes the column's flag; the fourth field is cut.
  EXPECT_EQ(table.Cards()[1], (Card{Bare("d"), Quoted(""), Quoted("")}));
  EXPECT_EQ(table.Cards()[2], (Card{Bare("1"), Bare("2"), Bare("3")}));
  EXPECT_EQ(table.Format(CardScope::AllCards), "a,\"b\",c\r\nd,\"\",\"\"\r\n1,2,3\r\n");
}

TEST(CardTableTest, ShortCardsArePaddedAndLongCardsCut) {
  TCard table;
  table.Parse(Fixture("short_and_long_lines.csv"), false, kNewAddressBookHeader);
  ASSERT_EQ(table.Cards().size(), 2u);
  EXPECT_EQ(table.Cards()[0], (Card{Bare("Two"), Bare("fields"), Quoted(""), Quoted(""), Quoted(""), Quoted(""),
                                    Quoted("")}));
  const Card& longer = table.Cards()[1];
  ASSERT_EQ(longer.size(), 7u);
  EXPECT_EQ(longer.back(), Bare("7"));
}

TEST(CardTableTest, HeaderWithoutCardsGivesOneEmptyCard) {
  TCard table;
  table.Parse(Fixture("header_only.csv"), false, kNewAddressBookHeader);
  ASSERT_EQ(table.Cards().size(), 1u);
  EXPECT_EQ(table.Cards()[0], Card(7, Quoted("")));
  EXPECT_EQ(table.Format(CardScope::AllCards), Fixture("header_only.csv") + "\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

TEST(CardTableTest, TextWithoutLinesGivesTheGivenHeaderAndNoCards) {
  for (bool header_less : {false, true}) {
    TCard table;
    table.Parse("", header_less, kNewAddressBookHeader);
    EXPECT_EQ(table.ColumnCount(), 7u);
    EXPECT_TRUE(table.Cards().empty());
  }
}

TEST(CardTableTest, LfOnlyLinesAndMissingLastLineEndAreRead) {
  TCard table;
  table.Parse("\"h1\",\"h2\"\na,b\r\nc,d", false, kNewAddressBookHeader);
  ASSERT_EQ(table.Cards().size(), 2u);
  EXPECT_EQ(table.Field(1, 1), "d");
}

TEST(CardTableTest, UnclosedQuoteKeepsEarlierFieldsAndLosesNothingOnSave) {
  TCard table;
  table.Parse(Fixture("unclosed_quote.csv"), false, kNewAddressBookHeader);
  EXPECT_EQ(table.BrokenLineCount(), 1u);
  ASSERT_EQ(table.Cards().size(), 2u);
  EXPECT_EQ(table.Field(0, 0), "Taro");
  EXPECT_EQ(table.Field(0, 1), "taro@example.jp");
  EXPECT_EQ(table.Field(0, 5), "memo, without end");
  EXPECT_EQ(table.Field(0, 6), "");
  EXPECT_EQ(table.Field(1, 0), "Next");

  TCard again;
  again.Parse(table.Format(CardScope::AllCards), false, kNewAddressBookHeader);
  EXPECT_EQ(again.BrokenLineCount(), 0u);
  EXPECT_EQ(again.Cards(), table.Cards());
}

// ---- Editing -------------------------------------------------------------

TCard ThreeCards() {
  TCard table;
  table.Parse("\"n\",\"a\",\"c\"\r\nA,a@x,work\r\nB,b@x,home\r\nC,c@x,work\r\n", false, kNewAddressBookHeader);
  return table;
}

TEST(CardTableTest, FilterSelectsTheViewThatRemoveSwapAndSaveUse) {
  TCard table = ThreeCards();
  table.SetFilter(2, "work");
  ASSERT_EQ(table.ViewSize(), 2u);
  EXPECT_EQ(table.CardOfView(1), 2u);
  EXPECT_EQ(table.Format(CardScope::FilteredView), "\"n\",\"a\",\"c\"\r\nA,a@x,work\r\nC,c@x,work\r\n");

  EXPECT_TRUE(table.SwapViewCards(0, 1));
  EXPECT_EQ(table.Field(0, 0), "C");
  EXPECT_EQ(table.Field(1, 0), "B");
  EXPECT_EQ(table.Field(2, 0), "A");

  EXPECT_TRUE(table.RemoveViewCard(1));  // A
  EXPECT_FALSE(table.RemoveViewCard(1));
  EXPECT_FALSE(table.SwapViewCards(0, 1));
  EXPECT_EQ(table.Format(CardScope::AllCards), "\"n\",\"a\",\"c\"\r\nC,c@x,work\r\nB,b@x,home\r\n");

  table.ClearFilter();
  EXPECT_EQ(table.ViewSize(), 2u);
}

TEST(CardTableTest, ReplaceColumnValueChangesEveryMatchAndRebuildsTheView) {
  TCard table = ThreeCards();
  table.SetFilter(2, "job");
  EXPECT_EQ(table.ViewSize(), 0u);
  EXPECT_EQ(table.ReplaceColumnValue(2, "work", "job"), 2u);
  EXPECT_EQ(table.ViewSize(), 2u);
  EXPECT_EQ(table.ReplaceColumnValue(7, "job", "x"), 0u);
}

TEST(CardTableTest, AddedCardsFitTheColumnsWithTheHeaderFlags) {
  TCard table = ThreeCards();
  table.SetFilter(2, "home");
  const std::size_t added = table.AddCard({"D"});
  EXPECT_EQ(table.Cards()[added], (Card{Quoted("D"), Quoted(""), Quoted("")}));
  EXPECT_EQ(table.ViewSize(), 1u);  // an empty category does not pass the filter
  const std::size_t cut = table.AddCard({"E", "e@x", "home", "extra"});
  EXPECT_EQ(table.Cards()[cut].size(), 3u);
  EXPECT_EQ(table.ViewSize(), 2u);

  EXPECT_TRUE(table.SetField(0, 1, "new@x"));
  EXPECT_EQ(table.Cards()[0][1], Bare("new@x"));
  EXPECT_FALSE(table.SetField(0, 3, "x"));
  EXPECT_FALSE(table.SetField(99, 0, "x"));
  EXPECT_EQ(table.Field(99, 0), "");
}

TEST(CardTableTest, SortIsStableAndFoldsCaseAndWidth) {
  TCard table;
  table.Parse("\"n\",\"k\"\r\nb,1\r\nA,2\r\n\x82\x60,3\r\nB,4\r\n", false, kNewAddressBookHeader);  // Ａ full width
  table.SortCards(0, true);
  std::string keys;
  for (const Card& card : table.Cards()) keys += card[1].text;
  EXPECT_EQ(keys, "2314");
  table.SortCards(0, false);
  keys.clear();
  for (const Card& card : table.Cards()) keys += card[1].text;
  EXPECT_EQ(keys, "1423");
}

// ---- Files ---------------------------------------------------------------

TEST(CardTableFileTest, TwoLineMemoSurvivesSaveAndLoad) {
  TempDirectory dir(true);
  TCard table;
  table.Reset(kNewAddressBookHeader, false);
  table.AddCard({"Taro", "taro@example.jp", "", "", "", "line one\r\nline two", ""});
  ASSERT_TRUE(table.Save("book.csv", CardScope::AllCards));
  const std::string bytes = ReadFileBytes(dir.File("book.csv"));
  EXPECT_NE(bytes.find("\"line one\x01\x02line two\""), std::string::npos);

  TCard loaded;
  ASSERT_EQ(loaded.Load("book.csv", false, kNewAddressBookHeader), CardFileStatus::Read);
  EXPECT_EQ(loaded.Field(0, 5), "line one\r\nline two");
}

TEST(CardTableFileTest, LoadTellsMissingFromUnreadable) {
  TempDirectory dir(true);
  TCard table;
  EXPECT_EQ(table.Load("absent.csv", false, kNewAddressBookHeader), CardFileStatus::Missing);
  ASSERT_TRUE(MakeDirectory("folder.csv"));
  EXPECT_EQ(table.Load("folder.csv", false, kNewAddressBookHeader), CardFileStatus::Unreadable);
  EXPECT_TRUE(table.Cards().empty());
}

TEST(CardTableFileTest, FailedSaveLeavesTheOldFile) {
  TempDirectory dir(true);
  WriteFileBytes(dir.File("book.csv"), "old");
  TCard table = ThreeCards();
  std::string error;
  EXPECT_FALSE(table.Save("missing_dir/book.csv", CardScope::AllCards, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFileBytes(dir.File("book.csv")), "old");
}

}  // namespace
}  // namespace lp
