#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <chrono>

#include "app/command_ids.h"
#include "codec/date_header.h"
#include "codec/spool_analyser.h"
#include "config/account_table.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "ui/compose_view.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/sjis_qt.h"

// The compose window in the main window: each way of opening it fills the
// form, the close dialog's answers, discarding, the file commands, a
// dropped file, and the caret position in the status bar.

namespace lp {
namespace {

using namespace std::chrono_literals;
using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string S(const char* utf8) { return ToSjis(U(utf8)); }

class ComposeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CSetMenuArray accounts;
    CSetMenu& alice = accounts.At(0);
    alice.name = "alice";
    alice.adr = "alice@example.jp";
    alice.sender_name = "Alice";
    alice.signe = 2;
    Profile profile(FromNativePath(data_.File("lpost.conf")));
    ASSERT_TRUE(accounts.Save(profile));
    program_.Start(data_.path(), ui_);
    ASSERT_NE(program_.window, nullptr);
    window_->SetComposeDialogs(
        [this](const QString& move_text) {
          move_texts_.push_back(move_text);
          return close_answer_;
        },
        [] { return U("佐藤 <sato@example.jp>"); });
    inbox_ = window_->OpenMailbox(program_.core.settings().default_file);
    ASSERT_NE(inbox_, nullptr);
    WriteFileBytes(data_.File("inbox.log"), ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/ui/receive_three_mails.log"));
    ASSERT_EQ(AnalyseSpool(inbox_->box(), FromNativePath(data_.File("inbox.log"))), 3);
  }

  ComposeView& Run(int command) {
    EXPECT_TRUE(window_->router().Run(command));
    ComposeView* compose = window_->ActiveComposeView();
    EXPECT_NE(compose, nullptr);
    return *compose;
  }
  ComposeView& Open(int command, int inbox_row) {
    window_->mdi().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(inbox_->parentWidget()));
    inbox_->SetCaret(inbox_row);
    return Run(command);
  }
  static QString Field(ComposeView& compose, ComposeField which) { return compose.field(which).text(); }
  CLPOSTDoc& Box(const std::string& path) { return window_->OpenMailbox(path)->box(); }
  int ComposeWindows() const {
    int count = 0;
    for (QMdiSubWindow* sub : window_->mdi().subWindowList()) count += qobject_cast<ComposeView*>(sub->widget()) != nullptr;
    return count;
  }

  // Queues one new mail per subject (its body is the subject too) and
  // shows the send box.
  MailboxView& Queue(const std::vector<std::string>& subjects) {
    for (const std::string& subject : subjects) {
      ComposeView& compose = Run(cmd::kNewMail);
      compose.field(ComposeField::Subject).setText(FromSjis(subject));
      compose.body().setPlainText(FromSjis(subject));
      EXPECT_TRUE(compose.Save(ComposeSave::Send));
    }
    MailboxView* outbox = window_->OpenMailbox(program_.core.settings().send_file);
    EXPECT_NE(outbox, nullptr);
    return *outbox;
  }
  void Activate(MailboxView& view) {
    window_->mdi().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view.parentWidget()));
  }
  // Opens the queued mail with this subject for editing.
  ComposeView& EditQueued(MailboxView& outbox, const std::string& subject) {
    const std::vector<std::string> subjects = Subjects(outbox.box());
    const auto found = std::find(subjects.begin(), subjects.end(), subject);
    EXPECT_NE(found, subjects.end());
    Activate(outbox);
    outbox.SetCaret(static_cast<int>(found - subjects.begin()));
    ComposeView& edit = Run(cmd::kOpenMail);
    EXPECT_EQ(Field(edit, ComposeField::Subject), FromSjis(subject));
    return edit;
  }
  static std::vector<std::string> Subjects(CLPOSTDoc& box) {
    std::vector<std::string> subjects;
    for (int i = 0; i < box.Count(); ++i) subjects.push_back(box.RecordAt(i)->subject);
    return subjects;
  }
  static std::vector<std::string> Bodies(CLPOSTDoc& box) {
    std::vector<std::string> bodies;
    for (int i = 0; i < box.Count(); ++i) {
      const CMail& mail = *box.RecordAt(i);
      bodies.push_back(box.ReadText(mail.text_start, mail.text_end).text);
    }
    return bodies;
  }

  TempDirectory data_{true};  // the program enters it: left again at the end
  RecordingUserInterface ui_;
  // Before the program: its windows may still ask while it closes.
  ComposeCloseAnswer close_answer_ = ComposeCloseAnswer::Discard;
  std::vector<QString> move_texts_;
  testing::DesktopProgram program_;
  std::unique_ptr<MainWindow>& window_ = program_.window;
  MailboxView* inbox_ = nullptr;
};

