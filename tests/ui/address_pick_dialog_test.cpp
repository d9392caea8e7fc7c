#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>

#include "app/command_ids.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "ui/address_completer.h"
#include "ui/address_pick_dialog.h"
#include "ui/compose_view.h"
#include "ui/main_window.h"
#include "ui/sjis_qt.h"

// The address book choice of the compose window's To, Cc and Bcc buttons:
// the entries it gives, its category filter, and the field it fills.

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string S(const char* utf8) { return ToSjis(U(utf8)); }

void AddCard(AddressBook& book, const char* name, const char* address, const char* category) {
  book.Cards().AddCard({S(name), S(address), {}, {}, {}, {}, S(category)});
}

TEST(AddressFieldEntryTest, GivesAnEntryTheAddressFieldReadsBack) {
  struct Case {
    const char* name;
    const char* address;
    const char* entry;
  };
  const Case cases[] = {
      {"山田 太郎", "yamada@example.jp", "山田 太郎 <yamada@example.jp>"},
      {"", "nobody@example.jp", "nobody@example.jp"},
      {"Yamada, Taro", "yamada@example.jp", "yamada@example.jp"},  // a comma would split the field
      {"\"Q\"", "q@example.jp", "q@example.jp"},
      {"営業部", "a@example.jp\r\nb@example.jp", "営業部"},  // a list: sending expands its name
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddressFieldEntry(U(c.name), U(c.address)), U(c.entry)) << c.name;
  }
}

class AddressPickDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book_.Cards().Reset("\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\"", false);
    AddCard(book_, "山田 太郎", "yamada@example.jp", "仕事");
    AddCard(book_, "佐藤 花子", "sato@example.jp", "友人");
    AddCard(book_, "鈴木", "suzuki@example.jp", "仕事");
  }
  static QStringList Names(QTreeWidget& list) {
    QStringList names;
    for (int row = 0; row < list.topLevelItemCount(); ++row) names << list.topLevelItem(row)->text(0);
    return names;
  }
  AddressBook book_;
};

TEST_F(AddressPickDialogTest, ACategoryShowsItsCardsAndTheSelectionGivesTheEntries) {
  AddressPickDialog dialog(book_, {S("仕事"), S("友人")});
  EXPECT_EQ(dialog.category().itemText(0), U("全カテゴリ"));
  EXPECT_EQ(Names(dialog.list()), QStringList({U("山田 太郎"), U("佐藤 花子"), U("鈴木")}));
  EXPECT_EQ(dialog.PickedText(), U("山田 太郎 <yamada@example.jp>"));  // the first card is chosen

  dialog.category().setCurrentIndex(1);
  EXPECT_EQ(Names(dialog.list()), QStringList({U("山田 太郎"), U("鈴木")}));
  dialog.list().selectAll();
  EXPECT_EQ(dialog.PickedText(), U("山田 太郎 <yamada@example.jp>, 鈴木 <suzuki@example.jp>"));

  dialog.category().setCurrentIndex(2);
  EXPECT_EQ(Names(dialog.list()), QStringList({U("佐藤 花子")}));

  dialog.show();
  const QImage image = dialog.grab().toImage();
  if (const char* keep = std::getenv("LP_SCREENSHOT_DIR")) (void)image.save(QString::fromUtf8(keep) + "/address_pick.png");
}

TEST_F(AddressPickDialogTest, SearchNarrowsTheCardsAndOnlyShownOnesArePicked) {
  AddressPickDialog dialog(book_, {S("仕事"), S("友人")});
  dialog.search().setText(QStringLiteral("SATO"));
  EXPECT_EQ(dialog.PickedText(), U("佐藤 花子 <sato@example.jp>"));  // the first match is chosen
  dialog.list().selectAll();
  EXPECT_EQ(dialog.PickedText(), U("佐藤 花子 <sato@example.jp>"));
  dialog.search().setText(QStringLiteral("nobody"));  // nothing shown, nothing picked
  EXPECT_EQ(dialog.PickedText(), QString());
  dialog.search().setText(U("鈴"));
  dialog.list().selectAll();
  EXPECT_EQ(dialog.PickedText(), U("鈴木 <suzuki@example.jp>"));
  dialog.search().clear();
  dialog.list().selectAll();
  EXPECT_EQ(dialog.PickedText().count(QLatin1Char('<')), 3);
}

