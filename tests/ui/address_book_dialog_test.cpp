#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "addressbook/address_book.h"
#include "addressbook/vcard_import.h"
#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/input_dialog_answerer.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/settings_file_test.h"
#include "tests/ui/shown_dialog_handler.h"
#include "ui/address_book_dialog.h"
#include "ui/address_sort_dialog.h"
#include "ui/category_dialog.h"
#include "ui/sjis_qt.h"

// The address book window on a book of four cards in three categories
// (two of them stored with the settings, one found on a card): what it
// shows, editing, adding, deleting, reordering, sorting, the category
// editor, the file and folder choices, import, export, OK and Cancel.

namespace lp {
namespace {

using testing::InputDialogAnswerer;
using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::ShownDialogHandler;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string S(const char* utf8) { return Utf8ToCp932(utf8); }

QStringList Items(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

QStringList Items(const QListWidget& list) {
  QStringList items;
  for (int i = 0; i < list.count(); ++i) items << list.item(i)->text();
  return items;
}

// Imports a file and waits until its cards are in and the report shown.
void ImportAndWait(AddressBookDialog& dialog, const QString& path) {
  QSignalSpy finished(&dialog, &AddressBookDialog::ImportFinished);
  dialog.ImportFile(path);
  EXPECT_TRUE(dialog.importing());
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_TRUE(dialog.isEnabled());
}

class AddressBookDialogTest : public testing::SettingsFileTest {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"),
                   S("[AdrCategory]\r\nCount=2\r\nName00=仕事\r\nName01=友人\r\nIndex=1\r\n"));
    AddCard("山田 太郎", "yamada@example.jp", "仕事");
    AddCard("佐藤 花子", "sato@example.jp", "友人");
    AddCard("鈴木 一郎", "suzuki@example.jp", "仕事");
    AddCard("高橋", "takahashi@example.jp", "家族");
  }
  void AddCard(const char* name, const char* address, const char* category) {
    book_.Cards().AddCard({S(name), S(address), "100-0001", {}, {}, {}, S(category)});
  }
  [[nodiscard]] QStringList BookNames() const {
    QStringList names;
    for (std::size_t i = 0; i < book_.Cards().Cards().size(); ++i) {
      names << FromSjis(book_.Cards().Field(i, kNameColumn));
    }
    return names;
  }
  [[nodiscard]] std::string Setting(const char* key) const { return profile_.GetString("AdrCategory", key); }