TEST_F(ComposeWindowTest, EachOpenModeFillsTheForm) {
  ComposeView& fresh = Run(cmd::kNewMail);
  EXPECT_EQ(fresh.windowTitle(), U("新規メール"));
  EXPECT_EQ(Field(fresh, ComposeField::To), QString());
  EXPECT_EQ(Field(fresh, ComposeField::From), U("Alice <alice@example.jp>"));
  EXPECT_EQ(fresh.signature().currentIndex(), 2);
  EXPECT_EQ(fresh.signature().itemText(0), U("署名なし"));
  EXPECT_FALSE(fresh.IsChanged());

  ComposeView& reply = Open(cmd::kReply, 0);
  EXPECT_EQ(Field(reply, ComposeField::To), U("山田 <yamada@example.jp>"));
  EXPECT_EQ(Field(reply, ComposeField::Subject), U("Re:会議案内"));
  EXPECT_EQ(Field(reply, ComposeField::From), U("Alice <alice@example.jp>"));
  EXPECT_TRUE(reply.body().toPlainText().startsWith(U(">")));
  EXPECT_EQ(reply.windowTitle(), U("Re:会議案内 to 山田 <yamada@example.jp>"));
  EXPECT_FALSE(reply.Form().references.empty());

  ComposeView& forward = Open(cmd::kForward, 1);
  EXPECT_EQ(Field(forward, ComposeField::To), QString());
  EXPECT_EQ(Field(forward, ComposeField::Subject), U("report"));
  EXPECT_TRUE(forward.body().toPlainText().contains(U(">See the file.")));

  window_->HandleRequest(S("mailto:taro@example.jp?subject=%E4%BC%9A&cc=jiro@example.jp"));
  ASSERT_TRUE(RunEventLoopUntil([&] { return window_->ActiveComposeView() != &forward && window_->ActiveComposeView() != nullptr; }, 5s));
  ComposeView& mailto = *window_->ActiveComposeView();
  EXPECT_EQ(mailto.mode(), ComposeMode::Mailto);
  EXPECT_EQ(Field(mailto, ComposeField::To), U("taro@example.jp"));
  EXPECT_EQ(Field(mailto, ComposeField::Cc), U("jiro@example.jp"));

  // Edit again: a queued mail opens with its stored fields and text.
  mailto.body().setPlainText(U("本文です"));
  ASSERT_TRUE(mailto.Save(ComposeSave::Send));
  MailboxView* outbox = window_->OpenMailbox(program_.core.settings().send_file);
  ASSERT_EQ(outbox->box().Count(), 1);
  outbox->SetCaret(0);
  ComposeView& edit = Run(cmd::kOpenMail);  // unsent mail opens for editing
  EXPECT_EQ(edit.mode(), ComposeMode::Edit);
  EXPECT_EQ(Field(edit, ComposeField::To), U("taro@example.jp"));
  EXPECT_EQ(edit.body().toPlainText(), U("本文です"));
  // Saving the edited mail keeps it queued, in place, and the window open.
  edit.field(ComposeField::Subject).setText(U("件名を変更"));
  edit.field(ComposeField::Subject).setModified(true);
  ASSERT_TRUE(edit.Save(ComposeSave::SaveEdited));
  EXPECT_FALSE(edit.IsChanged());
  ASSERT_EQ(outbox->box().Count(), 1);
  EXPECT_EQ(FromSjis(outbox->box().RecordAt(0)->subject), U("件名を変更"));
  EXPECT_EQ(outbox->box().RecordAt(0)->status, kStatusUnsent);
  EXPECT_EQ(window_->ActiveComposeView(), &edit);
}

