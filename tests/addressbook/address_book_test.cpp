#include "addressbook/address_book.h"

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

using testing::CaseName;

const std::string kCannotOpen =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x81\x46";  // ファイルが開けません：
const std::string kHeaderLine =
    "\"\x8E\x81\x96\xBC\",\"\x83\x81\x81\x5B\x83\x8B\x83\x41\x83\x68\x83\x8C\x83\x58\",\"\x97\x58\x95\xD6\x94\xD4"
    "\x8D\x86\",\"\x8F\x5A\x8F\x8A\",\"\x93\x64\x98\x62\x94\xD4\x8D\x86\",\"\x83\x81\x83\x82\",\"\x83\x4A\x83\x65"
    "\x83\x53\x83\x8A\"\r\n";
const std::string kWork = "\x8E\x64\x8E\x96";    // 仕事
const std::string kFamily = "\x89\xC6\x91\xB0";  // 家族
const std::string kFriend = "\x97\x46\x90\x6C";  // 友人
const std::string kTaro = "\x91\xBE\x98\x59";    // 太郎

// A binary address book of the older program, built byte by byte: count,
// class header (or tag), version 100, name, address.
std::string OldBook(const std::vector<std::pair<std::string, std::string>>& records) {
  std::string data;
  data += static_cast<char>(records.size());
  data += '\0';
  bool first = true;
  for (const auto& [name, address] : records) {
    data += first ? std::string("\xFF\xFF\x01\x00\x08\x00" "CAddress", 14) : std::string("\x01\x80", 2);
    first = false;
    data += std::string("\x64\x00", 2);
    data += static_cast<char>(name.size()) + name;
    data += static_cast<char>(address.size()) + address;
  }
  return data;
}

class AddressBookFileTest : public ::testing::Test {
 protected:
  void WriteSettings(const std::string& lines) { WriteFileBytes(dir_.File("lpost.conf"), lines); }

  TempDirectory dir_{true};
  Profile profile_{"lpost.conf"};
  RecordingUserInterface ui_;
  AddressBook book_;
};

TEST_F(AddressBookFileTest, MissingCsvIsBuiltFromTheOldBinaryBook) {
  WriteFileBytes(dir_.File("lpostadr.dat"), OldBook({{kTaro, "taro@example.jp"}, {"Hanako", "hanako@example.com"}}));
  EXPECT_EQ(book_.Load(profile_, ui_), CardFileStatus::Missing);
  ASSERT_EQ(book_.Cards().Cards().size(), 2u);
  EXPECT_EQ(book_.Cards().Field(0, kNameColumn), kTaro);
  EXPECT_EQ(book_.Cards().Field(1, kAddressColumn), "hanako@example.com");
  EXPECT_TRUE(ui_.messages.empty());

  ASSERT_TRUE(book_.Save(ui_));
  EXPECT_EQ(ReadFileBytes(dir_.File("lpostadr.csv")),
            kHeaderLine + "\"" + kTaro + "\",\"taro@example.jp\",\"\",\"\",\"\",\"\",\"\"\r\n" +
                "\"Hanako\",\"hanako@example.com\",\"\",\"\",\"\",\"\",\"\"\r\n");
  // The old book stays for the older program.
  EXPECT_TRUE(IsRegularFile("lpostadr.dat"));
}

TEST_F(AddressBookFileTest, BrokenOldBookKeepsTheRecordsBeforeTheFault) {
  std::string data = OldBook({{"A", "a@x"}, {"B", "b@x"}});
  data.resize(data.size() - 2);  // the second address is cut short
  WriteFileBytes(dir_.File("lpostadr.dat"), data);
  book_.Load(profile_, ui_);
  ASSERT_EQ(book_.Cards().Cards().size(), 1u);
  EXPECT_EQ(book_.Cards().Field(0, kAddressColumn), "a@x");
}

TEST_F(AddressBookFileTest, WithoutAnyFileTheBookStartsWithTheStandardHeader) {
  EXPECT_EQ(book_.Load(profile_, ui_), CardFileStatus::Missing);
  EXPECT_TRUE(book_.Cards().Cards().empty());
  ASSERT_TRUE(book_.Save(ui_));
  EXPECT_EQ(ReadFileBytes(dir_.File("lpostadr.csv")), kHeaderLine);
}

TEST_F(AddressBookFileTest, ExistingCsvWinsOverTheOldBook) {
  WriteFileBytes(dir_.File("lpostadr.csv"), kHeaderLine + "Jiro,jiro@x,,,,,\r\n");
  WriteFileBytes(dir_.File("lpostadr.dat"), OldBook({{"A", "a@x"}}));
  EXPECT_EQ(book_.Load(profile_, ui_), CardFileStatus::Read);
  ASSERT_EQ(book_.Cards().Cards().size(), 1u);
  EXPECT_EQ(book_.Cards().Field(0, kNameColumn), "Jiro");
}

