#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <memory>

#include "app/command_ids.h"
#include "app/read_view_text.h"
#include "codec/date_header.h"
#include "codec/japanese_text.h"
#include "codec/spool_analyser.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/open_box_registry.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "platform/event_loop.h"
#include "ui/mail_list_model.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/desktop_file_opener.h"
#include "ui/read_view.h"
#include "ui/sjis_qt.h"

// The read window over a real box: what it shows of received and outgoing
// mail, its attachments through the file-opener seam, "save all", the
// re-decoding and quoted copy of a selection, and its links.

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string S(const char* utf8) { return ToSjis(U(utf8)); }

class RecordingOpener final : public FileOpener {
 public:
  bool OpenWithDefaultProgram(std::string_view sjis_path) override {
    opened.emplace_back(sjis_path);
    return true;
  }
  std::vector<std::string> opened;
};

class ReadViewTest : public ::testing::Test {
 protected:
  // An outgoing mail (status 3) with these fields and text; its index.
  int AddOutgoing(const char* cc, const char* bcc, const std::string& attachments = {}) {
    auto mail = std::make_unique<CMail>();
    mail->to = S("山田 <yamada@example.jp>");
    mail->from = "alice@example.jp";
    mail->subject = S("会議の件");
    mail->cc = cc;
    mail->bcc = bcc;
    mail->attachments = attachments;
    mail->status = kStatusUnsent;
    mail->date = 1796000000;
    box_.Add(std::move(mail));
    EXPECT_TRUE(box_.StoreTextOfLast(S("本文の一行目\r\n二行目\r\n")));
    return box_.Count() - 1;
  }

  std::unique_ptr<ReadView> View(int index) {
    ReadViewServices services;
    services.opener = &opener_;
    services.ui = &ui_;
    services.choose_attachment = [this](const QStringList& names) {
      offered_ = names;
      return choice_;
    };
    services.choose_folder = [this] { return folder_; };
    services.open_address = [this](const QString& address) { addresses_.push_back(address); };
    auto view = std::make_unique<ReadView>(handle_, index, profile_, std::move(services));
    view->resize(640, 480);
    view->show();
    return view;
  }

  // A file in the attachment folder with these bytes; its Shift_JIS path.
  std::string Attachment(const char* utf8_name, const std::string& bytes) {
    (void)MakeDirectories("attach");
    const std::string path = AbsolutePath(JoinPath("attach", S(utf8_name)));
    WriteFileBytes(ToNativePath(path), bytes);
    return path;
  }

  static QStringList Lines(ReadView& view) { return view.editor().toPlainText().split(QLatin1Char('\n')); }

  TempDirectory dir_{true};
  bool box_file_ = (WriteFileBytes("box.lp", ""), true);
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  OpenBoxRegistry registry_{profile_, ui_, commands_};
  BoxHandle handle_ = registry_.Acquire("box.lp").box;
  CLPOSTDoc& box_ = *handle_;
  RecordingOpener opener_;
  std::optional<int> choice_;
  QStringList offered_;
  QString folder_;
  std::vector<QString> addresses_;
};

TEST_F(ReadViewTest, OutgoingMailShowsItsHeaderBlockBeforeTheText) {
  auto plain = View(AddOutgoing("", ""));
  const QStringList lines = Lines(*plain);
  ASSERT_GE(lines.size(), 6);
  EXPECT_EQ(lines[0], U("To: 山田 <yamada@example.jp>"));
  EXPECT_EQ(lines[1], U("From: alice@example.jp"));
  EXPECT_EQ(lines[2], U("Subject: 会議の件"));
  EXPECT_EQ(lines[3], FromSjis("Date: " + FormatReadViewDate(1796000000)));
  EXPECT_EQ(lines[4], QString());
  EXPECT_TRUE(plain->editor().toPlainText().contains(U("本文の一行目\n二行目")));
  EXPECT_EQ(plain->title(), U("会議の件 by alice@example.jp"));
  EXPECT_TRUE(plain->editor().isReadOnly());
  EXPECT_EQ(plain->editor().textCursor().position(), 0);

  auto copied = View(AddOutgoing("cc@example.jp", "bcc@example.jp"));
  const QStringList with_copies = Lines(*copied);
  EXPECT_EQ(with_copies[3], U("Cc: cc@example.jp"));
  EXPECT_EQ(with_copies[4], U("Bcc: bcc@example.jp"));
  EXPECT_TRUE(with_copies[5].startsWith(U("Date: ")));
}

