#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <algorithm>

#include "app/application_core.h"
#include "app/command_ids.h"
#include "config/account_table.h"
#include "platform/event_loop.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/mail_status.h"
#include "store/mail_transfer.h"
#include "platform/file_system.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "tests/ui/message_box_answerer.h"
#include "ui/desktop_session.h"
#include "ui/dialog_user_interface.h"
#include "ui/mail_list_model.h"
#include "ui/mailbox_view.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/compose_view.h"
#include "ui/read_view.h"
#include "ui/sjis_qt.h"

// A receive and a send started from the main window's commands, end to end
// against Dovecot and Postfix, through the same dialogs a user sees.

namespace lp {
namespace {

using namespace std::chrono_literals;
using testing::DovecotServer;
using testing::MessageBoxAnswerer;
using testing::SmtpServer;
using testing::TempDirectory;
using testing::WriteFileBytes;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

std::string Mail(int n, std::size_t body_lines = 1) {
  std::string mail = "From: sato@example.jp\r\nTo: alice@example.jp\r\nSubject: mail " + std::to_string(n) +
                     "\r\nDate: Wed, 09 Dec 2026 10:00:0" + std::to_string(n % 10) +
                     " +0900\r\nMessage-Id: <desktop-" + std::to_string(n) + "@example.jp>\r\n\r\n";
  for (std::size_t i = 0; i < body_lines; ++i) mail += "body line of a longer mail, number " + std::to_string(i) + "\r\n";
  return mail;
}

ProgressWindow* ShownProgressWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* progress = qobject_cast<ProgressWindow*>(widget); progress != nullptr && progress->isVisible()) {
      return progress;
    }
  }
  return nullptr;
}

class DesktopRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pop_.running()) << pop_.Log();
    pop_.AddUser("alice", "secret");
  }

  // The account, saved before the program starts as a user's settings are.
  void SaveAccount(int smtp_port, bool confirm_each = false) {
    CSetMenuArray accounts;
    CSetMenu& alice = accounts.At(0);
    alice.name = "alice";
    alice.adr = "alice@example.jp";
    alice.pop = pop_.host();
    alice.pop_port = static_cast<std::uint16_t>(pop_.pop3_port());
    alice.user_id = "alice";
    alice.pass = "secret";
    alice.not_del = false;
    alice.mail_kakunin = confirm_each;
    alice.smtp = "127.0.0.1";
    alice.smtp_port = static_cast<std::uint16_t>(smtp_port);
    Profile profile(FromNativePath(data_.File("lpost.conf")));
    ASSERT_TRUE(accounts.Save(profile));
  }

  void StartProgram() {
    program_.Start(data_.path(), ui_);
    ASSERT_NE(program_.window, nullptr);
    ui_.SetParent(window_.get());
    ui_.SetCancelAction([this] { window_->PostCommand(cmd::kCancelRun); });
  }

  // Runs a command of the window and waits until the run it started ended.
  void RunCommand(int command, const std::function<void()>& while_running = {}) {
    ASSERT_TRUE(window_->router().Run(command));
    ASSERT_TRUE(RunEventLoopUntil(
        [&] {
          if (while_running) while_running();
          return !session_->Busy();
        },
        120s));
  }

  MailListModel& ListOf(const std::string& sjis_box) {
    MailboxView* view = window_->OpenMailbox(sjis_box);
    EXPECT_NE(view, nullptr);
    return view->model();
  }
  static QStringList Subjects(MailListModel& model) {
    QStringList subjects;
    for (int row = 0; row < model.rowCount(); ++row) {
      subjects.append(model.index(row, MailListModel::SubjectColumn).data().toString());
    }
    return subjects;
  }

  DovecotServer pop_;
  TempDirectory data_{true};  // the program enters it: left again at the end
  MessageBoxAnswerer answers_;
  DialogUserInterface ui_;
  testing::DesktopProgram program_;
  ApplicationCore& core_ = program_.core;
  std::unique_ptr<DesktopSession>& session_ = program_.session;
  std::unique_ptr<MainWindow>& window_ = program_.window;
};

