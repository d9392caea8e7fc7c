#include <gtest/gtest.h>

#include <QDir>
#include <QFileSystemWatcher>
#include <QLocalSocket>
#include <QProcess>
#include <csignal>
#include <memory>

#include "config/account_table.h"
#include "platform/code_page.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"
#include "platform/event_loop.h"
#include "platform/instance_channel.h"
#include "platform/file_system.h"
#include "tests/support/cli_runner.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_directory.h"

// One desktop application per data directory, with real processes: a second
// start hands its switch over and ends, the command line hands its runs
// over, and a socket left by a killed instance does not keep the next one
// from starting.

namespace lp {
namespace {

using namespace std::chrono_literals;
using testing::DovecotServer;
using testing::TempDirectory;

constexpr auto kLimit = 60s;

std::string Mail(int n) {
  return "From: sato@example.jp\r\nTo: alice@example.jp\r\nSubject: handed " + std::to_string(n) +
         "\r\nMessage-Id: <handed-" + std::to_string(n) + "@example.jp>\r\n\r\nbody\r\n";
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pop_.running()) << pop_.Log();
    pop_.AddUser("alice", "secret");
    CSetMenuArray accounts;
    CSetMenu& alice = accounts.At(0);
    alice.name = "alice";
    alice.pop = pop_.host();
    alice.pop_port = static_cast<std::uint16_t>(pop_.pop3_port());
    alice.user_id = "alice";
    alice.pass = "secret";
    alice.not_del = false;
    Profile profile(FromNativePath(data_.File("lpost.conf")));
    ASSERT_TRUE(accounts.Save(profile));
    // Arrival messages are written to no one: nobody clicks them away.
    (void)profile.WriteInt("View", "MailMes", 0);
  }
  void TearDown() override {
    for (QProcess* process : {&first_, &replacement_}) {
      if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(10'000);
      }
    }
  }

