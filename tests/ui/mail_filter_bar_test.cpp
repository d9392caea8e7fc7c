#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <fstream>

#include "codec/japanese_text.h"
#include "platform/file_system.h"
#include "store/mail_status.h"
#include "store/open_box_registry.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "ui/mail_filter_bar.h"
#include "ui/mail_filter_proxy.h"
#include "ui/mail_list_model.h"
#include "ui/mailbox_view.h"

// The filter bar over a real box: what it shows for each text and toggle,
// while mails arrive and leave, and how Escape gives the list back.

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

struct SampleMail {
  const char* from;
  const char* subject;
  const char* body;
  int status;
  int label;
};

// Subjects and senders by the row they are added as.
constexpr SampleMail kMails[] = {
    {"山田 <yamada@example.jp>", "テスト会議のご案内", "いつもお世話になっております。", kStatusUnread, 0},
    {"sato@example.jp", "Weekly report", "見積書を添付します。", kStatusRead, 2},
    {"鈴木 <suzuki@example.jp>", "Re: 出張報告", "テストの結果は良好でした。", kStatusRead, 0},
    {"TANAKA <tanaka@example.jp>", "ＲＥＰＯＲＴ のお願い", "よろしくお願いします。", kStatusUnread, 1},
};

class MailFilterBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(handle_);
    for (const SampleMail& mail : kMails) AddMail(mail);
    view_ = std::make_unique<MailboxView>(handle_, profile_);
    tester_ = std::make_unique<QAbstractItemModelTester>(&view_->filter(),
                                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    view_->resize(640, 360);
    view_->show();
  }
  void TearDown() override {
    tester_.reset();
    view_.reset();
  }

  // Appends the mail's text to the box's text file and its record to the box.
  void AddMail(const SampleMail& sample) {
    std::string text = "From: " + Utf8ToSjis(sample.from) + "\r\nSubject: " + Utf8ToSjis(sample.subject) +
                       "\r\n\r\n" + Utf8ToSjis(sample.body) + "\r\n";
    std::ofstream file(ToNativePath(box_.TextFilePath()), std::ios::binary | std::ios::app);
    const auto start = static_cast<std::uint32_t>(file.tellp());
    file << text << "\r\n.\r\n";
    file.close();
    auto mail = std::make_unique<CMail>();
    mail->from = Utf8ToSjis(sample.from);
    mail->to = "me@example.jp";
    mail->subject = Utf8ToSjis(sample.subject);
    mail->status = sample.status;
    mail->label = sample.label;
    mail->text_start = start;
    mail->text_end = start + static_cast<std::uint32_t>(text.size());
    box_.Add(std::move(mail));
  }

  // Types into the bar and waits until the filter is shown.
  void Filter(const MailFilter& filter) {
    MailFilterBar& bar = view_->filter_bar();
    view_->ShowFilterBar();
    bar.findChild<QCheckBox*>(QStringLiteral("filterBody"))->setChecked(filter.body);
    bar.findChild<QToolButton*>(QStringLiteral("filterUnread"))->setChecked(filter.unread_only);
    bar.findChild<QToolButton*>(QStringLiteral("filterLabelled"))->setChecked(filter.labelled_only);
    bar.text_field().setText(filter.text);
    WaitUntilShown();
  }
  void WaitUntilShown() {
    QElapsedTimer clock;
    clock.start();
    while (view_->filter().IsWorking() && clock.elapsed() < 5000) QApplication::processEvents();
    ASSERT_FALSE(view_->filter().IsWorking());
  }
  // The subjects of the rows shown, top to bottom.
  QStringList Shown() const {
    QStringList subjects;
    const QAbstractItemModel& model = view_->filter();
    for (int row = 0; row < model.rowCount(); ++row) {
      subjects << model.index(row, MailListModel::SubjectColumn).data().toString();
    }
    return subjects;
  }

  TempDirectory dir_{true};
  bool box_file_ = (WriteFileBytes("box.lp", ""), true);
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  OpenBoxRegistry registry_{profile_, ui_, commands_};
  BoxHandle handle_ = registry_.Acquire("box.lp").box;
  CLPOSTDoc& box_ = *handle_;
  std::unique_ptr<MailboxView> view_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