TEST_F(DesktopRunTest, ReceiveFromTheWindowFillsTheListWhileTheWindowStaysUsable) {
  pop_.AddMessages("alice", {Mail(1), Mail(2)});
  SaveAccount(25);
  StartProgram();
  MailListModel& inbox = ListOf(core_.settings().default_file);
  ASSERT_EQ(inbox.rowCount(), 0);

  QSignalSpy inserted(&inbox, &QAbstractItemModel::rowsInserted);
  QSignalSpy reset(&inbox, &QAbstractItemModel::modelReset);
  bool saw_progress = false;
  bool blocked = false;
  RunCommand(cmd::kReceive, [&] {
    ProgressWindow* progress = ShownProgressWindow();
    if (progress == nullptr) return;
    saw_progress = true;
    // Modeless: nothing else is blocked while it shows.
    blocked = blocked || progress->isModal() || QApplication::activeModalWidget() != nullptr;
    EXPECT_TRUE(window_->router().IsEnabled(cmd::kMailManager));
    EXPECT_FALSE(window_->router().IsEnabled(cmd::kReceive));
  });

  EXPECT_TRUE(saw_progress);
  EXPECT_FALSE(blocked);
  EXPECT_EQ(Subjects(inbox), QStringList({U("mail 1"), U("mail 2")}));
  // The new rows arrive as one insertion: the list keeps its place.
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(reset.count(), 0);
  EXPECT_EQ(inbox.index(0, 0).data(MailListModel::StatusRole).toInt(), kStatusUnread);
  EXPECT_EQ(window_->StatusPaneText(0), U("新しいメールが 2通 到着しました")) << answers_.texts.join(u'|').toStdString();
  EXPECT_TRUE(pop_.Messages("alice").empty());
  EXPECT_FALSE(window_->StatusPaneText(2).isEmpty());  // the last receive's time
}

TEST_F(DesktopRunTest, RoutineReportsGoToTheStatusBarUnlessAskedForAndErrorsShowTheErrorIcon) {
  SaveAccount(25);
  StartProgram();
  RunCommand(cmd::kReceive);
  EXPECT_TRUE(answers_.texts.isEmpty()) << answers_.texts.join(U("|")).toStdString();
  EXPECT_EQ(window_->StatusPaneText(0), U("新しいメールはありません"));

  ASSERT_TRUE(core_.profile().WriteInt("View", "ReportBox", 1));
  RunCommand(cmd::kReceive);
  ASSERT_EQ(answers_.texts, QStringList{U("新しいメールはありません")});
  EXPECT_EQ(answers_.icons.back(), QMessageBox::Information);

  session_->accounts().Current().pass = "wrong";
  RunCommand(cmd::kReceive);
  ASSERT_GT(answers_.texts.size(), 1);
  // The failure shows the error icon; the run's routine report, still asked
  // for as a box, keeps the information icon.
  bool saw_failure = false;
  for (qsizetype i = 1; i < answers_.texts.size(); ++i) {
    if (answers_.texts[i] == U("新しいメールはありません")) continue;
    saw_failure = true;
    EXPECT_EQ(answers_.icons[i], QMessageBox::Critical) << answers_.texts[i].toStdString();
  }
  EXPECT_TRUE(saw_failure);
}

TEST_F(DesktopRunTest, DeleteAllOnTheServerAsksAndEmptiesTheMaildrop) {
  pop_.AddMessages("alice", {Mail(1), Mail(2)});
  SaveAccount(25);
  StartProgram();
  answers_.Queue(QMessageBox::No);
  ASSERT_TRUE(window_->router().Run(cmd::kDeleteAllOnServer));
  EXPECT_EQ(pop_.Messages("alice").size(), 2u);

  answers_.Queue(QMessageBox::Yes);
  RunCommand(cmd::kDeleteAllOnServer);
  EXPECT_TRUE(pop_.Messages("alice").empty());
  EXPECT_EQ(ListOf(core_.settings().default_file).rowCount(), 0);
}