  AddressBook book_;
  InputDialogAnswerer inputs_;
};

TEST_F(AddressBookDialogTest, OpensOnTheStoredCategoryWithTheFirstCardShown) {
  AddressBookDialog dialog(book_, profile_);
  EXPECT_EQ(Items(dialog.filter()), QStringList({U("全カテゴリ"), U("仕事"), U("友人"), U("家族"), U("カテゴリの編集...")}));
  EXPECT_EQ(dialog.filter().currentIndex(), 1);
  EXPECT_EQ(Items(dialog.names()), QStringList({U("山田 太郎"), U("鈴木 一郎")}));
  EXPECT_EQ(dialog.names().currentRow(), 0);
  EXPECT_EQ(dialog.name().text(), U("山田 太郎"));
  EXPECT_EQ(dialog.address().toPlainText(), U("yamada@example.jp"));
  EXPECT_EQ(dialog.postal_code().text(), U("100-0001"));
  EXPECT_EQ(Items(dialog.category()), QStringList({U("未定義"), U("仕事"), U("友人"), U("家族")}));
  EXPECT_EQ(dialog.category().currentText(), U("仕事"));

  dialog.filter().setCurrentIndex(0);
  EXPECT_EQ(Items(dialog.names()).size(), 4);
}

TEST_F(AddressBookDialogTest, FieldsGoIntoTheirCardWhenAnotherIsChosenAndOkPutsTheCardsInTheBook) {
  AddressBookDialog dialog(book_, profile_);
  dialog.name().setText(U("山田 太郎（営業）"));
  dialog.memo().setPlainText(U("一行目\n二行目"));
  dialog.category().setCurrentText(U("友人"));
  dialog.names().setCurrentRow(1);
  EXPECT_EQ(dialog.name().text(), U("鈴木 一郎"));
  EXPECT_EQ(Items(dialog.names()), QStringList({U("山田 太郎（営業）"), U("鈴木 一郎")}));
  dialog.telephone().setText(U("03-1111-2222"));
  dialog.filter().setCurrentIndex(0);  // the shown card is kept before the list changes
  EXPECT_EQ(BookNames()[0], U("山田 太郎"));  // nothing reaches the book before OK

  dialog.accept();
  EXPECT_TRUE(dialog.changed());
  EXPECT_EQ(BookNames()[0], U("山田 太郎（営業）"));
  EXPECT_EQ(book_.Cards().Field(0, kMemoColumn), S("一行目\r\n二行目"));
  EXPECT_EQ(book_.Cards().Field(0, kCategoryColumn), S("友人"));
  EXPECT_EQ(book_.Cards().Field(2, kTelephoneColumn), "03-1111-2222");
  EXPECT_FALSE(book_.Cards().HasFilter());
  EXPECT_EQ(Setting("Index"), "0");
}

TEST_F(AddressBookDialogTest, CancelLeavesTheCardsAndStillWritesTheCategoryChosen) {
  AddressBookDialog dialog(book_, profile_);
  dialog.name().setText(U("別名"));
  dialog.AddCard();
  dialog.filter().setCurrentIndex(2);
  dialog.reject();
  EXPECT_FALSE(dialog.changed());
  EXPECT_EQ(BookNames(), QStringList({U("山田 太郎"), U("佐藤 花子"), U("鈴木 一郎"), U("高橋")}));
  EXPECT_EQ(Setting("Index"), "2");
}

TEST_F(AddressBookDialogTest, AddPutsANewCardOfTheCategoryShownAndAnEmptyListTakesTheFieldsShown) {
  AddressBookDialog dialog(book_, profile_);
  dialog.AddCard();
  EXPECT_EQ(Items(dialog.names()), QStringList({U("山田 太郎"), U("鈴木 一郎"), QString()}));
  EXPECT_EQ(dialog.names().currentRow(), 2);
  EXPECT_EQ(dialog.category().currentText(), U("仕事"));
  dialog.name().setText(U("田中"));
  dialog.address().setPlainText(U("tanaka@example.jp"));
  dialog.accept();
  ASSERT_EQ(BookNames().size(), 5);
  EXPECT_EQ(BookNames()[4], U("田中"));
  EXPECT_EQ(book_.Cards().Field(4, kCategoryColumn), S("仕事"));

  // A book without cards: the fields shown are the new card; OK asks first.
  AddressBook empty;
  for (QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
    AddressBookDialog second(empty, profile_);
    second.filter().setCurrentIndex(0);
    ASSERT_EQ(second.names().count(), 0);
    second.name().setText(U("木村"));
    second.address().setPlainText(U("kimura@example.jp"));
    second.category().setCurrentText(U("未定義"));
    answers_.Queue(answer);
    second.accept();
    EXPECT_EQ(answers_.texts.back(), U("アドレス帳に追加しますか？"));
  }
  ASSERT_EQ(empty.Cards().Cards().size(), 1u);
  EXPECT_EQ(empty.Cards().Field(0, kAddressColumn), "kimura@example.jp");
  EXPECT_EQ(empty.Cards().Field(0, kCategoryColumn), "");
}

TEST_F(AddressBookDialogTest, DeleteAsksByNameAndReorderingSwapsNeighboursOfTheList) {
  AddressBookDialog dialog(book_, profile_);
  dialog.names().setCurrentRow(1);
  dialog.MoveCard(-1);  // 鈴木 and 山田 change places in the book
  EXPECT_EQ(Items(dialog.names()), QStringList({U("鈴木 一郎"), U("山田 太郎")}));
  EXPECT_EQ(dialog.names().currentRow(), 0);
  dialog.MoveCard(-1);  // already first
  answers_.Queue(QMessageBox::Cancel);
  dialog.DeleteCard();
  EXPECT_EQ(answers_.texts.back(), U("鈴木 一郎 を削除しますか？"));
  EXPECT_EQ(dialog.names().count(), 2);
  answers_.Queue(QMessageBox::Ok);
  dialog.DeleteCard();
  EXPECT_EQ(Items(dialog.names()), QStringList({U("山田 太郎")}));
  dialog.accept();
  EXPECT_EQ(BookNames(), QStringList({U("佐藤 花子"), U("山田 太郎"), U("高橋")}));
}

TEST_F(AddressBookDialogTest, SortOrdersEveryCardByTheChosenColumn) {
  AddressBookDialog dialog(book_, profile_);
  dialog.filter().setCurrentIndex(0);
  ShownDialogHandler<AddressSortDialog> sorter([](AddressSortDialog& sort) {
    EXPECT_EQ(sort.column().itemText(1), U("メールアドレス"));
    EXPECT_EQ(Items(sort.order()), QStringList({U("昇順"), U("降順")}));
    sort.column().setCurrentIndex(1);
    sort.order().setCurrentIndex(1);
    sort.accept();
  });
  dialog.SortCards();
  EXPECT_EQ(sorter.shown, 1);
  const QStringList descending_by_address({U("山田 太郎"), U("高橋"), U("鈴木 一郎"), U("佐藤 花子")});
  EXPECT_EQ(Items(dialog.names()), descending_by_address);
  EXPECT_EQ(dialog.names().currentRow(), 0);
  dialog.accept();
  EXPECT_EQ(BookNames(), descending_by_address);
}

TEST_F(AddressBookDialogTest, CategoryEditorRenamesAndDeletesOnTheCardsAndCancelKeepsThat) {
  AddressBookDialog dialog(book_, profile_);
  dialog.name().setText(U("山田（変更）"));
  ShownDialogHandler<CategoryDialog> editor([this](CategoryDialog& categories) {
    EXPECT_EQ(Items(categories.list()), QStringList({U("仕事"), U("友人"), U("家族")}));
    categories.list().setCurrentRow(0);
    inputs_.Queue(U("会社"));
    categories.RenameCategory();
    inputs_.Queue(U("家族"));  // taken: refused
    categories.AddCategory();
    inputs_.Queue(U("趣味"));
    categories.AddCategory();
    categories.list().setCurrentRow(1);
    answers_.Queue(QMessageBox::Ok);
    categories.DeleteCategory();
    categories.MoveCategory(1);  // 家族, the current one once 友人 went, goes after 趣味
    categories.accept();
  });
  dialog.filter().setCurrentIndex(dialog.filter().count() - 1);
  EXPECT_EQ(editor.shown, 1);
  EXPECT_EQ(answers_.texts, QStringList({U("そのカテゴリは既にあります: 家族"), U("友人 を削除しますか？")}));
  EXPECT_EQ(Setting("Count"), "3");
  EXPECT_EQ(Setting("Name00"), S("会社"));
  EXPECT_EQ(Setting("Name01"), S("趣味"));
  EXPECT_EQ(Setting("Name02"), S("家族"));
  // The filter follows its category through the rename.
  EXPECT_EQ(dialog.filter().currentText(), U("会社"));
  EXPECT_EQ(Items(dialog.names()), QStringList({U("山田（変更）"), U("鈴木 一郎")}));
  EXPECT_EQ(Items(dialog.category()), QStringList({U("未定義"), U("会社"), U("趣味"), U("家族")}));

  dialog.reject();
  EXPECT_TRUE(dialog.changed());  // the cards follow the names already written
  EXPECT_EQ(BookNames()[0], U("山田 太郎"));
  EXPECT_EQ(book_.Cards().Field(0, kCategoryColumn), S("会社"));
  EXPECT_EQ(book_.Cards().Field(1, kCategoryColumn), "");
  EXPECT_EQ(book_.Cards().Field(3, kCategoryColumn), S("家族"));
}

TEST_F(AddressBookDialogTest, SearchNarrowsTheListByNameAddressOrMemo) {
  AddCard("カトウ", "kato@example.jp", "");
  AddressBookDialog dialog(book_, profile_);
  dialog.filter().setCurrentIndex(0);
  dialog.names().setCurrentRow(1);
  dialog.memo().setPlainText(U("営業部の窓口"));  // kept before the list narrows

  const auto shown = [&dialog] {
    QStringList names;
    for (int row = 0; row < dialog.names().count(); ++row) {
      if (!dialog.names().item(row)->isHidden()) names << dialog.names().item(row)->text();
    }
    return names;
  };
  dialog.search().setText(QStringLiteral("SUZUKI"));
  EXPECT_EQ(shown(), QStringList({U("鈴木 一郎")}));
  EXPECT_EQ(dialog.name().text(), U("鈴木 一郎"));  // the card shown went: the first match is chosen
  dialog.search().setText(U("営業"));
  EXPECT_EQ(shown(), QStringList({U("佐藤 花子")}));
  dialog.search().setText(U("かとう"));  // kana and width folded
  EXPECT_EQ(shown(), QStringList({U("カトウ")}));
  dialog.search().setText(U("ｶﾄｳ"));
  EXPECT_EQ(shown(), QStringList({U("カトウ")}));
  dialog.MoveCard(-1);  // no reordering among matches
  EXPECT_EQ(Items(dialog.names()).last(), U("カトウ"));

  dialog.AddCard();  // the whole list again, with the new card chosen
  EXPECT_TRUE(dialog.search().text().isEmpty());
  EXPECT_EQ(shown().size(), 6);
  EXPECT_EQ(dialog.names().currentRow(), 5);
  dialog.reject();
}

TEST_F(AddressBookDialogTest, AFieldShiftJisCannotHoldKeepsTheCardShown) {
  AddressBookDialog dialog(book_, profile_);
  dialog.name().setText(U("𠮷田"));
  dialog.names().setCurrentRow(1);
  EXPECT_EQ(answers_.texts, QStringList({U("Shift_JISで表せない文字を含む値は設定できません: 氏名")}));
  EXPECT_EQ(dialog.names().currentRow(), 0);
  EXPECT_EQ(dialog.name().text(), U("𠮷田"));
  dialog.accept();  // refused as well
  EXPECT_EQ(answers_.texts.size(), 2);

  // A wave dash typed by an input method has a Shift_JIS code.
  dialog.name().setText(U("山田〜"));
  dialog.accept();
  EXPECT_EQ(answers_.texts.size(), 2);
  EXPECT_EQ(book_.Cards().Field(0, kNameColumn), S("山田～"));
}

TEST_F(AddressBookDialogTest, FileAndLanButtonsPutAPathInPlaceOfTheAddress) {
  AddressBookDialog dialog(book_, profile_);
  WriteFileBytes(dir_.File("members.txt"), "a@example.jp\r\nb@example.jp\r\n");
  {
    ShownDialogHandler<QFileDialog> chooser([this](QFileDialog& files) {
      EXPECT_EQ(files.windowTitle(), U("ｱﾄﾞﾚｽﾌｧｲﾙ名の入力"));
      files.selectFile(QString::fromStdString(dir_.File("members.txt")));
      static_cast<QDialog&>(files).accept();  // QFileDialog::accept, through the public base
    });
    dialog.ChooseAddressFile();
    EXPECT_EQ(chooser.shown, 1);
  }
  EXPECT_EQ(dialog.address().toPlainText(), QString::fromStdString(dir_.File("members.txt")));
  {
    ShownDialogHandler<QFileDialog> chooser([this](QFileDialog& files) {
      EXPECT_EQ(files.windowTitle(), U("LANメールのディレクトリを指定してください"));
      files.setDirectory(QString::fromStdString(dir_.path()));
      static_cast<QDialog&>(files).accept();  // QFileDialog::accept, through the public base
    });
    dialog.ChooseLanDirectory();
  }
  EXPECT_EQ(dialog.address().toPlainText(), QString::fromStdString(dir_.path()) + QStringLiteral("/"));
}

TEST_F(AddressBookDialogTest, ImportAddsTheNewAddressesWithTheirCategoriesAndReportsTheRest) {
  AddressBookDialog dialog(book_, profile_);
  WriteFileBytes(dir_.File("contacts.csv"),
                 "Display Name,Primary Email,Notes,Category\r\n"
                 "山田 太郎,YAMADA@example.jp,,仕事\r\n"
                 "伊藤 誠,ito@example.jp,\"同期\r\n2010年入社\",同期\r\n"
                 "𠮷田,yoshida@example.jp,,\r\n");
  ImportAndWait(dialog, QString::fromStdString(dir_.File("contacts.csv")));
  EXPECT_EQ(answers_.texts.back(), U("2 件を追加しました。\n既にあるアドレスの 1 件は追加しませんでした。\n"
                                     "1 件にShift_JISで表せない文字があり、「?」に置き換えました。"));
  EXPECT_EQ(Items(dialog.filter()),
            QStringList({U("全カテゴリ"), U("仕事"), U("友人"), U("家族"), U("同期"), U("カテゴリの編集...")}));
  dialog.filter().setCurrentIndex(4);
  EXPECT_EQ(Items(dialog.names()), QStringList({U("伊藤 誠")}));
  EXPECT_EQ(dialog.memo().toPlainText(), U("同期\n2010年入社"));

  // Contacts from a phone, in vCard form.
  WriteFileBytes(dir_.File("phone.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:中村 光\r\nEMAIL:hikari@example.jp\r\n"
                                         "TEL:090-0000-1111\r\nEND:VCARD\r\n");
  ImportAndWait(dialog, QString::fromStdString(dir_.File("phone.vcf")));
  EXPECT_EQ(answers_.texts.back(), U("1 件を追加しました。"));

  WriteFileBytes(dir_.File("sales.csv"), "Month,Total\r\n4,100\r\n");
  ImportAndWait(dialog, QString::fromStdString(dir_.File("sales.csv")));
  EXPECT_EQ(answers_.texts.back(),
            U("氏名またはメールアドレスの列が見つかりません: ") + QString::fromStdString(dir_.File("sales.csv")));
  ImportAndWait(dialog, QString::fromStdString(dir_.File("missing.csv")));
  EXPECT_TRUE(answers_.texts.back().startsWith(U("ファイルが開けません：")));
  // A named pipe is refused at once, never waited on.
  ASSERT_EQ(::mkfifo(dir_.File("pipe.vcf").c_str(), 0600), 0);
  ImportAndWait(dialog, QString::fromStdString(dir_.File("pipe.vcf")));
  EXPECT_TRUE(answers_.texts.back().startsWith(U("ファイルが開けません：")));

  dialog.accept();
  EXPECT_EQ(BookNames().size(), 7);
  EXPECT_EQ(BookNames().last(), U("中村 光"));
}

TEST_F(AddressBookDialogTest, ExportWritesTheCardsShownInEitherFormat) {
  AddressBookDialog dialog(book_, profile_);
  const std::string utf8 = dir_.File("work.csv");
  ASSERT_TRUE(dialog.ExportFile(QString::fromStdString(utf8), AddressBookDialog::ExportFormat::Utf8));
  EXPECT_EQ(answers_.texts.back(), U("2 件を書き出しました。"));
  EXPECT_EQ(ReadFileBytes(utf8),
            "\xEF\xBB\xBF氏名,メールアドレス,郵便番号,住所,電話番号,メモ,カテゴリ\r\n"
            "山田 太郎,yamada@example.jp,100-0001,,,,仕事\r\n"
            "鈴木 一郎,suzuki@example.jp,100-0001,,,,仕事\r\n");

  dialog.filter().setCurrentIndex(0);
  const std::string own = dir_.File("all.csv");
  ASSERT_TRUE(dialog.ExportFile(QString::fromStdString(own), AddressBookDialog::ExportFormat::AddressBook));
  AddressBook read_back;
  read_back.Cards().Parse(ReadFileBytes(own), false, "");
  EXPECT_EQ(read_back.Cards().Cards(), book_.Cards().Cards());

  const std::string vcards = dir_.File("all.vcf");
  ASSERT_TRUE(dialog.ExportFile(QString::fromStdString(vcards), AddressBookDialog::ExportFormat::VCard));
  EXPECT_TRUE(ReadFileBytes(vcards).starts_with("BEGIN:VCARD\r\n"));
  EXPECT_EQ(ParseAddressFile(ReadFileBytes(vcards)).cards.size(), 4u);

  EXPECT_FALSE(dialog.ExportFile(QString::fromStdString(dir_.File("no/such/dir.csv")),
                                 AddressBookDialog::ExportFormat::Utf8));
  EXPECT_TRUE(answers_.texts.back().startsWith(U("ファイルが開けません：")));
}

}  // namespace
}  // namespace lp
