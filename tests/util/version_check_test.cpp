#include "util/version_download.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/event_loop.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/temp_directory.h"
#include "util/util_messages.h"

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

std::time_t LocalTime(int year, int month, int day, int hour) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

struct LineCase {
  const char* name;
  std::string file;
  bool found;
  std::string version;
  std::string date;
  std::string message;
};

TEST(VersionFile, FindsTheProductLineAndChecksItsDate) {
  const std::vector<LineCase> cases = {
      {"plain", "Other,1,2020/1/1,x\nLanternpost,2.10,2026/12/1,new filter\n", true, "2.10", "2026/12/01",
       "new filter"},
      {"CR LF lines", "Lanternpost,2.1,2026/1/2,msg\r\n", true, "2.1", "2026/01/02", "msg"},
      {"missing message", "Lanternpost,2.1,2026/1/2", true, "2.1", "2026/01/02", ""},
      {"message ends at a comma", "Lanternpost,2.1,2026/1/2,a,b", true, "2.1", "2026/01/02", "a"},
      {"name with a character appended", "LanternpostX,2.1,2026/1/2,msg\n", false, "", "", ""},
      {"no product line", "Other,1,2026/1/2,msg\n", false, "", "", ""},
      {"year out of range", "Lanternpost,9.9,2099/01/01,msg\n", false, "", "", ""},
      {"month out of range", "Lanternpost,9.9,2026/13/01,msg\n", false, "", "", ""},
      {"one slash only", "Lanternpost,9.9,2026/12,msg\n", false, "", "", ""},
      {"first matching line counts", "Lanternpost,1,bad,x\nLanternpost,2,2026/1/1,y\n", false, "", "", ""},
  };
  for (const LineCase& c : cases) {
    const std::optional<ReleaseInfo> release = FindRelease(c.file);
    ASSERT_EQ(release.has_value(), c.found) << c.name;
    if (!release) continue;
    EXPECT_EQ(release->version, c.version) << c.name;
    EXPECT_EQ(release->DateText(), c.date) << c.name;
    EXPECT_EQ(release->message, c.message) << c.name;
  }
}

TEST(VersionFile, AProgramFileOfTheReleaseDayIsUpToDate) {
  testing::ScopedTimeZone japan("JST-9");
  const ReleaseInfo release = *FindRelease("Lanternpost,2.0,2026/12/10,x\n");
  EXPECT_TRUE(IsOlderThanRelease(LocalTime(2026, 12, 9, 23), release));
  EXPECT_FALSE(IsOlderThanRelease(LocalTime(2026, 12, 10, 0), release));
  EXPECT_FALSE(IsOlderThanRelease(LocalTime(2026, 12, 10, 23), release));
}

TEST(VersionFile, ServerAddressesSplitOrAreRefused) {
  const std::optional<ServerAddress> plain = SplitServerAddress("http://www.example.jp");
  ASSERT_TRUE(plain);
  EXPECT_EQ(ServerUrl(*plain, kVersionFilePath), "http://www.example.jp/soft/verup.txt");
  const std::optional<ServerAddress> full = SplitServerAddress("HTTPS://127.0.0.1:8443/vendor/");
  ASSERT_TRUE(full);
  EXPECT_EQ(ServerUrl(*full, kProductPagePath), "https://127.0.0.1:8443/vendor/soft/lpost.html");
  for (const char* bad : {"www.example.jp", "ftp://example.jp", "http://", "http://host:0", "http://host:x",
                          "http://ho st/", "http://host/a b"}) {
    EXPECT_FALSE(SplitServerAddress(bad).has_value()) << bad;
  }
}

