#include "addressbook/vcard_import.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "tests/addressbook/card_texts.h"

// Contacts in vCard form into the address book: the versions and encodings
// phones and contact services write, and what of each card is taken.

namespace lp {
namespace {

using Texts = testing::CardTexts;
using testing::Card;
using testing::S;

TEST(ParseVCardsTest, ReadsTheVersionsAndEncodingsInUse) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<Texts> cards;
  };
  const Case cases[] = {
      {"3.0 from a contact service: escapes, the preferred address, the address parts, the first category",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 太郎\r\nN:山田;太郎;;;\r\n"
       "EMAIL;TYPE=INTERNET;TYPE=HOME:home@example.jp\r\nEMAIL;TYPE=INTERNET,PREF:taro@example.jp\r\n"
       "TEL;TYPE=CELL:090-1111-2222\r\nTEL;TYPE=HOME:03-0000-0000\r\n"
       "ADR;TYPE=HOME:;;千代田1-1;千代田区;東京都;100-0001;日本\r\n"
       "NOTE:一行目\\n二行目\\, 続き\r\nCATEGORIES:仕事,myContacts\r\nEND:VCARD\r\n",
       {Card("山田 太郎", "taro@example.jp", "100-0001", "東京都 千代田区 千代田1-1", "090-1111-2222",
             "一行目\r\n二行目, 続き", "仕事")}},
      {"2.1 from a Japanese phone: Shift_JIS in quoted-printable with a soft break, the name from N",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=8E=52=93=63;=\r\n=91=BE=98=59;;;\r\n"
       "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:ﾔﾏﾀﾞ;ﾀﾛｳ;;;\r\nEMAIL;INTERNET;PREF:yamada@docomo.example.jp\r\n"
       "TEL;CELL:09011112222\r\nEND:VCARD\r\n",
       {Card("山田 太郎", "yamada@docomo.example.jp", "", "", "09011112222")}},
      {"2.1 written in Shift_JIS bytes, without quoted-printable",
       S("BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=SHIFT_JIS:佐藤 花子\r\nEMAIL:hanako@example.jp\r\nEND:VCARD\r\n"),
       {Card("佐藤 花子", "hanako@example.jp")}},
      {"4.0 with folded lines, a group prefix, a PREF number and lower-case names",
       "begin:vcard\nversion:4.0\nfn:Suzuki\n  Ichiro\nitem1.email;pref=1:ichiro@example.jp\n"
       "email:other@example.jp\nend:vcard\n",
       {Card("Suzuki Ichiro", "ichiro@example.jp")}},
      {"several cards; one without name or address is left out, one with a name only stays",
       "BEGIN:VCARD\r\nFN:A\r\nEMAIL:a@example.jp\r\nEND:VCARD\r\nBEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\n"
       "BEGIN:VCARD\r\nN:営業部;;;;\r\nEND:VCARD\r\n",
       {Card("A", "a@example.jp"), Card("営業部", "")}},
      {"a quoted-printable line whose head is folded before its colon",
       "BEGIN:VCARD\r\nFN:A\r\nNOTE;ENCODING=QUOTED-PRI\r\n NTABLE:one=\r\ntwo\r\nEND:VCARD\r\n",
       {Card("A", "", "", "", "", "onetwo")}},
      {"cards whose END:VCARD is missing are taken as far as they go",
       "BEGIN:VCARD\r\nFN:A\r\nEMAIL:a@example.jp\r\nBEGIN:VCARD\r\nFN:B\r\nEMAIL:b@example.jp\r\n",
       {Card("A", "a@example.jp"), Card("B", "b@example.jp")}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(LooksLikeVCard(c.bytes)) << c.what;
    const ImportedCards imported = ParseAddressFile(c.bytes);
    EXPECT_EQ(imported.problem, CardImportProblem::None) << c.what;
    EXPECT_EQ(imported.cards, c.cards) << c.what;
  }
}

TEST(ParseVCardsTest, OtherFilesGoToTheCsvReaderAndAFileWithoutCardsIsEmpty) {
  EXPECT_FALSE(LooksLikeVCard("Name,Email\r\nA,a@example.jp\r\n"));
  EXPECT_EQ(ParseAddressFile("Name,Email\r\nA,a@example.jp\r\n").cards, std::vector<Texts>{Card("A", "a@example.jp")});
  EXPECT_EQ(ParseVCards("VERSION:3.0\r\n").problem, CardImportProblem::Empty);
  // A broken line is skipped; the card cut off by the file's end is taken.
  const ImportedCards broken = ParseVCards("BEGIN:VCARD\r\nno colon here\r\nFN:X\r\n");
  EXPECT_EQ(broken.problem, CardImportProblem::None);
  EXPECT_EQ(broken.cards, std::vector<Texts>{Card("X", "")});
  // Characters Shift_JIS lacks are counted.
  const ImportedCards lossy = ParseVCards("BEGIN:VCARD\r\nFN:𠮷田\r\nEMAIL:y@example.jp\r\nEND:VCARD\r\n");
  ASSERT_EQ(lossy.cards.size(), 1u);
  EXPECT_EQ(lossy.lossy_cards, 1u);
}

TEST(FormatCardsAsVCardsTest, WritesVCardsThatReadBackToTheSameCards) {
  AddressBook book;
  const std::vector<Texts> cards = {
      Card("山田 太郎", "taro@example.jp", "100-0001", "東京都千代田区千代田1-1", "090-1111-2222",
           "一行目\r\n二行目; 三, 四\\", "仕事"),
      Card("営業部", "", "", "", "", "", ""),
  };
  for (const Texts& card : cards) book.Cards().AddCard(card);
  // A list card: one EMAIL per line.
  book.Cards().AddCard(Card("チーム", "a@example.jp\r\nb@example.jp"));
  const std::string vcards = FormatCardsAsVCards(book.Cards(), CardScope::AllCards);
  EXPECT_NE(vcards.find("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 太郎\r\nN:山田;太郎;;;\r\n"), std::string::npos);
  EXPECT_NE(vcards.find("NOTE:一行目\\n二行目\\; 三\\, 四\\\\\r\n"), std::string::npos);
  EXPECT_NE(vcards.find("EMAIL;TYPE=INTERNET:a@example.jp\r\nEMAIL;TYPE=INTERNET:b@example.jp\r\n"), std::string::npos);

  const ImportedCards read = ParseAddressFile(vcards);
  ASSERT_EQ(read.cards.size(), 3u);
  EXPECT_EQ(read.cards[0], cards[0]);
  EXPECT_EQ(read.cards[1], cards[1]);
  EXPECT_EQ(read.cards[2][kAddressColumn], "a@example.jp");  // the first address of the list

  // Long lines are folded within 75 bytes, never inside a character.
  AddressBook long_book;
  const std::string memo(60, 'x');
  long_book.Cards().AddCard(Card("長い", "l@example.jp", "", "", "", (memo + "あいうえおかきくけこさしすせそ").c_str()));
  const std::string folded = FormatCardsAsVCards(long_book.Cards(), CardScope::AllCards);
  std::size_t start = 0;
  while (start < folded.size()) {
    const std::size_t end = folded.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - start, 75u);
    start = end + 2;
  }
  EXPECT_EQ(ParseAddressFile(folded).cards.at(0)[kMemoColumn], S(memo + "あいうえおかきくけこさしすせそ"));
}

}  // namespace
}  // namespace lp
