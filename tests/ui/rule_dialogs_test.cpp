#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/shown_dialog_handler.h"
#include "tests/ui/message_box_answerer.h"
#include "tests/ui/settings_file_test.h"
#include "ui/rule_edit_dialog.h"
#include "ui/rule_list_dialog.h"

// The auto-sort rule list and rule edit dialogs over a prepared
// "lpost.conf": the lines shown, add, edit, delete and order on a copy, what
// OK writes, Cancel, and the rules the edit dialog refuses.

namespace lp {
namespace {

using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Fills each rule edit dialog that shows with `fill` and presses OK.
class RuleEditFiller {
 public:
  explicit RuleEditFiller(std::function<void(RuleEditDialog&)> fill)
      : handler_([fill = std::move(fill)](RuleEditDialog& dialog) {
          fill(dialog);
          dialog.accept();
        }) {}

 private:
  testing::ShownDialogHandler<RuleEditDialog> handler_;
};

class RuleDialogsTest : public testing::SettingsFileTest {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"), Original());
    WriteFileBytes(dir_.File("仕事.lp"), "");
    WriteFileBytes(dir_.File("保存.lp"), "");
  }
  std::string Original() const {
    return Utf8ToCp932("; 手で書いた行\r\n[DivMenu]\r\nDivNo=2\r\nCond100=1\r\nCond200=abc@example.jp\r\nMailBox00=" +
                       dir_.path() + "/仕事.lp\r\nFoward00=\r\nReply00=\r\nCond101=2\r\nCond201=広告\r\n"
                       "MailBox01=\r\nFoward01=boss@example.jp\r\nReply01=\r\n[Lan]\r\nDir=/srv/lan\r\n");
  }

};

TEST_F(RuleDialogsTest, ListShowsTheRulesAndCancelChangesNothing) {
  RuleListDialog dialog(profile_, dir_.path());
  ASSERT_EQ(dialog.list().count(), 2);
  EXPECT_EQ(dialog.list().item(0)->text(), U("From: が abc@example.jp のとき 仕事 へ移動する "));
  EXPECT_EQ(dialog.list().item(1)->text(), U("Sub: が 広告 のとき boss@example.jp へ転送する "));
  dialog.MoveRule(1);
  answers_.Queue(QMessageBox::Yes);
  dialog.DeleteRule();
  dialog.reject();
  EXPECT_EQ(ConfBytes(), Original());
}

TEST_F(RuleDialogsTest, AddEditOrderAndDeleteThenOkWritesTheTable) {
  RuleListDialog dialog(profile_, dir_.path());
  {
    RuleEditFiller filler([](RuleEditDialog& edit) {
      edit.field().setCurrentIndex(0);
      edit.text().setText(U("team@example.jp"));
      edit.box().setCurrentText(U("保存"));
    });
    dialog.AddRule();
  }
  ASSERT_EQ(dialog.list().count(), 3);
  dialog.list().setCurrentRow(1);
  {
    RuleEditFiller filler([](RuleEditDialog& edit) {
      EXPECT_EQ(edit.forward().text(), U("boss@example.jp"));
      edit.reply().setText(U("/home/alice/返事.txt"));
    });
    dialog.EditRule();
  }
  dialog.MoveRule(-1);  // the edited rule goes first
  dialog.list().setCurrentRow(1);
  answers_.Queue(QMessageBox::No);
  dialog.DeleteRule();
  ASSERT_EQ(dialog.list().count(), 3);
  answers_.Queue(QMessageBox::Yes);
  dialog.DeleteRule();  // the old first rule
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ConfBytes(),
            Utf8ToCp932("; 手で書いた行\r\n[DivMenu]\r\nDivNo=2\r\nCond100=2\r\nCond200=広告\r\nMailBox00=\r\n"
                        "Foward00=boss@example.jp\r\nReply00=/home/alice/返事.txt\r\nCond101=0\r\n"
                        "Cond201=team@example.jp\r\nMailBox01=" +
                        dir_.path() + "/保存.lp\r\nFoward01=\r\nReply01=\r\n[Lan]\r\nDir=/srv/lan\r\n"));
}

TEST_F(RuleDialogsTest, EditRefusesARuleThatDoesNothingAndLineBreaks) {
  CDivMenu rule;
  rule.cond1 = kRuleFieldSubject;
  rule.cond2 = Utf8ToCp932("件名");
  {
    RuleEditDialog edit(rule, dir_.path());
    EXPECT_EQ(edit.field().currentText(), U("Subject:"));
    edit.accept();
    EXPECT_NE(edit.result(), QDialog::Accepted);
    ASSERT_EQ(answers_.texts.size(), 1);
    EXPECT_EQ(answers_.texts[0], U("移動先、転送先、返信のどれかを指定してください"));
  }
  RuleEditDialog edit(rule, dir_.path());
  edit.forward().setText(U("a@example.jp"));
  edit.text().setText(U("改行\nあり"));
  edit.accept();
  EXPECT_NE(edit.result(), QDialog::Accepted);
  EXPECT_EQ(answers_.texts.size(), 2);
  edit.text().setText(U("件名"));
  edit.accept();
  EXPECT_EQ(edit.result(), QDialog::Accepted);
  EXPECT_EQ(edit.rule().foward, "a@example.jp");
  EXPECT_EQ(edit.rule().cond1, kRuleFieldSubject);
}

}  // namespace
}  // namespace lp
