#include "store/mail_import_source.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "store/mail_import.h"
#include "store/mail_import_messages.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

// Hostile source trees: link loops, links out of the tree, pipes, sockets
// and files the user may not read. The scan never waits, never reads
// outside the source, never walks a directory twice, and names what it
// left out.

namespace lp {
namespace {

namespace fs = std::filesystem;
using testing::WriteFileBytes;

std::string Mail(const std::string& subject) {
  return "From a@b Mon Jun  2 10:00:00 2025\nMessage-ID: <" + subject + "@x>\nDate: Mon, 2 Jun 2025 10:00:00 +0900\n"
         "Subject: " + subject + "\n\nbody\n\n";
}

struct Problem {
  std::string path;
  std::string reason;
  bool operator==(const Problem&) const = default;
};

void PrintTo(const Problem& problem, std::ostream* out) {
  *out << problem.path << " : " << Cp932ToUtf8(problem.reason);
}

// The problems by path.
std::vector<Problem> Problems(const std::vector<ImportProblem>& problems) {
  std::vector<Problem> list;
  for (const ImportProblem& problem : problems) list.push_back({problem.native_path, problem.reason});
  std::sort(list.begin(), list.end(), [](const Problem& a, const Problem& b) { return a.path < b.path; });
  return list;
}

// Opens the named pipes for writing (and closes them again) unless released
// within a generous time: a reader that waits on one then sees its end
// instead of waiting for ever, and the test knows that it had to.
class PipeWatchdog {
 public:
  explicit PipeWatchdog(std::vector<std::string> pipes)
      : pipes_(std::move(pipes)), thread_([this] { Watch(); }) {}
  ~PipeWatchdog() { Release(); }

  void Release() {
    {
      std::lock_guard lock(mutex_);
      released_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  [[nodiscard]] bool fired() const { return fired_; }

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, std::chrono::seconds(20), [this] { return released_; })) {
      fired_ = true;
      for (const std::string& pipe : pipes_) {
        const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
      }
    }
  }