TEST_F(AddressBookFileTest, SettingsNameTheFileAndTheHeaderLessMode) {
  WriteSettings("[System]\r\nAdrFile=my book.csv\r\nItem=1\r\n");
  WriteFileBytes(dir_.File("my book.csv"), "x,y,z\r\n");
  EXPECT_EQ(book_.Load(profile_, ui_), CardFileStatus::Read);
  EXPECT_EQ(book_.Path(), "my book.csv");
  EXPECT_TRUE(book_.Cards().HeaderLess());
  book_.Cards().SetField(0, 2, "zz");
  ASSERT_TRUE(book_.Save(ui_));
  EXPECT_EQ(ReadFileBytes(dir_.File("my book.csv")), "x,y,zz\r\n");
}

TEST_F(AddressBookFileTest, UnreadableFileIsReportedAndNeverOverwritten) {
  ASSERT_EQ(::mkfifo(dir_.File("lpostadr.csv").c_str(), 0600), 0);
  EXPECT_EQ(book_.Load(profile_, ui_), CardFileStatus::Unreadable);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kCannotOpen + "lpostadr.csv"});
  book_.AddSender("A", "a@x");
  EXPECT_FALSE(book_.Save(ui_));
  EXPECT_EQ(ui_.messages.back(), kCannotOpen + "lpostadr.csv");
  struct stat st {};
  ASSERT_EQ(::stat(dir_.File("lpostadr.csv").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(AddressBookFileTest, SaveThatCannotWriteReportsAndKeepsTheBook) {
  WriteSettings("[System]\r\nAdrFile=no_dir/book.csv\r\n");
  book_.Load(profile_, ui_);
  book_.AddSender("A", "a@x");
  EXPECT_FALSE(book_.Save(ui_));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kCannotOpen + "no_dir/book.csv"});
  EXPECT_EQ(book_.Cards().Cards().size(), 1u);
}

TEST_F(AddressBookFileTest, BrokenLineLosesNothingThroughLoadAndSave) {
  const std::string file = kHeaderLine + "A,a@x,,,,\"memo, no end\r\nB,b@x,,,,,\r\n";
  WriteFileBytes(dir_.File("lpostadr.csv"), file);
  book_.Load(profile_, ui_);
  ASSERT_TRUE(book_.Save(ui_));
  EXPECT_EQ(ReadFileBytes(dir_.File("lpostadr.csv")),
            kHeaderLine + "A,a@x,,,,\"memo, no end\",\"\"\r\nB,b@x,,,,,\r\n");
}

// ---- Categories ----------------------------------------------------------

TEST_F(AddressBookFileTest, CategoriesComeFromSettingsThenFromCards) {
  WriteSettings("[AdrCategory]\r\nCount=2\r\nName00=" + kWork + "\r\nName01=" + kFamily + "\r\nIndex=3\r\n");
  WriteFileBytes(dir_.File("lpostadr.csv"),
                 kHeaderLine + "A,a@x,,,,," + kFriend + "\r\nB,b@x,,,,," + kWork + "\r\nC,c@x,,,,,\r\n" +
                     "D,d@x,,,,," + kFriend + "\r\n");
  book_.Load(profile_, ui_);
  const std::vector<std::string> categories = book_.LoadCategories(profile_);
  EXPECT_EQ(categories, (std::vector<std::string>{kWork, kFamily, kFriend}));
  EXPECT_EQ(AddressBook::CategoryIndex(profile_), 3);

  book_.ApplyCategoryFilter(3, categories);
  EXPECT_EQ(book_.Cards().ViewSize(), 2u);
  book_.ApplyCategoryFilter(0, categories);
  EXPECT_EQ(book_.Cards().ViewSize(), 4u);
  book_.ApplyCategoryFilter(9, categories);
  EXPECT_EQ(book_.Cards().ViewSize(), 4u);
}

TEST_F(AddressBookFileTest, SavedCategoriesReadBack) {
  ASSERT_TRUE(AddressBook::SaveCategories(profile_, {kWork, kFriend}));
  ASSERT_TRUE(AddressBook::SaveCategoryIndex(profile_, 2));
  const std::string conf = ReadFileBytes(dir_.File("lpost.conf"));
  EXPECT_NE(conf.find("Name01=" + kFriend), std::string::npos);
  EXPECT_EQ(book_.LoadCategories(profile_), (std::vector<std::string>{kWork, kFriend}));
  EXPECT_EQ(AddressBook::CategoryIndex(profile_), 2);
}

TEST_F(AddressBookFileTest, RenamingAndDeletingCategoriesChangeEveryCard) {
  book_.AddSender("A", "a@x", kWork);
  book_.AddSender("B", "b@x", kFamily);
  book_.AddSender("C", "c@x", kWork);
  EXPECT_EQ(book_.RenameCategory(kWork, kFriend), 2u);
  EXPECT_EQ(book_.Cards().Field(2, kCategoryColumn), kFriend);
  EXPECT_EQ(book_.ClearCategory(kFriend), 2u);
  EXPECT_EQ(book_.Cards().Field(0, kCategoryColumn), "");
  EXPECT_EQ(book_.Cards().Field(1, kCategoryColumn), kFamily);
}

