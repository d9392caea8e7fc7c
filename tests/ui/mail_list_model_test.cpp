#include "ui/mail_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTreeView>
#include <set>

#include "app/list_summary.h"
#include "codec/spool_analyser.h"
#include "platform/code_page.h"
#include "tests/support/recording_user_interface.h"
#include "store/mail_sort.h"
#include "store/mail_status.h"
#include "store/mail_transfer.h"
#include "store/open_box_registry.h"
#include "tests/support/temp_directory.h"
#include "ui/list_colours.h"
#include "ui/mail_list_delegate.h"
#include "ui/mailbox_view.h"

// The mail list model over a real box document, checked by Qt's model
// tester while a receive, a move, a sort and status changes reach it.

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class MailListModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(handle_);
    model_ = std::make_unique<MailListModel>(box_);
    tester_ = std::make_unique<QAbstractItemModelTester>(model_.get(),
                                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
  }
  void TearDown() override {
    tester_.reset();
    model_.reset();
  }

  // The three mails of the fixture, analysed into the box as a receive does.
  void ReceiveThreeMails() {
    WriteFileBytes("inbox.log", ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/ui/receive_three_mails.log"));
    ASSERT_EQ(AnalyseSpool(box_, "inbox.log"), 3);
  }
  QString Cell(int row, int column) const { return model_->index(row, column).data().toString(); }

  TempDirectory dir_{true};
  bool box_file_ = (WriteFileBytes("box.lp", ""), true);
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  OpenBoxRegistry registry_{profile_, ui_, commands_};
  BoxHandle handle_ = registry_.Acquire("box.lp").box;
  CLPOSTDoc& box_ = *handle_;
  std::unique_ptr<MailListModel> model_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(MailListModelTest, ReceiveAppendsRowsWithTheirTexts) {
  QSignalSpy inserted(model_.get(), &QAbstractItemModel::rowsInserted);
  QSignalSpy reset(model_.get(), &QAbstractItemModel::modelReset);
  ReceiveThreeMails();
  EXPECT_EQ(model_->rowCount(), 3);
  int rows = 0;
  for (const QList<QVariant>& signal : inserted) rows += signal.at(2).toInt() - signal.at(1).toInt() + 1;
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(reset.count(), 0);
  EXPECT_EQ(Cell(0, MailListModel::NameColumn), U("山田 <yamada@example.jp>"));
  EXPECT_EQ(Cell(0, MailListModel::SubjectColumn), U("会議案内"));
  EXPECT_EQ(Cell(0, MailListModel::DateColumn), U("2026/12/08 09:05:03"));
  EXPECT_EQ(model_->index(0, 0).data(MailListModel::StatusRole).toInt(), kStatusUnread);
  EXPECT_FALSE(model_->index(0, 0).data(MailListModel::AttachmentRole).toBool());
  EXPECT_TRUE(model_->index(1, 0).data(MailListModel::AttachmentRole).toBool());
  // Texts are converted once per row, whichever columns ask.
  EXPECT_EQ(model_->CachedRowCount(), 1);
}

TEST_F(MailListModelTest, MoveRemovesRowsHereAndShowsThemInTheOtherBox) {
  ReceiveThreeMails();
  WriteFileBytes("other.lp", "");
  const BoxHandle other = registry_.Acquire("other.lp").box;
  ASSERT_TRUE(other);
  MailListModel other_model(*other);
  QAbstractItemModelTester other_tester(&other_model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy removed(model_.get(), &QAbstractItemModel::rowsRemoved);
  QSignalSpy inserted(&other_model, &QAbstractItemModel::rowsInserted);
  QSignalSpy reset_here(model_.get(), &QAbstractItemModel::modelReset);
  QSignalSpy reset_there(&other_model, &QAbstractItemModel::modelReset);

  const int selection[] = {0, 2};
  EXPECT_EQ(MoveTo(box_, std::span<const int>(selection), "other.lp", registry_), 2u);

  EXPECT_EQ(model_->rowCount(), 1);
  // Precise row signals on both sides: no view loses its place.
  EXPECT_EQ(removed.count(), 2);
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(reset_here.count(), 0);
  EXPECT_EQ(reset_there.count(), 0);
  EXPECT_EQ(Cell(0, MailListModel::SubjectColumn), U("report"));
  ASSERT_EQ(other_model.rowCount(), 2);
  EXPECT_EQ(other_model.index(0, MailListModel::SubjectColumn).data().toString(), U("会議案内"));
  EXPECT_EQ(other_model.index(1, MailListModel::SubjectColumn).data().toString(), U("forwarded"));
}

TEST_F(MailListModelTest, SortMovesRowsAndTheirPersistentIndexes) {
  ReceiveThreeMails();
  const QPersistentModelIndex meeting = model_->index(0, MailListModel::SubjectColumn);
  (void)Cell(0, MailListModel::SubjectColumn);
  QSignalSpy layout(model_.get(), &QAbstractItemModel::layoutChanged);
  QSignalSpy reset(model_.get(), &QAbstractItemModel::modelReset);

  ASSERT_TRUE(Sort(box_, static_cast<int>(SortKey::Date)));

  EXPECT_EQ(layout.count(), 1);
  EXPECT_EQ(reset.count(), 0);
  EXPECT_EQ(Cell(0, MailListModel::SubjectColumn), U("report"));
  EXPECT_EQ(Cell(2, MailListModel::SubjectColumn), U("forwarded"));
  EXPECT_EQ(meeting.row(), 1);
  EXPECT_EQ(meeting.data().toString(), U("会議案内"));
}

TEST_F(MailListModelTest, StatusChangeRepaintsOnlyItsRow) {
  ReceiveThreeMails();
  QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
  const int selection[] = {1};
  SetStatus(box_, std::span<const int>(selection), kStatusRead);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), 1);
  EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>().row(), 1);
  EXPECT_EQ(model_->index(1, 0).data(MailListModel::StatusRole).toInt(), kStatusRead);
}