TEST_F(AddressPickDialogTest, AnEmptyBookPicksNothing) {
  AddressBook empty;
  AddressPickDialog dialog(empty, {});
  EXPECT_EQ(dialog.list().topLevelItemCount(), 0);
  EXPECT_EQ(dialog.PickedText(), QString());
}

class ComposePickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.Start(data_.path(), ui_);
    ASSERT_NE(program_.window, nullptr);
    program_.window->SetComposeDialogs([](const QString&) { return ComposeCloseAnswer::Discard; }, nullptr);
    AddCard(program_.session->book(), "佐藤 花子", "sato@example.jp", "");
    AddCard(program_.session->book(), "鈴木", "suzuki@example.jp", "");
  }
  // Clicks a field's button while the dialog answers with `row` chosen
  // (OK) or, for -1, with Cancel.
  QString Pick(ComposeView& compose, const char* button, int row) {
    QTimer::singleShot(0, [row] {
      auto* dialog = qobject_cast<AddressPickDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      if (row < 0) {
        dialog->reject();
        return;
      }
      dialog->list().setCurrentItem(dialog->list().topLevelItem(row));
      dialog->accept();
    });
    compose.findChild<QPushButton*>(QLatin1String(button))->click();
    return compose.field(ComposeField::To).text() + QLatin1Char('|') + compose.field(ComposeField::Bcc).text();
  }

  testing::TempDirectory data_{true};  // the program enters it: left again at the end
  RecordingUserInterface ui_;
  testing::DesktopProgram program_;
};

TEST_F(ComposePickTest, TheFieldButtonsAddTheChosenCardAndCancelAddsNothing) {
  ASSERT_TRUE(program_.window->router().Run(cmd::kNewMail));
  ComposeView* compose = program_.window->ActiveComposeView();
  ASSERT_NE(compose, nullptr);
  EXPECT_EQ(Pick(*compose, "toButton", 1), U("鈴木 <suzuki@example.jp>|"));
  EXPECT_EQ(Pick(*compose, "toButton", 0), U("鈴木 <suzuki@example.jp>, 佐藤 花子 <sato@example.jp>|"));
  EXPECT_EQ(Pick(*compose, "bccButton", -1), U("鈴木 <suzuki@example.jp>, 佐藤 花子 <sato@example.jp>|"));
  EXPECT_EQ(Pick(*compose, "bccButton", 0), U("鈴木 <suzuki@example.jp>, 佐藤 花子 <sato@example.jp>|佐藤 花子 <sato@example.jp>"));
}

// Typing in To, Cc or Bcc offers the book's entries that hold what is
// typed after the last comma; the chosen one replaces it.
TEST_F(ComposePickTest, TypingAnAddressFieldOffersTheBooksEntries) {
  ASSERT_TRUE(program_.window->router().Run(cmd::kNewMail));
  ComposeView* compose = program_.window->ActiveComposeView();
  ASSERT_NE(compose, nullptr);
  QLineEdit& to = compose->field(ComposeField::To);
  auto* completer = to.findChild<AddressCompleter*>();
  ASSERT_NE(completer, nullptr);
  EXPECT_EQ(compose->field(ComposeField::Subject).findChild<AddressCompleter*>(), nullptr);

  to.setFocus();
  QTest::keyClicks(&to, QStringLiteral("boss@example.jp, SA"));
  EXPECT_EQ(completer->completer().completionCount(), 1);
  EXPECT_EQ(completer->completer().currentCompletion(), U("佐藤 花子 <sato@example.jp>"));
  EXPECT_TRUE(completer->completer().popup()->isVisible());
  QTest::keyClick(completer->completer().popup(), Qt::Key_Down);
  QTest::keyClick(completer->completer().popup(), Qt::Key_Return);
  EXPECT_EQ(to.text(), U("boss@example.jp, 佐藤 花子 <sato@example.jp>"));

  // A name matches too; what matches nothing offers nothing.
  to.clear();
  QInputMethodEvent typed_by_input_method;  // Japanese comes from the input method
  typed_by_input_method.setCommitString(U("鈴"));
  QApplication::sendEvent(&to, &typed_by_input_method);
  EXPECT_EQ(completer->completer().currentCompletion(), U("鈴木 <suzuki@example.jp>"));
  to.clear();
  QTest::keyClicks(&to, QStringLiteral("nobody"));
  EXPECT_FALSE(completer->completer().popup()->isVisible());
  EXPECT_EQ(to.text(), QStringLiteral("nobody"));
}

}  // namespace
}  // namespace lp