TEST_F(MailFilterBarTest, NarrowsBySubjectAndSenderWithTheSearchFolding) {
  struct Case {
    MailFilter filter;
    QStringList shown;
  };
  const Case cases[] = {
      // Half-width kana find full-width, and case and width fold in Latin.
      {{U("ﾃｽﾄ")}, {U("テスト会議のご案内")}},
      {{U("report")}, {U("Weekly report"), U("ＲＥＰＯＲＴ のお願い")}},
      // The sender's name and address.
      {{U("鈴木")}, {U("Re: 出張報告")}},
      {{U("SATO@")}, {U("Weekly report")}},
      // The body only on request.
      {{U("てすと")}, {U("テスト会議のご案内")}},
      {{U("てすと"), true}, {U("テスト会議のご案内"), U("Re: 出張報告")}},
      {{U("見積書"), false}, {}},
      {{U("見積書"), true}, {U("Weekly report")}},
      // The toggles alone and with a text.
      {{QString(), false, true}, {U("テスト会議のご案内"), U("ＲＥＰＯＲＴ のお願い")}},
      {{QString(), false, false, true}, {U("Weekly report"), U("ＲＥＰＯＲＴ のお願い")}},
      {{U("report"), false, true, true}, {U("ＲＥＰＯＲＴ のお願い")}},
      {{}, {U("テスト会議のご案内"), U("Weekly report"), U("Re: 出張報告"), U("ＲＥＰＯＲＴ のお願い")}},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.filter.text.toStdString());
    Filter(one.filter);
    EXPECT_EQ(Shown(), one.shown);
  }
  // The box itself keeps every mail.
  EXPECT_EQ(box_.Count(), 4);
}

TEST_F(MailFilterBarTest, MailsArrivingAndLeavingWhileFilteredAreDecidedOnTheirOwn) {
  Filter({U("report")});
  ASSERT_EQ(Shown().size(), 2);
  AddMail({"x@example.jp", "Monthly REPORT", "", kStatusUnread, 0});
  AddMail({"y@example.jp", "お昼の件", "", kStatusUnread, 0});
  EXPECT_EQ(Shown(), (QStringList{U("Weekly report"), U("ＲＥＰＯＲＴ のお願い"), U("Monthly REPORT")}));
  box_.RemoveRange(0, 2);
  EXPECT_EQ(Shown(), (QStringList{U("ＲＥＰＯＲＴ のお願い"), U("Monthly REPORT")}));
  EXPECT_EQ(box_.Count(), 4);
  // A mail that stops matching stays until the filter changes.
  Filter({QString(), false, true});
  ASSERT_EQ(Shown().size(), 3);
  box_.RecordAt(1)->status = kStatusRead;
  EXPECT_EQ(Shown().size(), 3);
}

TEST_F(MailFilterBarTest, AReloadedBoxIsFilteredAgain) {
  ASSERT_TRUE(box_.Save().ok);
  Filter({U("report")});
  ASSERT_EQ(Shown().size(), 2);
  ASSERT_TRUE(box_.Reload().ok);
  EXPECT_TRUE(view_->filter().IsWorking());
  WaitUntilShown();
  EXPECT_EQ(Shown(), (QStringList{U("Weekly report"), U("ＲＥＰＯＲＴ のお願い")}));
}

TEST_F(MailFilterBarTest, RowsMapToTheBoxAndCommandsSeeTheBoxRows) {
  Filter({U("report")});
  view_->list().setCurrentIndex(view_->filter().index(1, 0));
  EXPECT_EQ(view_->CaretRow(), 3);  // the box's fourth mail
  // A caret put on a hidden mail clears the filter first.
  view_->SetCaret(2);
  EXPECT_FALSE(view_->filter().IsFiltering());
  EXPECT_TRUE(view_->filter_bar().isHidden());
  EXPECT_EQ(view_->CaretRow(), 2);
}

TEST_F(MailFilterBarTest, SlashOpensTheBarAndEscapeGivesTheListBackOnTheCaretMail) {
  view_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
  view_->SetCaret(0);
  view_->list().setFocus();
  QTest::keyClick(&view_->list(), Qt::Key_Slash, Qt::NoModifier);
  ASSERT_TRUE(view_->filter_bar().isVisible());
  EXPECT_TRUE(view_->filter_bar().text_field().hasFocus());
  QTest::keyClicks(&view_->filter_bar().text_field(), QStringLiteral("rep"));
  WaitUntilShown();
  EXPECT_EQ(Shown().size(), 2);
  // The caret's mail was hidden; the user picks one of the shown.
  view_->list().setCurrentIndex(view_->filter().index(1, 0));
  if (const char* shot = std::getenv("LP_SCREENSHOT_DIR")) {
    view_->grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("/mail_filter_bar.png"));
  }
  QTest::keyClick(&view_->filter_bar().text_field(), Qt::Key_Escape);
  EXPECT_TRUE(view_->filter_bar().isHidden());
  EXPECT_EQ(Shown().size(), 4);
  EXPECT_EQ(view_->CaretRow(), 3);
  EXPECT_TRUE(view_->filter_bar().text_field().text().isEmpty());
  // Nothing picked while filtered: the caret goes back to its mail.
  QTest::keyClick(&view_->list(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_TRUE(view_->filter_bar().isVisible());
  Filter({U("出張")});
  // The caret's mail is hidden; Escape brings the caret back to it.
  EXPECT_EQ(view_->CaretRow(), -1);
  QTest::keyClick(&view_->list(), Qt::Key_Escape);
  EXPECT_EQ(view_->CaretRow(), 3);
}

}  // namespace
}  // namespace lp