TEST_F(MailListModelTest, SummaryModeGivesTheFirstBodyLines) {
  ReceiveThreeMails();
  EXPECT_TRUE(model_->index(2, 0).data(MailListModel::SummaryRole).toString().isEmpty());
  QSignalSpy reset(model_.get(), &QAbstractItemModel::modelReset);
  model_->SetSummaryMode(true);
  EXPECT_EQ(reset.count(), 1);
  // The body's own "To:" line and the empty lines are left out.
  EXPECT_EQ(model_->index(2, 0).data(MailListModel::SummaryRole).toString(), U("first\r\nsecond\r\nthird"));
  EXPECT_EQ(model_->index(0, 0).data(MailListModel::SummaryRole).toString(),
            U("こんにちは\r\nline two\r\nline three"));

  MailListDelegate delegate;
  QStyleOptionViewItem option;
  option.fontMetrics = QFontMetrics(option.font);
  EXPECT_EQ(delegate.sizeHint(option, model_->index(0, 1)).height(), option.fontMetrics.height() * 4);
  model_->SetSummaryMode(false);
  EXPECT_LT(delegate.sizeHint(option, model_->index(0, 1)).height(), option.fontMetrics.height() * 2);
}

TEST(ListSummary, KeepsThreeNonEmptyLinesThatAreNotRepeatedHeaders) {
  struct Case {
    const char* text;
    const char* summary;
  };
  const Case cases[] = {
      {"To: a@example.jp\r\n\r\none\r\ntwo\r\nthree\r\nfour\r\n", "one\r\ntwo\r\nthree"},
      {"Subject: x\r\nFrom: y\r\nDate: z\r\nCc: w\r\nbody\r\n", "body"},
      {"\r\n\r\n", ""},
      {"one\ntwo", "one\r\ntwo"},
      // Only the exact header names: "Tokyo:" is a body line.
      {"Tokyo: rain\r\n", "Tokyo: rain"},
  };
  for (const Case& c : cases) EXPECT_EQ(ListSummaryOf(c.text), c.summary) << c.text;
}