TEST_F(ReadViewTest, HtmlMailShowsTextAndItsSourceOnRequest) {
  const auto add_received = [this](const char* utf8) {
    auto mail = std::make_unique<CMail>();
    mail->status = kStatusUnread;
    box_.Add(std::move(mail));
    EXPECT_TRUE(box_.StoreTextOfLast(S(utf8)));
    return box_.Count() - 1;
  };
  const int alternative = add_received(
      "+OK\r\nSubject: alt\r\nContent-Type: multipart/alternative; boundary=b\r\n\r\n"
      "テキスト版\r\n\r\n<html><body><p>HTML版</p></body></html>\r\n");
  const int html_only = add_received(
      "+OK\r\nSubject: html\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
      "<html><head><title>t</title></head><body><p>一段落</p><p>二段落 <a href=\"https://e.jp/\">リンク</a></p>"
      "</body></html>");

  auto shown = View(alternative);
  EXPECT_EQ(Lines(*shown).mid(2), (QStringList{U("テキスト版")}));
  auto* source = shown->findChild<QAction*>(QStringLiteral("sourceAction"));
  ASSERT_NE(source, nullptr);
  ASSERT_TRUE(source->isEnabled());
  source->trigger();
  EXPECT_TRUE(shown->ShowingSource());
  EXPECT_TRUE(shown->editor().toPlainText().contains(U("<html><body><p>HTML版</p></body></html>")));
  source->trigger();
  EXPECT_FALSE(shown->editor().toPlainText().contains(U("<html>")));

  auto converted = View(html_only);
  EXPECT_EQ(Lines(*converted).mid(2), (QStringList{U("一段落"), QString(), U("二段落 リンク <https://e.jp/>")}));
  // The browser view still gets the HTML.
  EXPECT_NE(converted->BrowserText().find(S("<p>一段落</p>")), std::string::npos);

  auto outgoing = View(AddOutgoing("", ""));
  EXPECT_FALSE(outgoing->findChild<QAction*>(QStringLiteral("sourceAction"))->isEnabled());
}