TEST_F(DesktopRunTest, TheReceiveBoxStaysInUseWhileItsSpoolIsAnalysedOnAWorker) {
  SaveAccount(25);
  StartProgram();
  MailListModel& inbox = ListOf(core_.settings().default_file);
  CLPOSTDoc& box = inbox.box();
  const std::string index_path = box.PathName();
  WriteFileBytes(data_.File("inbox.log"), "+OK\r\n" + Mail(1) + ".\r\n+OK\r\n" + Mail(2) + ".\r\n");
  WriteFileBytes(data_.File("other.lp"), "");
  CLPOSTDoc other(core_.profile(), ui_, *session_);
  ASSERT_TRUE(other.Open(FromNativePath(data_.File("other.lp"))).ok);

  ASSERT_TRUE(session_->LanReceive());
  // The analysis runs on a worker; until its result is taken over here the
  // box is readable as it was, and nothing else may write its text file.
  EXPECT_TRUE(box.TextFileReserved());
  EXPECT_EQ(inbox.rowCount(), 0);
  const qsizetype messages_before = answers_.texts.size();
  other.Add(std::make_unique<CMail>());
  const CMail* records[] = {other.RecordAt(0)};
  TransferOptions options;
  options.registry = &session_->registry();
  EXPECT_EQ(CopyRecordsTo(other, records, index_path, options), 0u);
  EXPECT_GT(answers_.texts.size(), messages_before);

  ASSERT_TRUE(RunEventLoopUntil([&] { return !session_->Busy(); }, 60s));
  EXPECT_FALSE(box.TextFileReserved());
  EXPECT_EQ(Subjects(inbox), QStringList({U("mail 1"), U("mail 2")}));
  EXPECT_FALSE(PathExists(FromNativePath(data_.File("inbox.log"))));
  CLPOSTDoc saved(core_.profile(), ui_, *session_);
  ASSERT_TRUE(saved.Open(index_path).ok);
  EXPECT_EQ(saved.Count(), 2);
}

TEST_F(DesktopRunTest, CancelEndsTheReceiveAndTheNextOneBringsTheRestOnce) {
  constexpr int kMails = 40;
  std::vector<std::string> mails;
  for (int i = 0; i < kMails; ++i) mails.push_back(Mail(i, 2000));
  pop_.AddMessages("alice", mails);
  SaveAccount(25);
  StartProgram();

  bool cancelled = false;
  RunCommand(cmd::kReceive, [&] {
    ProgressWindow* progress = ShownProgressWindow();
    if (cancelled || progress == nullptr) return;
    cancelled = true;
    progress->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
  });
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(ShownProgressWindow(), nullptr);
  MailListModel& inbox = ListOf(core_.settings().default_file);
  const int first = inbox.rowCount();
  EXPECT_LT(first, kMails);

  RunCommand(cmd::kReceive);
  ASSERT_EQ(inbox.rowCount(), kMails);
  QStringList subjects = Subjects(inbox);
  subjects.removeDuplicates();
  EXPECT_EQ(subjects.size(), kMails);
  EXPECT_TRUE(pop_.Messages("alice").empty());
}

// Confirming each mail asks in a window of its own that blocks nothing; the
// session waits for the answer.
TEST_F(DesktopRunTest, EachMailIsConfirmedWithoutBlockingTheWindow) {
  pop_.AddMessages("alice", {Mail(1), Mail(2)});
  SaveAccount(25, true);
  StartProgram();
  // The first mail is skipped, the second received.
  const char* answers[] = {"confirm3", "confirm0"};
  std::size_t answered = 0;
  bool blocked = false;
  RunCommand(cmd::kReceive, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(widget);
      if (dialog == nullptr || dialog->objectName() != QLatin1String("mailConfirmDialog") || !dialog->isVisible() ||
          answered >= std::size(answers)) {
        continue;
      }
      blocked = blocked || QApplication::activeModalWidget() != nullptr;
      dialog->findChild<QPushButton*>(QLatin1String(answers[answered++]))->click();
    }
  });
  EXPECT_EQ(answered, 2u);
  EXPECT_FALSE(blocked);
  EXPECT_EQ(Subjects(ListOf(core_.settings().default_file)), QStringList({U("mail 2")}));
}