// Python's http.server on 127.0.0.1 and a free port, serving `root`.
class PythonHttpServer {
 public:
  explicit PythonHttpServer(const std::string& root) : log_(root + "/../server.log") {
    pid_ = fork();
    if (pid_ == 0) {
      const int out = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(out, 1);
      dup2(out, 2);
      execlp("python3", "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
             root.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const std::regex serving("port ([0-9]+)");
    for (int i = 0; i < 200 && port_ == 0; ++i) {
      std::ifstream in(log_);
      std::stringstream text;
      text << in.rdbuf();
      std::smatch match;
      const std::string log = text.str();
      if (std::regex_search(log, match, serving)) {
        port_ = std::stoi(match[1]);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    }
  }
  ~PythonHttpServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  PythonHttpServer(const PythonHttpServer&) = delete;
  PythonHttpServer& operator=(const PythonHttpServer&) = delete;

  [[nodiscard]] int port() const { return port_; }

 private:
  std::string log_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// A socket that takes connections into its backlog and never answers.
class SilentServer {
 public:
  SilentServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd_, 4) == 0 &&
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~SilentServer() { close(fd_); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  [[nodiscard]] int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

class VersionDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureEventLoopApplication(); }

  VersionCheckResult Check(const std::string& address, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::optional<VersionCheckResult> result;
    auto download = VersionDownload::Start(address, program_time_, timeout, [&](VersionCheckResult r) { result = r; });
    EXPECT_TRUE(RunEventLoopUntil([&] { return result.has_value(); }, std::chrono::seconds(30)));
    return result.value_or(VersionCheckResult{});
  }

  void ServeVersionFile(const std::string& text) {
    WriteFileBytes(root_ + "/soft/verup.txt", text);
  }

  testing::ScopedTimeZone japan_{"JST-9"};
  TempDirectory scratch_;
  std::string root_ = scratch_.File("www");
  std::time_t program_time_ = LocalTime(2026, 12, 10, 12);
};

std::vector<std::string> Messages(std::initializer_list<const char*> texts) {
  std::vector<std::string> messages;
  for (const char* text : texts) messages.emplace_back(text);
  return messages;
}

TEST_F(VersionDownloadTest, JudgesTheVersionFileOfALocalServer) {
  ASSERT_EQ(mkdir(root_.c_str(), 0700), 0);
  ASSERT_EQ(mkdir((root_ + "/soft").c_str(), 0700), 0);
  PythonHttpServer server(root_);
  ASSERT_NE(server.port(), 0) << "python3 -m http.server did not start";
  const std::string address = "http://127.0.0.1:" + std::to_string(server.port());

  ServeVersionFile("Other,1.0,2030/1/1,x\nLanternpost,3.0,2027/1/15," + Utf8ToCp932("新機能") + "\n");
  const VersionCheckResult newer = Check(address);
  EXPECT_EQ(newer.outcome, VersionCheckResult::Outcome::NewerRelease);
  EXPECT_EQ(newer.release.version, "3.0");
  EXPECT_EQ(newer.release.DateText(), "2027/01/15");
  EXPECT_EQ(newer.release.message, Utf8ToCp932("新機能"));

  for (const char* same_or_older : {"Lanternpost,2.0,2026/12/10,x\n", "Lanternpost,1.0,2025/01/01,x\n"}) {
    ServeVersionFile(same_or_older);
    const VersionCheckResult current = Check(address);
    EXPECT_EQ(current.outcome, VersionCheckResult::Outcome::UpToDate) << same_or_older;
    EXPECT_EQ(current.messages, Messages({util_messages::kUpToDate}));
  }

  ServeVersionFile("Lanternpostal,2.0,2030/1/1,x\n");
  EXPECT_EQ(Check(address).messages, Messages({util_messages::kVersionInfoFailed}));

  // No such file: 404.
  const VersionCheckResult missing = Check(address + "/elsewhere");
  EXPECT_EQ(missing.outcome, VersionCheckResult::Outcome::Failed);
  EXPECT_EQ(missing.messages, Messages({util_messages::kVersionInfoFailed}));
}

TEST_F(VersionDownloadTest, AServerThatNeverAnswersTimesOut) {
  SilentServer server;
  ASSERT_NE(server.port(), 0);
  const auto start = std::chrono::steady_clock::now();
  const VersionCheckResult result =
      Check("http://127.0.0.1:" + std::to_string(server.port()), std::chrono::milliseconds(500));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(result.outcome, VersionCheckResult::Outcome::Failed);
  ASSERT_EQ(result.messages.size(), 2u);
  EXPECT_EQ(result.messages[0].rfind(util_messages::kNetworkErrorPrefix, 0), 0u);
  EXPECT_EQ(result.messages[1], util_messages::kVersionInfoFailed);
}

TEST_F(VersionDownloadTest, AnAddressThatCannotBeSplitIsReportedAtOnce) {
  std::optional<VersionCheckResult> result;
  const auto download =
      VersionDownload::Start("www.example.jp", program_time_, std::chrono::seconds(1), [&](VersionCheckResult r) {
        result = r;
      });
  EXPECT_EQ(download, nullptr);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->messages,
            (std::vector<std::string>{std::string("www.example.jp") + util_messages::kAddressUnusable,
                                      util_messages::kVersionInfoFailed}));
}

}  // namespace
}  // namespace lp