  std::vector<std::string> pipes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool released_ = false;
  bool fired_ = false;
  std::thread thread_;
};

// Runs `work` as the user "nobody" in a child process when the test runs
// as root (root reads every file whatever its mode), in this process
// otherwise; returns what `work` returned, or nullopt when the child failed.
std::optional<std::string> AsUnprivilegedUser(const std::function<std::string()>& work) {
  if (::geteuid() != 0) return work();
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) return std::nullopt;
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_fds[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) _exit(3);
    const std::string out = work();
    const bool written = ::write(pipe_fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
    _exit(written ? 0 : 4);
  }
  ::close(pipe_fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

class MailImportSourceTest : public ::testing::Test {
 protected:
  void SetUp() override { tree_ = sources_.File("tree"); }

  MailImportReport Import(const std::string& native_source) {
    MailImportRequest request;
    request.native_source = native_source;
    request.destination = "Imported.lp";
    return ImportMail(request, profile_, ui_, nullptr);
  }

  // Every stored text of every box the report names.
  std::string AllTexts(const MailImportReport& report) {
    std::string texts;
    for (const ImportedBox& imported : report.boxes) {
      CLPOSTDoc box(profile_, ui_, commands_);
      EXPECT_TRUE(box.Open(imported.box_path).ok);
      for (int i = 0; i < box.Count(); ++i) {
        texts += box.ReadText(box.RecordAt(i)->text_start, box.RecordAt(i)->text_end).text;
      }
    }
    return texts;
  }

  void MakeMaildir(const std::string& dir) {
    for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(dir + "/" + sub);
  }

  testing::TempDirectory data_{true};
  testing::TempDirectory sources_;
  std::string tree_;
  Profile profile_{data_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
};

TEST_F(MailImportSourceTest, LinkLoopsAndAliasesWalkEachDirectoryOnce) {
  fs::create_directories(tree_ + "/Lists.sbd");
  WriteFileBytes(tree_ + "/Inbox", Mail("inbox"));
  WriteFileBytes(tree_ + "/Lists.sbd/Work", Mail("work"));
  fs::create_directory_symlink(".", tree_ + "/a");
  fs::create_directory_symlink(".", tree_ + "/b");
  fs::create_directory_symlink("..", tree_ + "/Lists.sbd/up");
  fs::create_directory_symlink("Lists.sbd", tree_ + "/Alias");

  const MailSourceScan scan = ScanMailSource(tree_);
  std::vector<std::vector<std::string>> names;
  for (const ImportFolder& folder : scan.folders) names.push_back(folder.names);
  EXPECT_EQ(names, (std::vector<std::vector<std::string>>{{"Inbox"}, {"Lists", "Work"}}));
  EXPECT_TRUE(scan.problems.empty());

  const MailImportReport report = Import(tree_);
  EXPECT_TRUE(report.Complete());
  EXPECT_EQ(report.imported, 2);
}

TEST_F(MailImportSourceTest, LinksLeavingTheSourceAreNamedAndNeverFollowed) {
  const std::string outside = sources_.File("outside");
  fs::create_directories(outside + "/mh");
  WriteFileBytes(outside + "/passwd", "root:x:0:0:root:/root:/bin/bash\n");
  WriteFileBytes(outside + "/mbox", Mail("secret-mbox"));
  WriteFileBytes(outside + "/mh/1", "Subject: secret-mh\n\nsecret\n");
  MakeMaildir(outside + "/md");

  MakeMaildir(tree_ + "/md");
  fs::create_directories(tree_ + "/keep");
  WriteFileBytes(tree_ + "/md/cur/1:2,S", "Subject: inside\n\nok\n");
  fs::create_symlink("../../../outside/passwd", tree_ + "/md/cur/2:2,S");
  WriteFileBytes(tree_ + "/keep/note.txt", "Subject: linked inside\n\nok\n");
  fs::create_symlink("../../keep/note.txt", tree_ + "/md/new/3");  // stays inside: followed
  fs::create_symlink(outside + "/mbox", tree_ + "/stolen");
  fs::create_directory_symlink("../outside/mh", tree_ + "/elsewhere");
  MakeMaildir(tree_ + "/md2");
  fs::remove(tree_ + "/md2/cur");
  fs::create_directory_symlink(outside + "/md/cur", tree_ + "/md2/cur");

  const MailImportReport report = Import(tree_);
  const std::string leaves = mail_import_messages::kLinkLeavesSource;
  EXPECT_EQ(Problems(report.problems), (std::vector<Problem>{{tree_ + "/elsewhere", leaves},
                                                             {tree_ + "/md/cur/2:2,S", leaves},
                                                             {tree_ + "/md2/cur", leaves},
                                                             {tree_ + "/stolen", leaves}}));
  EXPECT_FALSE(report.Complete());
  EXPECT_EQ(report.imported, 2);
  const std::string texts = AllTexts(report);
  EXPECT_NE(texts.find("linked inside"), std::string::npos);
  EXPECT_EQ(texts.find("root:x"), std::string::npos);
  EXPECT_EQ(texts.find("secret"), std::string::npos);

  // A link given as the source itself is what the user named: it is read.
  fs::create_symlink(outside + "/mbox", sources_.File("named"));
  EXPECT_EQ(ScanMailSource(sources_.File("named")).folders.size(), 1u);
}

TEST_F(MailImportSourceTest, PipesAndSocketsAreNamedAndNeverOpened) {
  MakeMaildir(tree_ + "/md");
  WriteFileBytes(tree_ + "/Inbox", Mail("inbox"));
  WriteFileBytes(tree_ + "/md/new/1", "Subject: maildir\n\nbody\n");
  ASSERT_EQ(::mkfifo((tree_ + "/pipe").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((tree_ + "/md/new/2").c_str(), 0600), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = tree_ + "/sock";
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  socket_path.copy(address.sun_path, socket_path.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

  PipeWatchdog watchdog({tree_ + "/pipe", tree_ + "/md/new/2"});
  const MailImportReport report = Import(tree_);
  const MailSourceScan pipe_as_source = ScanMailSource(tree_ + "/pipe");
  watchdog.Release();
  ::close(sock);
  EXPECT_FALSE(watchdog.fired()) << "the import waited on a named pipe";

  const std::string not_regular = mail_import_messages::kNotRegularFile;
  EXPECT_EQ(Problems(report.problems), (std::vector<Problem>{{tree_ + "/md/new/2", not_regular},
                                                             {tree_ + "/pipe", not_regular},
                                                             {tree_ + "/sock", not_regular}}));
  EXPECT_EQ(report.imported, 2);
  EXPECT_EQ(report.unreadable, 1);  // the pipe in the Maildir stands where a message would
  EXPECT_EQ(Problems(pipe_as_source.problems), (std::vector<Problem>{{tree_ + "/pipe", not_regular}}));
}

TEST_F(MailImportSourceTest, UnreadableFilesAreNamedWithTheSystemsReason) {
  MakeMaildir(tree_ + "/md");
  WriteFileBytes(tree_ + "/Inbox", Mail("inbox"));
  WriteFileBytes(tree_ + "/Locked", Mail("locked"));
  WriteFileBytes(tree_ + "/md/cur/1:2,S", "Subject: readable\n\nbody\n");
  WriteFileBytes(tree_ + "/md/cur/2:2,S", "Subject: locked\n\nbody\n");  // the folder's last file
  for (const fs::path& dir : {fs::path(sources_.path()), fs::path(data_.path())}) {
    fs::permissions(dir, fs::perms::all);
  }
  for (const auto& entry : fs::recursive_directory_iterator(sources_.path())) {
    fs::permissions(entry.path(), entry.is_directory() ? fs::perms(0755) : fs::perms(0644));
  }
  fs::permissions(tree_ + "/Locked", fs::perms::none);
  fs::permissions(tree_ + "/md/cur/2:2,S", fs::perms::none);

  const std::optional<std::string> seen = AsUnprivilegedUser([&] {
    std::string out;
    const MailImportReport report = Import(tree_);
    out += std::to_string(report.imported) + "\n";
    for (const ImportProblem& problem : report.problems) out += problem.native_path + "\t" + problem.reason + "\n";
    for (const ImportProblem& problem : ScanMailSource(tree_ + "/Locked").problems) {
      out += problem.native_path + "\t" + problem.reason + "\n";
    }
    return out;
  });
  ASSERT_TRUE(seen) << "the unprivileged child failed";
  const std::string denied = std::string(mail_import_messages::kCannotOpen) + ": Permission denied";
  EXPECT_EQ(Cp932ToUtf8(*seen), Cp932ToUtf8("2\n" + tree_ + "/Locked\t" + denied + "\n" + tree_ + "/md/cur/2:2,S\t" +
                                            denied + "\n" + tree_ + "/Locked\t" + denied + "\n"));
}

TEST_F(MailImportSourceTest, MhMessagesOfAnyNumberLengthComeInNumberOrder) {
  fs::create_directories(tree_ + "/inbox");
  for (const char* number : {"10", "2", "1234567890123456", "12345678901234567890123", "0099999999999999999"}) {
    WriteFileBytes(tree_ + "/inbox/" + number, std::string("Subject: n") + number + "\n\nbody\n");
  }
  const MailImportReport report = Import(tree_);
  ASSERT_TRUE(report.Complete());
  ASSERT_EQ(report.boxes.size(), 1u);
  CLPOSTDoc box(profile_, ui_, commands_);
  ASSERT_TRUE(box.Open(report.boxes[0].box_path).ok);
  std::vector<std::string> subjects;
  for (int i = 0; i < box.Count(); ++i) subjects.push_back(box.RecordAt(i)->subject);
  EXPECT_EQ(subjects, (std::vector<std::string>{"n2", "n10", "n1234567890123456", "n0099999999999999999",
                                                "n12345678901234567890123"}));
}

}  // namespace
}  // namespace lp