  void Start(QProcess& process, const QStringList& arguments = {}, const QString& save_delay_ms = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!save_delay_ms.isEmpty()) environment.insert(QStringLiteral("LANTERNPOST_SAVE_DELAY_MS"), save_delay_ms);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LANTERNPOST_NO_DIALOGS"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LP_DESKTOP_PATH),
                  QStringList{QStringLiteral("--data-dir"), QString::fromStdString(data_.path())} + arguments);
  }
  // Waits until `process` listens for hand-overs: the socket file appears
  // in the temporary directory, where the watcher sees it.
  [[nodiscard]] bool WaitUntilListening(QProcess& process) {
    const QString name = QString::fromStdString(InstanceServerName(data_.path()));
    QFileSystemWatcher watcher({QDir::tempPath()});
    const auto listening = [&] {
      QLocalSocket socket;
      socket.connectToServer(name);
      return socket.waitForConnected(1000);
    };
    RunEventLoopUntil([&] { return process.state() == QProcess::NotRunning || listening(); }, kLimit);
    // The program may listen before this process has taken in that it
    // started (the state still says Starting): only an end counts.
    return process.state() != QProcess::NotRunning && listening();
  }
  // Waits until the first instance fetched every mail from the server; the
  // receive writes its files into the data directory meanwhile.
  [[nodiscard]] bool WaitUntilServerEmpty() {
    QFileSystemWatcher watcher({QString::fromStdString(data_.path())});
    return RunEventLoopUntil([&] { return pop_.Messages("alice").empty(); }, kLimit);
  }
  // Runs a second start to its end: its exit status and output.
  std::pair<int, QString> SecondStart(const QStringList& arguments) {
    QProcess second;
    Start(second, arguments);
    if (!second.waitForFinished(60'000)) return {-1, {}};
    return {second.exitCode(), QString::fromUtf8(second.readAllStandardOutput())};
  }

  DovecotServer pop_;
  TempDirectory data_;
  TempDirectory scratch_;
  QProcess first_;
  QProcess replacement_;
};

TEST_F(SingleInstanceTest, SecondStartHandsItsSwitchToTheFirstAndEnds) {
  Start(first_);
  ASSERT_TRUE(WaitUntilListening(first_)) << first_.readAllStandardError().toStdString();
  pop_.AddMessages("alice", {Mail(1)});

  const auto [status, output] = SecondStart({QStringLiteral("/R")});
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(output.contains(QString::fromUtf8("起動中のLanternpostに渡しました"))) << output.toStdString();
  EXPECT_TRUE(WaitUntilServerEmpty());
  EXPECT_EQ(first_.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, CommandLineHandsItsReceiveToTheRunningApplication) {
  Start(first_);
  ASSERT_TRUE(WaitUntilListening(first_));
  pop_.AddMessages("alice", {Mail(2)});

  const testing::CliResult handed = testing::RunCli(scratch_, data_.path(), {"receive"});
  EXPECT_EQ(handed.status, 0) << handed.err;
  EXPECT_NE(handed.out.find("receive handed over to the running Lanternpost desktop application"), std::string::npos)
      << handed.out;
  EXPECT_TRUE(WaitUntilServerEmpty());
}

TEST_F(SingleInstanceTest, SocketLeftByAKilledInstanceDoesNotBlockTheNext) {
  Start(first_);
  ASSERT_TRUE(WaitUntilListening(first_));
  ::kill(static_cast<pid_t>(first_.processId()), SIGKILL);
  ASSERT_TRUE(first_.waitForFinished(10'000));

  // The next start finds only the dead socket: it takes over and listens.
  Start(replacement_);
  ASSERT_TRUE(WaitUntilListening(replacement_)) << replacement_.readAllStandardError().toStdString();
  pop_.AddMessages("alice", {Mail(3)});
  const auto [status, output] = SecondStart({QStringLiteral("/R")});
  EXPECT_EQ(status, 0) << output.toStdString();
  EXPECT_TRUE(WaitUntilServerEmpty());
}

// A desktop session ends the program with SIGTERM: what it changed in
// memory reaches the files on the way out. Here the mail that the preview
// read ([View] PreRead) is saved only then: the save after a change waits
// ten minutes.
TEST_F(SingleInstanceTest, TerminationSignalSavesTheReadMarksOnTheWayOut) {
  {
    Profile profile(FromNativePath(data_.File("lpost.conf")));
    ASSERT_TRUE(profile.WriteInt("View", "PreRead", 1));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc inbox(profile, ui, commands);
    testing::WriteFileBytes(data_.File("受信.lp"), "");
    ASSERT_TRUE(inbox.Open(FromNativePath(data_.File("受信.lp"))).ok);
    auto mail = std::make_unique<CMail>();
    mail->status = kStatusUnread;
    inbox.Add(std::move(mail));
    ASSERT_TRUE(inbox.StoreTextOfLast("Subject: s\r\n\r\nbody"));
    ASSERT_TRUE(inbox.Save().ok);
  }
  const auto status_on_disk = [this] {
    CLPOSTDoc::Records records;
    return LoadIndexFile(FromNativePath(data_.File("受信.lp")), records).ok && records.size() == 1
               ? records.front()->status
               : -1;
  };
  // The unread mark of the receive box, written at once when a mail is read.
  const auto marked_read = [this] {
    const std::string conf = testing::ReadFileBytes(data_.File("lpost.conf"));
    return conf.find(Utf8ToCp932("受信.lp=0")) != std::string::npos;
  };

  Start(first_, {}, QStringLiteral("600000"));
  ASSERT_TRUE(WaitUntilListening(first_)) << first_.readAllStandardError().toStdString();
  QFileSystemWatcher watcher({QString::fromStdString(data_.path())});
  ASSERT_TRUE(RunEventLoopUntil(marked_read, kLimit));
  EXPECT_EQ(status_on_disk(), kStatusUnread);

  ::kill(static_cast<pid_t>(first_.processId()), SIGTERM);
  ASSERT_TRUE(first_.waitForFinished(60'000));
  EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first_.exitCode(), 0) << first_.readAllStandardError().toStdString();
  EXPECT_EQ(status_on_disk(), kStatusRead);
}

}  // namespace
}  // namespace lp
