#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <memory>

#include "app/command_ids.h"
#include "store/mailbox_document.h"
#include "tests/ui/three_mail_inbox.h"
#include "ui/desktop_session.h"
#include "ui/mail_list_model.h"
#include "ui/mail_manager_view.h"
#include "ui/mailbox_tree_model.h"
#include "ui/main_window.h"
#include "ui/read_view.h"
#include "ui/sjis_qt.h"

// Reading mail through the real windows: a mail read in a read window, or
// shown in the preview with [View] PreRead, becomes read in its row, in the
// mail manager and soon after in its box file; the preview shows outgoing
// mail whole.

namespace lp {
namespace {

using namespace std::chrono_literals;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class ReadingTest : public testing::ThreeMailInboxTest {
 protected:
  [[nodiscard]] int Status(int row) const { return inbox_->box().RecordAt(row)->status; }
  // The status the box file holds for a row.
  [[nodiscard]] int StatusOnDisk(int row) const {
    CLPOSTDoc::Records records;
    if (!LoadIndexFile(inbox_->box().PathName(), records).ok || row >= static_cast<int>(records.size())) return -1;
    return records[static_cast<std::size_t>(row)]->status;
  }
  [[nodiscard]] int ManagerCount() const {
    auto* manager = program_.window->mdi().findChild<MailManagerView*>();
    if (manager == nullptr) return -1;
    const QModelIndexList found = manager->model().match(manager->model().index(0, 0), Qt::EditRole, U("受信"), 1,
                                                         Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? -1 : found.front().data(MailboxTreeModel::UnreadCountRole).toInt();
  }
  [[nodiscard]] QString PreviewOf(MailboxView& view) const { return view.preview()->toPlainText(); }
};

TEST_F(ReadingTest, OpeningAMailMarksItReadInItsRowTheManagerAndTheBoxFile) {
  program_.session->SetSaveDelay(20ms);
  inbox_->box().UpdateUnreadMark();
  QTRY_COMPARE(ManagerCount(), 3);
  QSignalSpy row_changed(&inbox_->model(), &QAbstractItemModel::dataChanged);

  inbox_->SetCaret(1);
  ASSERT_TRUE(Run(cmd::kOpenMail));
  ASSERT_NE(program_.window->ActiveReadView(), nullptr);
  EXPECT_EQ(Status(1), kStatusRead);
  EXPECT_EQ(Status(0), kStatusUnread);
  const auto covers_row = [&row_changed](int row) {
    for (const QList<QVariant>& change : row_changed) {
      if (change.at(0).toModelIndex().row() <= row && row <= change.at(1).toModelIndex().row()) return true;
    }
    return false;
  };
  EXPECT_TRUE(covers_row(1));
  QTRY_COMPARE(ManagerCount(), 2);
  // Written soon after, not only when the box closes.
  QTRY_COMPARE_WITH_TIMEOUT(StatusOnDisk(1), kStatusRead, 10000);
  EXPECT_EQ(StatusOnDisk(0), kStatusUnread);
}

TEST_F(ReadingTest, WithPreReadTheMailTheCaretRestsOnBecomesRead) {
  inbox_->SetCaret(0);
  QTRY_VERIFY(PreviewOf(*inbox_).contains(U("こんにちは")));
  EXPECT_EQ(Status(0), kStatusUnread);  // PreRead is off by default

  inbox_->box().UpdateUnreadMark();
  QTRY_COMPARE(ManagerCount(), 3);
  ASSERT_TRUE(program_.session->profile().WriteInt("View", "PreRead", 1));
  inbox_->SetCaret(2);
  QTRY_COMPARE(Status(2), kStatusRead);
  QTRY_COMPARE(ManagerCount(), 2);
  EXPECT_EQ(Status(0), kStatusUnread);
  EXPECT_EQ(Status(1), kStatusUnread);
}

TEST_F(ReadingTest, ThePreviewShowsAnOutgoingMailFromItsFirstLine) {
  const std::string send_file = program_.core.settings().send_file;
  MailboxView* send = program_.window->OpenMailbox(send_file);
  ASSERT_NE(send, nullptr);
  auto mail = std::make_unique<CMail>();
  mail->to = "yamada@example.jp";
  mail->status = kStatusUnsent;
  send->box().Add(std::move(mail));
  ASSERT_TRUE(send->box().StoreTextOfLast(ToSjis(U("山田様\r\n\r\nお世話になります。"))));
  send->SetCaret(0);
  QTRY_COMPARE(PreviewOf(*send), U("山田様\n\nお世話になります。"));
}

// The text of a PDF file as poppler's pdftotext reads it.
QString PdfText(const QString& path) {
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
  if (!pdftotext.waitForFinished(60'000) || pdftotext.exitCode() != 0) {
    return QStringLiteral("(pdftotext failed: ") + QString::fromUtf8(pdftotext.readAllStandardError()) + ")";
  }
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST_F(ReadingTest, SelectedMailsPrintToAPdfWithTheirSubjectsAndPageNumbers) {
  // A fourth mail whose one line is far wider than a page.
  auto wide = std::make_unique<CMail>();
  wide->subject = ToSjis(U("ひらがなの行"));
  wide->status = kStatusRead;
  inbox_->box().Add(std::move(wide));
  const QString line = QString(300, QChar(0x3042));  // あ
  ASSERT_TRUE(inbox_->box().StoreTextOfLast(ToSjis(U("Subject: ひらがなの行\r\n\r\n") + line)));

  program_.window->mdi().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(inbox_->parentWidget()));
  Select({0, 3});
  program_.window->RefreshCommandStates();
  EXPECT_TRUE(program_.window->ActionFor(cmd::kPrint)->isEnabled());
  EXPECT_TRUE(program_.window->ActionFor(cmd::kPrintPreview)->isEnabled());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = QString::fromStdString(data_.File("mails.pdf"));
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(program_.window->PrintChosenMails(printer));

  // The PDF names some kanji by their radicals' code points (山 as U+2F2D):
  // compatibility normalisation gives the kanji back.
  const QString text = PdfText(pdf).normalized(QString::NormalizationForm_KC);
  // The page header, the header block and the body of each mail as a read
  // window shows them; the page numbers count the whole print.
  EXPECT_GE(text.count(U("会議案内")), 2) << text.toStdString();  // page header and Subject line
  EXPECT_TRUE(text.contains(U("From: 山田 <yamada@example.jp>"))) << text.toStdString();
  EXPECT_TRUE(text.contains(U("こんにちは")));
  EXPECT_TRUE(text.contains(U("line four")));
  EXPECT_TRUE(text.contains(U("1 / 2")));
  EXPECT_TRUE(text.contains(U("2 / 2")));
  EXPECT_FALSE(text.contains(U("See the file.")));  // not selected
  // The wide line wraps onto the page whole.
  EXPECT_EQ(text.count(QChar(0x3042)), 300);
}

}  // namespace
}  // namespace lp