// ---- Look-ups ------------------------------------------------------------

AddressBook LookupBook() {
  AddressBook book;
  book.Cards().AddCard({"Team", "a@example.jp\r\nb@example.jp"});
  book.AddSender(kTaro, "Taro@Example.JP");
  book.AddSender("Second", "taro@example.jp");
  book.AddSender("", "nameless@example.jp");
  book.AddSender("Kana", "\x83\x41@example.jp");  // ア: trail byte 0x41 is "A"
  return book;
}

TEST(AddressBookTest, SenderCardsCarryNoLineBreaks) {
  AddressBook book;
  const std::size_t card = book.AddSender("Ev\r\nil", "a@x\r\nvictim@y\n", "");
  EXPECT_EQ(book.Cards().Field(card, kNameColumn), "Evil");
  EXPECT_EQ(book.Cards().Field(card, kAddressColumn), "a@xvictim@y");
  EXPECT_EQ(book.FindAddressList("Evil"), "a@xvictim@y");
}

TEST(AddressBookTest, OldBookStopsAtARecordOfAnotherVersion) {
  std::string data = OldBook({{"A", "a@x"}, {"B", "b@x"}});
  data[data.find("\x01\x80") + 2] = 'e';  // version 101 in the second record
  const std::vector<OldAddress> records = ParseOldAddressBook(data);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].name, "A");
  EXPECT_TRUE(ParseOldAddressBook("").empty());
  EXPECT_TRUE(ParseOldAddressBook(std::string("\x01\x00\xFF\xFF\x01\x00\x08\x00" "CAdrress\x64\x00\x00\x00", 18)).empty());
}

TEST(AddressBookLookupTest, AddressListIsTheCardWhoseNameIsTheWholeField) {
  const AddressBook book = LookupBook();
  EXPECT_EQ(book.FindAddressList("Team"), "a@example.jp\r\nb@example.jp");
  EXPECT_EQ(book.FindAddressList("team"), std::nullopt);
  EXPECT_EQ(book.FindAddressList("Team, x@y"), std::nullopt);
  EXPECT_EQ(book.FindAddressList(""), std::nullopt);
}

struct NameCase {
  const char* name;
  std::string address;
  std::optional<std::string> expected;
};

class NameForAddressTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameForAddressTest, FindsTheFirstCardWithTheAddress) {
  EXPECT_EQ(LookupBook().NameForAddress(GetParam().address), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameForAddressTest,
    ::testing::Values(NameCase{"ExactCase", "Taro@Example.JP", kTaro},
                      NameCase{"OtherCaseFirstCardWins", "taro@example.jp", kTaro},
                      NameCase{"EmptyNameGivesNone", "nameless@example.jp", std::nullopt},
                      NameCase{"UnknownAddress", "who@example.jp", std::nullopt},
                      NameCase{"LongerAddress", "taro@example.jpx", std::nullopt},
                      NameCase{"EmptyAddress", "", std::nullopt},
                      NameCase{"DoubleByteIsNotCaseFolded", "\x83\x61@example.jp", std::nullopt},
                      NameCase{"ListIsNoAddress", "a@example.jp", std::nullopt}),
    CaseName<NameCase>);

// The look-up is indexed; the index follows every change of the cards.
TEST(AddressBookLookupTest, NameForAddressFollowsEditsOfTheCards) {
  AddressBook book = LookupBook();
  ASSERT_EQ(book.NameForAddress("TARO@example.jp"), kTaro);
  book.Cards().SetField(1, kAddressColumn, "hanako@example.jp");
  EXPECT_EQ(book.NameForAddress("taro@example.jp"), "Second");
  EXPECT_EQ(book.NameForAddress("Hanako@Example.jp"), kTaro);
  book.Cards().SortCards(kNameColumn, false);
  EXPECT_EQ(book.NameForAddress("hanako@example.jp"), kTaro);
  ASSERT_TRUE(book.Cards().RemoveViewCard(*book.FindCardByAddress("hanako@example.jp")));
  EXPECT_EQ(book.NameForAddress("hanako@example.jp"), std::nullopt);
  book.Cards().ReplaceColumnValue(kAddressColumn, "taro@example.jp", "jiro@example.jp");
  EXPECT_EQ(book.NameForAddress("JIRO@example.jp"), "Second");
  const AddressBook copy = book;  // a copy answers from its own cards
  book.Cards().Parse("", false, kNewAddressBookHeader);
  EXPECT_EQ(book.NameForAddress("jiro@example.jp"), std::nullopt);
  EXPECT_EQ(copy.NameForAddress("jiro@example.jp"), "Second");
}

}  // namespace
}  // namespace lp
