#include "addressbook/card_import.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "tests/addressbook/card_texts.h"

// Address lists from other programs' CSV files into the book, and the
// book out as UTF-8 CSV.

namespace lp {
namespace {

using Texts = testing::CardTexts;
using testing::Card;
using testing::S;

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(ParseAddressCsvTest, ReadsTheColumnsOtherProgramsWrite) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<Texts> cards;
  };
  const Case cases[] = {
      {"Thunderbird, English column names, UTF-8; the display name first, else family and given name",
       "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Home Phone,Mobile Number,"
       "Home ZipCode,Notes\r\n"
       "太郎,山田,山田 太郎,,taro@example.jp,,,090-1111-2222,100-0001,\"二行の\r\nメモ\"\r\n"
       "花子,佐藤,,,,hanako@example.jp,03-1234-5678,,,\r\n",
       {Card("山田 太郎", "taro@example.jp", "100-0001", "", "090-1111-2222", "二行の\r\nメモ"),
        Card("佐藤 花子", "hanako@example.jp", "", "", "03-1234-5678")}},
      {"Google contacts with a byte-order mark",
       "\xEF\xBB\xBFName,Given Name,Family Name,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Value\n"
       "鈴木 一郎,一郎,鈴木,* Home,ichiro@example.jp,045-000-0000\n",
       {Card("鈴木 一郎", "ichiro@example.jp", "", "", "045-000-0000")}},
      {"a Shift_JIS sheet with Japanese column names in another order",
       S("メモ,電話番号,氏名,メールアドレス,カテゴリ\r\n\"会議, 毎週\",06-1111-2222,高橋,takahashi@example.jp,仕事\r\n"),
       {Card("高橋", "takahashi@example.jp", "", "", "06-1111-2222", "会議, 毎週", "仕事")}},
      {"this program's own file: its quoting and its stored line breaks",
       S("\"氏名\",\"メールアドレス\",\"郵便番号\",\"住所\",\"電話番号\",\"メモ\",\"カテゴリ\"\r\n"
         "\"伊藤\",\"ito@example.jp\",\"\",\"\",\"\",\"一行目\x01\x02二行目\",\"家族\"\r\n"
         "\"言う\"だけ\",\"q@example.jp\"\r\n"),
       {Card("伊藤", "ito@example.jp", "", "", "", "一行目\r\n二行目", "家族"),
        Card("言う\"だけ", "q@example.jp")}},
      {"no column names: the first line is already a card, read in the book's order",
       "山本,yamamoto@example.jp,,東京都\r\n,list@example.jp\r\n",
       {Card("山本", "yamamoto@example.jp", "", "東京都"), Card("", "list@example.jp")}},
      {"RFC 4180 quoting: doubled quotes, commas, a field quoted only in part",
       "Display Name,E-mail Address\r\n\"Yamada, \"\"Taro\"\"\",taro@example.jp\r\n\"a\"b,c@example.jp\r\n\r\n",
       {Card("Yamada, \"Taro\"", "taro@example.jp"), Card("ab", "c@example.jp")}},
      {"UTF-16 with a byte-order mark",
       Utf16Le(u"表示名,メールアドレス\r\n中村,nakamura@example.jp\r\n"),
       {Card("中村", "nakamura@example.jp")}},
      {"lines with neither a name nor an address are left out",
       "Name,Email,Notes\r\n,,only a note\r\nX,x@example.jp,\r\n",
       {Card("X", "x@example.jp")}},
  };
  for (const Case& c : cases) {
    const ImportedCards imported = ParseAddressCsv(c.bytes);
    EXPECT_EQ(imported.problem, CardImportProblem::None) << c.what;
    EXPECT_EQ(imported.cards, c.cards) << c.what;
    EXPECT_EQ(imported.lossy_cards, 0u) << c.what;
  }
}

TEST(ParseAddressCsvTest, ReportsWhatCannotBeReadAndCharactersShiftJisLacks) {
  EXPECT_EQ(ParseAddressCsv("").problem, CardImportProblem::Empty);
  EXPECT_EQ(ParseAddressCsv("\r\n\r\n").problem, CardImportProblem::Empty);
  EXPECT_EQ(ParseAddressCsv("Date,Amount\r\n2026-01-01,300\r\n").problem, CardImportProblem::NoColumns);

  // "𠮷" has no Shift_JIS code: it becomes "?", and the card is counted.
  const ImportedCards imported = ParseAddressCsv("Name,Email\r\n𠮷田,yoshida@example.jp\r\nA?,a@example.jp\r\n");
  ASSERT_EQ(imported.cards.size(), 2u);
  EXPECT_EQ(imported.cards[0][kNameColumn], "?" + S("田"));
  EXPECT_EQ(imported.lossy_cards, 1u);
}

TEST(AddImportedCardsTest, SkipsAddressesTheBookHoldsAndCardsWithoutNameOrAddress) {
  AddressBook book;
  book.Cards().AddCard(Card("山田", "Taro@Example.JP"));
  book.Cards().AddCard(Card("営業部", ""));
  const CardMerge merge = AddImportedCards(
      book, {Card("山田 太郎", "taro@example.jp"), Card("佐藤", "sato@example.jp"), Card("佐藤 花子", "SATO@example.jp"),
             Card("営業部", ""), Card("総務部", ""), Card("", "")});
  EXPECT_EQ(merge.added, 2u);
  EXPECT_EQ(merge.duplicates, 3u);
  EXPECT_EQ(merge.empty, 1u);
  ASSERT_EQ(book.Cards().Cards().size(), 4u);
  EXPECT_EQ(book.Cards().Field(2, kNameColumn), S("佐藤"));
  EXPECT_EQ(book.Cards().Field(3, kNameColumn), S("総務部"));
}

TEST(FormatCardsAsUtf8CsvTest, WritesQuotedUtf8ThatReadsBackToTheSameCards) {
  AddressBook book;
  const std::vector<Texts> cards = {
      Card("山田, 太郎", "taro@example.jp", "100-0001", "東京都", "03", "\"引用\"と\r\n改行", "仕事"),
      Card("佐藤", "sato@example.jp", "", "", "", "", "家族"),
  };
  for (const Texts& card : cards) book.Cards().AddCard(card);
  const std::string csv = FormatCardsAsUtf8Csv(book.Cards(), CardScope::AllCards);
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF氏名,メールアドレス,郵便番号,住所,電話番号,メモ,カテゴリ\r\n"
            "\"山田, 太郎\",taro@example.jp,100-0001,東京都,03,\"\"\"引用\"\"と\r\n改行\",仕事\r\n"
            "佐藤,sato@example.jp,,,,,家族\r\n");
  EXPECT_EQ(ParseAddressCsv(csv).cards, cards);

  book.Cards().SetFilter(kCategoryColumn, S("家族"));
  EXPECT_EQ(ParseAddressCsv(FormatCardsAsUtf8Csv(book.Cards(), CardScope::FilteredView)).cards,
            std::vector<Texts>{cards[1]});
}

}  // namespace
}  // namespace lp