TEST_F(ComposeWindowTest, AnEditedMailIsSavedWhereverASortMovedIt) {
  MailboxView& outbox = Queue({"c", "a", "b"});
  ComposeView& edit = EditQueued(outbox, "c");
  Activate(outbox);
  ASSERT_TRUE(window_->router().Run(cmd::kSortBySubject));
  ASSERT_EQ(Subjects(outbox.box()), (std::vector<std::string>{"a", "b", "c"}));
  edit.body().setPlainText(U("直した本文"));
  ASSERT_TRUE(edit.Save(ComposeSave::Send));
  EXPECT_EQ(Subjects(outbox.box()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Bodies(outbox.box()), (std::vector<std::string>{"a", "b", S("直した本文")}));
  EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(ComposeWindowTest, AnEditedMailThatLeftTheBoxIsSavedAsANewMailOnlyWhenTheUserSaysSo) {
  MailboxView& outbox = Queue({"c", "a", "b"});
  ComposeView& edit = EditQueued(outbox, "c");
  // Deleted meanwhile: it goes to the trash.
  Activate(outbox);
  outbox.SetCaret(0);
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(window_->router().Run(cmd::kDeleteMail));
  ASSERT_EQ(Subjects(outbox.box()), (std::vector<std::string>{"a", "b"}));
  edit.body().setPlainText(U("直した本文"));
  ui_.questions.clear();

  // Declined: nothing is written and the window keeps the text.
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(edit.Save(ComposeSave::SaveEdited));
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(FromSjis(ui_.questions[0].text), U("編集中のメールはもうメールボックスにありません。新しいメールとして保存しますか？"));
  EXPECT_EQ(Subjects(outbox.box()), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Bodies(outbox.box()), (std::vector<std::string>{"a", "b"}));

  // Accepted: a new queued mail, and later saves update that one.
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(edit.Save(ComposeSave::SaveEdited));
  EXPECT_EQ(Subjects(outbox.box()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Bodies(outbox.box()), (std::vector<std::string>{"a", "b", S("直した本文")}));
  EXPECT_EQ(outbox.box().RecordAt(2)->status, kStatusUnsent);
  edit.body().setPlainText(U("もう一度"));
  ASSERT_TRUE(edit.Save(ComposeSave::SaveEdited));
  EXPECT_EQ(ui_.questions.size(), 2u);
  EXPECT_EQ(Bodies(outbox.box()), (std::vector<std::string>{"a", "b", S("もう一度")}));
  // The deleted mail is untouched in the trash.
  CLPOSTDoc& trash = Box(FromNativePath(data_.File("ごみ箱.lp")));
  EXPECT_EQ(Bodies(trash), (std::vector<std::string>{"c"}));
}

TEST_F(ComposeWindowTest, ReplyMarksTheMailRepliedOnlyOnceSaved) {
  ComposeView& reply = Open(cmd::kReply, 0);
  EXPECT_EQ(inbox_->box().RecordAt(0)->status, kStatusUnread);
  ASSERT_TRUE(reply.Save(ComposeSave::Send));
  EXPECT_EQ(inbox_->box().RecordAt(0)->status, kStatusReplied);
  CLPOSTDoc& outbox = Box(program_.core.settings().send_file);
  ASSERT_EQ(outbox.Count(), 1);
  EXPECT_EQ(outbox.RecordAt(0)->status, kStatusUnsent);
}

struct CloseCase {
  ComposeCloseAnswer answer;
  bool closes;
  int drafts;  // mails in the draft box afterwards
};

TEST_F(ComposeWindowTest, TheCloseDialogsAnswers) {
  const CloseCase cases[] = {
      {ComposeCloseAnswer::Save, true, 1},
      {ComposeCloseAnswer::Discard, true, 0},
      {ComposeCloseAnswer::Move, true, 1},
      {ComposeCloseAnswer::Cancel, false, 0},
  };
  const std::string draft_path = program_.core.settings().draft_file;
  for (const CloseCase& c : cases) {
    const int drafts_before = Box(draft_path).Count();
    ComposeView& compose = Run(cmd::kNewMail);
    const int windows = ComposeWindows();
    QTest::keyClicks(&compose.body(), QStringLiteral("hello"));
    ASSERT_TRUE(compose.IsChanged());
    close_answer_ = c.answer;
    move_texts_.clear();
    window_->mdi().activeSubWindow()->close();
    QApplication::processEvents();
    ASSERT_EQ(move_texts_.size(), 1u);
    // A new mail in the draft box is a draft.
    EXPECT_EQ(move_texts_[0], U("下書きBOXへ移動(&M)"));
    EXPECT_EQ(ComposeWindows(), c.closes ? windows - 1 : windows) << static_cast<int>(c.answer);
    EXPECT_EQ(Box(draft_path).Count() - drafts_before, c.drafts) << static_cast<int>(c.answer);
    if (c.drafts > 0) {
      EXPECT_EQ(Box(draft_path).RecordAt(Box(draft_path).Count() - 1)->status, kStatusSent);
    }
  }
  close_answer_ = ComposeCloseAnswer::Discard;
  // Unchanged windows close without the dialog.
  (void)Run(cmd::kNewMail);
  move_texts_.clear();
  const int windows = ComposeWindows();
  window_->mdi().activeSubWindow()->close();
  QApplication::processEvents();
  EXPECT_TRUE(move_texts_.empty());
  EXPECT_EQ(ComposeWindows(), windows - 1);
}

TEST_F(ComposeWindowTest, DiscardAsksOnlyWhenSomethingChanged) {
  ComposeView& compose = Run(cmd::kNewMail);
  const int windows = ComposeWindows();
  QTest::keyClicks(&compose.field(ComposeField::Subject), QStringLiteral("x"));
  ui_.QueueAnswer(Answer::Cancel);
  compose.Discard();
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(FromSjis(ui_.questions[0].text), U("変更は全て破棄されます"));
  EXPECT_EQ(ComposeWindows(), windows);
  ui_.QueueAnswer(Answer::Ok);
  ASSERT_TRUE(window_->router().Run(cmd::kDiscardAndClose));
  QApplication::processEvents();
  EXPECT_EQ(ComposeWindows(), windows - 1);
  EXPECT_EQ(Box(program_.core.settings().draft_file).Count(), 0);
}

TEST_F(ComposeWindowTest, TemplatesInsertedFilesDatesDropsAndTheCaretPosition) {
  ComposeView& compose = Run(cmd::kNewMail);
  WriteFileBytes(data_.File("tmpl.txt"), S("To: hanako@example.jp\r\n\r\nこんにちは\r\n"));
  ui_.QueueFile(FromNativePath(data_.File("tmpl.txt")));
  compose.ApplyTemplate();
  EXPECT_EQ(Field(compose, ComposeField::To), U("hanako@example.jp"));
  EXPECT_EQ(Field(compose, ComposeField::Subject), U("tmpl"));
  EXPECT_EQ(compose.body().toPlainText(), U("こんにちは\n"));
  EXPECT_TRUE(compose.IsChanged());

  compose.body().moveCursor(QTextCursor::End);
  WriteFileBytes(data_.File("insert.txt"), S("挿入\r\n"));
  ui_.QueueFile(FromNativePath(data_.File("insert.txt")));
  ASSERT_TRUE(window_->router().Run(cmd::kInsertTextFile));
  // Lines joined with line breaks: none after the last.
  EXPECT_EQ(compose.body().toPlainText(), U("こんにちは\n挿入"));
  const std::time_t before = std::time(nullptr);
  ASSERT_TRUE(window_->router().Run(cmd::kInsertDate));
  const QString text = compose.body().toPlainText();
  EXPECT_TRUE(text.endsWith(FromSjis(FormatInsertedDate(before))) || text.endsWith(FromSjis(FormatInsertedDate(std::time(nullptr)))));

  // The caret's column and line in the status bar.
  compose.body().MoveCaret(2, 3);
  EXPECT_EQ(window_->StatusPaneText(0), QStringLiteral("03:02"));

  // A file dropped from the file manager becomes the attachment.
  const QString dropped = QString::fromStdString(data_.File("資料.pdf"));
  WriteFileBytes(data_.File("資料.pdf"), "pdf");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(dropped)});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&compose, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&compose, &drop);
  EXPECT_EQ(Field(compose, ComposeField::Attach), dropped);

  // The address-book buttons add to their field; "▲" hides the header area.
  compose.findChild<QPushButton*>(QStringLiteral("ccButton"))->click();
  EXPECT_EQ(Field(compose, ComposeField::Cc), U("佐藤 <sato@example.jp>"));
  compose.SetHeaderAreaVisible(false);
  EXPECT_FALSE(compose.field(ComposeField::To).isVisibleTo(&compose));
  compose.SetHeaderAreaVisible(true);

  const QImage image = window_->grab().toImage();
  if (const char* keep = std::getenv("LP_SCREENSHOT_DIR")) (void)image.save(QString::fromUtf8(keep) + "/compose_window.png");
}

}  // namespace
}  // namespace lp