TEST_F(DesktopRunTest, SendFromTheWindowDeliversAndMarksTheMailSent) {
  SmtpServer smtp;
  if (!smtp.skip_reason().empty()) GTEST_SKIP() << smtp.skip_reason();
  ASSERT_TRUE(smtp.running()) << smtp.Log();
  SaveAccount(smtp.smtp_port());
  // A box file holding one unsent mail, written before the program opens it.
  const auto queue_unsent = [this](const char* box_utf8, const char* body) {
    Profile profile(FromNativePath(data_.File("lpost.conf")));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc box(profile, ui, commands);
    WriteFileBytes(data_.File(box_utf8), "");
    ASSERT_TRUE(box.Open(FromNativePath(data_.File(box_utf8))).ok);
    auto record = std::make_unique<CMail>();
    record->to = "hanako@example.com";
    record->from = "alice@example.jp";
    record->subject = "desktop send";
    record->status = kStatusUnsent;
    box.Add(std::move(record));
    ASSERT_TRUE(box.StoreTextOfLast(body));
    ASSERT_TRUE(box.Save().ok);
  };
  queue_unsent("送信.lp", "sent from the window\r\n");
  queue_unsent("保留.lp", "sent from another box\r\n");
  StartProgram();

  RunCommand(cmd::kSend);

  MailListModel& outbox = ListOf(core_.settings().send_file);
  ASSERT_EQ(outbox.rowCount(), 1);
  EXPECT_EQ(outbox.index(0, 0).data(MailListModel::StatusRole).toInt(), kStatusSent);
  std::vector<std::string> delivered = smtp.DeliveredMessages();
  ASSERT_EQ(delivered.size(), 1u) << smtp.Log();
  EXPECT_NE(delivered[0].find("sent from the window"), std::string::npos);
  EXPECT_FALSE(window_->StatusPaneText(3).isEmpty());  // the last send's time

  // "このBOXで送信" sends the unsent mail of the active box.
  MailListModel& other = ListOf(FromNativePath(data_.File("保留.lp")));
  RunCommand(cmd::kSendThisBox);
  EXPECT_EQ(other.index(0, 0).data(MailListModel::StatusRole).toInt(), kStatusSent);
  delivered = smtp.DeliveredMessages();
  ASSERT_EQ(delivered.size(), 2u) << smtp.Log();
  EXPECT_TRUE(std::any_of(delivered.begin(), delivered.end(), [](const std::string& message) {
    return message.find("sent from another box") != std::string::npos;
  }));
}

class OpenedFiles final : public FileOpener {
 public:
  explicit OpenedFiles(std::vector<std::string>& opened) : opened_(opened) {}
  bool OpenWithDefaultProgram(std::string_view sjis_path) override {
    opened_.emplace_back(sjis_path);
    return true;
  }

 private:
  std::vector<std::string>& opened_;
};

// Composed in the window with a Japanese subject and a Japanese-named
// attachment, sent through Postfix, fetched back from Dovecot and read in
// a read window, whose attachment opens with the very bytes sent.
TEST_F(DesktopRunTest, ComposedMailComesBackWholeIntoAReadWindow) {
  SmtpServer smtp;
  if (!smtp.skip_reason().empty()) GTEST_SKIP() << smtp.skip_reason();
  ASSERT_TRUE(smtp.running()) << smtp.Log();
  SaveAccount(smtp.smtp_port());
  StartProgram();
  std::string bytes("binary \x00\x01\x02\xff\xfe and text\r\n", 23);
  bytes += ToSjis(U("日本語の内容\r\n"));
  for (int i = 0; i < 2000; ++i) bytes += static_cast<char>(i * 7);
  const std::string attachment = FromNativePath(data_.File(ToNativePath(ToSjis(U("会議資料.bin")))));
  WriteFileBytes(ToNativePath(attachment), bytes);

  ASSERT_TRUE(window_->router().Run(cmd::kNewMail));
  ComposeView* compose = window_->ActiveComposeView();
  ASSERT_NE(compose, nullptr);
  compose->field(ComposeField::To).setText(QStringLiteral("alice@example.jp"));
  compose->field(ComposeField::Subject).setText(U("来週の会議について"));
  compose->body().setPlainText(U("資料を添付します。\nよろしくお願いします。"));
  compose->Attach(attachment);
  ASSERT_TRUE(compose->Save(ComposeSave::Send));
  RunCommand(cmd::kSend);
  const std::vector<std::string> delivered = smtp.DeliveredMessages();
  ASSERT_EQ(delivered.size(), 1u) << smtp.Log();

  pop_.AddMessages("alice", delivered);
  RunCommand(cmd::kReceive);
  MailboxView* inbox = window_->OpenMailbox(core_.settings().default_file);
  ASSERT_NE(inbox, nullptr);
  ASSERT_EQ(inbox->box().Count(), 1);
  std::vector<std::string> opened;
  window_->SetFileOpener(std::make_unique<OpenedFiles>(opened));
  inbox->SetCaret(0);
  ASSERT_TRUE(window_->router().Run(cmd::kOpenMail));
  ReadView* read = window_->ActiveReadView();
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->title().startsWith(U("来週の会議について by ")));
  EXPECT_TRUE(read->editor().toPlainText().contains(U("資料を添付します。\nよろしくお願いします。")));
  ASSERT_EQ(read->attachments().size(), 1u);
  EXPECT_NE(FromSjis(FileNameOf(read->attachments()[0])).indexOf(U("会議資料")), -1);
  ASSERT_TRUE(window_->router().Run(cmd::kOpenAttachment));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(testing::ReadFileBytes(ToNativePath(opened[0])), bytes);
}

}  // namespace
}  // namespace lp