TEST_F(ReadViewTest, ReceivedMailShowsItsTextAndOpensItsAttachmentByteForByte) {
  WriteFileBytes("inbox.log", ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/ui/receive_three_mails.log"));
  ASSERT_EQ(AnalyseSpool(box_, "inbox.log"), 3);
  auto first = View(0);
  EXPECT_EQ(first->title(), U("会議案内 by 山田 <yamada@example.jp>"));
  EXPECT_FALSE(first->HasAttachments());
  EXPECT_EQ(first->findChild<QAction*>(QStringLiteral("openAttachmentAction"))->isEnabled(), false);

  auto report = View(1);
  ASSERT_EQ(report->attachments().size(), 1u);
  report->OpenAttachment();
  ASSERT_EQ(opener_.opened.size(), 1u);
  EXPECT_EQ(FileNameOf(opener_.opened[0]), "report.csv");
  // One attachment opens without a choice.
  EXPECT_TRUE(offered_.isEmpty());
  EXPECT_FALSE(ReadFileBytes(ToNativePath(opener_.opened[0])).empty());
}

TEST_F(ReadViewTest, SeveralAttachmentsOpenTheChosenOneAndSaveAllNeverReplaces) {
  const std::string first = Attachment("見積書.pdf", "first bytes");
  const std::string second = Attachment("note", "second bytes");
  auto view = View(AddOutgoing("", "", first + "\n" + second));
  ASSERT_EQ(view->attachments().size(), 2u);

  choice_ = std::nullopt;  // cancelled
  view->OpenAttachment();
  EXPECT_EQ(offered_.size(), 2);
  EXPECT_TRUE(opener_.opened.empty());
  choice_ = 1;
  view->OpenAttachment();
  ASSERT_EQ(opener_.opened.size(), 1u);
  EXPECT_EQ(opener_.opened[0], second);

  ASSERT_TRUE(MakeDirectory("saved"));
  WriteFileBytes("saved/note", "already here");
  folder_ = QString::fromStdString(ToNativePath(AbsolutePath("saved")));
  view->SaveAllAttachments();
  EXPECT_EQ(ReadFileBytes(ToNativePath(JoinPath("saved", S("見積書.pdf")))), "first bytes");
  EXPECT_EQ(ReadFileBytes("saved/note"), "already here");
  EXPECT_EQ(ReadFileBytes("saved/note (2)"), "second bytes");
  ASSERT_EQ(ui_.messages.size(), 1u);  // only the report of what was saved
  ui_.messages.clear();

  // A vanished attachment is named; the others are still saved.
  ASSERT_TRUE(RemoveFile(second));
  ASSERT_TRUE(MakeDirectory("again"));
  folder_ = QString::fromStdString(ToNativePath(AbsolutePath("again")));
  view->SaveAllAttachments();
  EXPECT_EQ(ReadFileBytes(ToNativePath(JoinPath("again", S("見積書.pdf")))), "first bytes");
  ASSERT_EQ(ui_.messages.size(), 2u);  // the failure, then the report of the rest
  EXPECT_NE(ui_.messages[0].find("note"), std::string::npos);

  // Cancelling the folder choice writes nothing.
  folder_.clear();
  view->SaveAllAttachments();
  EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(ReadViewTest, ALongTextShowsItsBeginningFirstAndTheRestFollows) {
  std::string body;
  int lines = 0;
  while (body.size() < 3 * static_cast<std::size_t>(ReadView::kFirstPartChars)) {
    body += S("長い本文の行 ") + std::to_string(lines++) + "\r\n";
  }
  // A received mail: its stored text is the header, a blank line and the body.
  const std::string text = "Subject: long\r\n\r\n" + body;
  auto mail = std::make_unique<CMail>();
  mail->subject = "long";
  box_.Add(std::move(mail));
  ASSERT_TRUE(box_.StoreTextOfLast(text));
  auto view = View(box_.Count() - 1);
  EXPECT_FALSE(view->FullyLoaded());
  EXPECT_TRUE(view->editor().toPlainText().contains(U("長い本文の行 0\n")));
  EXPECT_LT(view->editor().blockCount(), lines);
  // The caret stays where the user put it while the rest arrives.
  const QString shown = view->editor().toPlainText();
  const int body_line = static_cast<int>(shown.left(shown.indexOf(U("長い本文の行 0"))).count(QLatin1Char('\n'))) + 1;
  view->editor().MoveCaret(body_line + 1, 3);
  ASSERT_TRUE(RunEventLoopUntil([&] { return view->FullyLoaded(); }, std::chrono::seconds(20)));
  EXPECT_EQ(view->editor().CaretLine(), body_line + 1);
  EXPECT_EQ(view->editor().CaretColumn(), 3);
  QString expected = FromSjis(body);
  expected.remove(QLatin1Char('\r'));
  EXPECT_TRUE(view->editor().toPlainText().endsWith(expected));

  // A command on the text takes the whole text first.
  auto copied = View(box_.Count() - 1);
  copied->editor().selectAll();
  copied->CopyQuoted();
  EXPECT_TRUE(copied->FullyLoaded());
}

TEST_F(ReadViewTest, RedecodeTurnsRawJisLinesIntoJapanese) {
  auto view = View(AddOutgoing("", ""));
  std::string jis_line;
  (void)SjisToJis(S("日本語の行"), jis_line);
  view->editor().setPlainText(FromSjis(jis_line + "\r\nplain"));
  view->editor().selectAll();
  view->RedecodeSelection();
  EXPECT_EQ(view->editor().toPlainText(), U("日本語の行\nplain\n"));
}

TEST_F(ReadViewTest, QuotedCopyPutsTheMarkBeforeEverySelectedLine) {
  ASSERT_TRUE(profile_.WriteString("System", "ReplyMark", "| "));
  auto view = View(AddOutgoing("", ""));
  view->editor().setPlainText(U("一行目\n\n三行目"));
  view->editor().selectAll();
  view->CopyQuoted();
  EXPECT_EQ(QApplication::clipboard()->text(), U("| 一行目\n| \n| 三行目"));
}

TEST_F(ReadViewTest, MailtoLinkIsHandedToTheMainWindowAndWebAddressesOpen) {
  auto view = View(AddOutgoing("", ""));
  view->editor().setPlainText(U("宛先 mailto:taro@example.jp まで"));
  QSignalSpy commands(view.get(), &ReadView::commandRequested);
  QTextCursor cursor(view->editor().document());
  cursor.setPosition(8);
  QTest::mouseDClick(view->editor().viewport(), Qt::LeftButton, {}, view->editor().cursorRect(cursor).center());
  ASSERT_EQ(commands.count(), 1);
  EXPECT_EQ(commands.at(0).at(0).toInt(), cmd::kProcessMailto);
  EXPECT_EQ(profile_.GetString("System", "mailto", ""), "mailto:taro@example.jp");

  // Enter closes the window (through the main window).
  QTest::keyClick(&view->editor(), Qt::Key_Return);
  ASSERT_EQ(commands.count(), 2);
  EXPECT_EQ(commands.at(1).at(0).toInt(), cmd::kCloseMail);

  OpenMailLink(U("https://example.jp/"), profile_, [](int) {}, [this](const QString& a) { addresses_.push_back(a); });
  ASSERT_EQ(addresses_.size(), 1u);
  EXPECT_EQ(addresses_[0], U("https://example.jp/"));
}

// The main window opens a read window from the list (double-click or
// Enter, and "文書を開く"), routes the attachment command to it and closes
// it on Enter.
TEST(ReadWindowInMainWindow, OpensFromTheListAndClosesOnEnter) {
  using namespace std::chrono_literals;
  TempDirectory data{true};  // the program enters it: left again at the end
  RecordingUserInterface ui;
  testing::DesktopProgram program;
  program.Start(data.path(), ui);
  MainWindow& window = *program.window;
  auto opener = std::make_unique<RecordingOpener>();
  RecordingOpener& opened = *opener;
  window.SetFileOpener(std::move(opener));
  MailboxView* view = window.OpenMailbox(program.core.settings().default_file);
  ASSERT_NE(view, nullptr);
  WriteFileBytes(data.File("inbox.log"), ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/ui/receive_three_mails.log"));
  ASSERT_EQ(AnalyseSpool(view->box(), FromNativePath(data.File("inbox.log"))), 3);

  view->SetCaret(1);
  ASSERT_TRUE(window.router().Run(cmd::kOpenMail));
  ReadView* read = window.ActiveReadView();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->title(), U("report by sato@example.jp"));
  EXPECT_EQ(window.CurrentState().active, WindowKind::Read);
  ASSERT_TRUE(window.router().Run(cmd::kOpenAttachment));
  ASSERT_EQ(opened.opened.size(), 1u);
  EXPECT_EQ(FileNameOf(opened.opened[0]), "report.csv");

  const QImage image = window.grab().toImage();
  EXPECT_TRUE(image.save(QString::fromStdString(data.File("read_window.png"))));
  if (const char* keep = std::getenv("LP_SCREENSHOT_DIR")) (void)image.save(QString::fromUtf8(keep) + "/read_window.png");

  const int windows = static_cast<int>(window.mdi().subWindowList().size());
  QTest::keyClick(&read->editor(), Qt::Key_Return);
  ASSERT_TRUE(RunEventLoopUntil([&] { return static_cast<int>(window.mdi().subWindowList().size()) == windows - 1; }, 5s));

  emit view->list().activated(view->ListIndexOfRow(0));
  ASSERT_NE(window.ActiveReadView(), nullptr);
  EXPECT_EQ(window.ActiveReadView()->title(), U("会議案内 by 山田 <yamada@example.jp>"));
}

TEST(DesktopFileOpener, MissingFilesAndAddresses) {
  TempDirectory dir(true);
  RecordingUserInterface ui;
  std::vector<QUrl> launched;
  DesktopFileOpener opener(ui, [&](const QUrl& url) {
    launched.push_back(url);
    return true;
  });
  // A missing file with an extension is reported, one without ends silently.
  EXPECT_FALSE(opener.OpenWithDefaultProgram("gone.txt"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(FromSjis(ui.messages[0]), U("ファイルが見つかりませんでした"));
  EXPECT_FALSE(opener.OpenWithDefaultProgram("gone"));
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(launched.empty());

  const std::string name = S("資料.txt");
  WriteFileBytes(ToNativePath(name), "x");
  EXPECT_TRUE(opener.OpenWithDefaultProgram(AbsolutePath(name)));
  EXPECT_TRUE(opener.OpenWithDefaultProgram("https://example.jp/a?b=1"));
  ASSERT_EQ(launched.size(), 2u);
  EXPECT_TRUE(launched[0].isLocalFile());
  EXPECT_EQ(launched[0].fileName(), U("資料.txt"));
  EXPECT_EQ(launched[1], QUrl(U("https://example.jp/a?b=1")));
}

TEST(ReadViewText, AttachmentListsAndRedecodedLines) {
  EXPECT_EQ(AttachmentPaths("/a/x.txt\n/a/y.txt"), (std::vector<std::string>{"/a/x.txt", "/a/y.txt"}));
  EXPECT_EQ(AttachmentPaths("/a/x.txt\r\n\n"), (std::vector<std::string>{"/a/x.txt"}));
  EXPECT_TRUE(AttachmentPaths("").empty());
  EXPECT_EQ(RedecodeLines("a\r\nb"), "a\r\nb\r\n");
  EXPECT_EQ(RedecodeLines(""), "");
}

}  // namespace
}  // namespace lp