// Each status has its own icon; unread rows are bold in the unread colour,
// the others in the text colour; a label keeps its colour.
TEST_F(MailListModelTest, DelegateStylesEachStatus) {
  ReceiveThreeMails();
  box_.RecordAt(2)->label = 1;
  std::array<MailListModel::LabelStyle, 11> labels;
  labels[1] = {U("重要"), QColor(Qt::red)};
  model_->SetLabels(labels);

  MailListDelegate delegate;
  ListColours colours = PaletteListColours(QPalette());
  colours.unread = QColor(0, 128, 255);
  colours.text = QColor(10, 10, 10);
  delegate.SetColours(colours);

  struct Case {
    int status;
    bool bold;
  };
  const Case cases[] = {{kStatusRead, false}, {kStatusUnread, true}, {kStatusReplied, false},
                        {kStatusUnsent, false}, {kStatusSent, false}};
  std::set<qint64> icons;
  for (const Case& c : cases) {
    box_.RecordAt(0)->status = c.status;
    box_.NoteRecordChanged(0);
    const QIcon icon = delegate.StatusIcon(c.status);
    EXPECT_FALSE(icon.isNull()) << c.status;
    icons.insert(icon.cacheKey());
    const QStyleOptionViewItem style = delegate.StyleFor(QStyleOptionViewItem(), model_->index(0, 2));
    EXPECT_EQ(style.font.bold(), c.bold) << c.status;
    EXPECT_EQ(style.palette.color(QPalette::Text), c.bold ? colours.unread : colours.text) << c.status;
  }
  EXPECT_EQ(icons.size(), 5u);
  EXPECT_TRUE(delegate.StatusIcon(5).isNull());
  const QStyleOptionViewItem labelled = delegate.StyleFor(QStyleOptionViewItem(), model_->index(2, 1));
  EXPECT_EQ(labelled.text, U("重要"));
  EXPECT_EQ(labelled.palette.color(QPalette::Text), QColor(Qt::red));
}

TEST_F(MailListModelTest, ColoursComeFromThePaletteUnlessSet) {
  QPalette dark;
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Link, QColor(120, 170, 255));
  ListColours colours = ResolveListColours(profile_, dark);
  EXPECT_EQ(colours.back, QColor(30, 30, 30));
  EXPECT_EQ(colours.text, QColor(230, 230, 230));
  EXPECT_EQ(colours.unread, QColor(120, 170, 255));
  // Stored as blue * 65536 + green * 256 + red.
  ASSERT_TRUE(profile_.WriteInt("Mail", "MRColor", 0xFF8000));
  ASSERT_TRUE(profile_.WriteInt("View", "BackColor", 0xFFFFFF));
  colours = ResolveListColours(profile_, dark);
  EXPECT_EQ(colours.unread, QColor(0, 128, 255));
  EXPECT_EQ(colours.back, QColor(255, 255, 255));
  EXPECT_EQ(colours.text, QColor(230, 230, 230));
}

TEST_F(MailListModelTest, DraggedColumnWidthIsStoredAndUsedByTheNextWindow) {
  ReceiveThreeMails();
  {
    MailboxView view(handle_, profile_);
    view.list().header()->resizeSection(MailListModel::NameColumn, 233);
    view.list().header()->resizeSection(MailListModel::DateColumn, 144);
  }
  EXPECT_EQ(profile_.GetInt("List", "NameWidth", 0), 233);
  EXPECT_EQ(profile_.GetInt("List", "DateWidth", 0), 144);
  EXPECT_EQ(profile_.GetInt("List", "LabelWidth", 0), 0);
  MailboxView next(handle_, profile_);
  EXPECT_EQ(next.list().columnWidth(MailListModel::NameColumn), 233);
  EXPECT_EQ(next.list().columnWidth(MailListModel::DateColumn), 144);
}

}  // namespace
}  // namespace lp
