#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/peak_memory.h"
#include "net/pop_session.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/temp_directory.h"

// A receive of 5,000 mails (about 50 MB) with delete-after-retrieve from a
// local Dovecot, beside fetchmail fetching the same mails into one file.

namespace lp {
namespace {

using namespace std::chrono_literals;

constexpr int kMessages = 5000;

std::vector<std::string> Mails() {
  std::vector<std::string> mails;
  std::string body;
  while (body.size() < 10 * 1024) body += std::string(76, 'm') + "\r\n";
  for (int i = 0; i < kMessages; ++i) {
    mails.push_back("From: a@example.jp\r\nTo: alice@example.jp\r\nSubject: bench " + std::to_string(i) +
                    "\r\nMessage-Id: <" + std::to_string(i) + "@example.jp>\r\n\r\n" + body);
  }
  return mails;
}

struct Fixture {
  testing::DovecotServer server;
  std::vector<std::string> mails = Mails();
  Fixture() { server.AddUser("alice", "secret"); }
};

Fixture& SharedFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_LanternpostReceive(benchmark::State& state) {
  Fixture& fixture = SharedFixture();
  if (!fixture.server.running()) {
    state.SkipWithError("Dovecot did not start");
    return;
  }
  EnsureEventLoopApplication();
  testing::TempDirectory dir(true);
  RecordingUserInterface ui;
  PopSessionSettings settings;
  settings.host = fixture.server.host();
  settings.port = fixture.server.pop3_port();
  settings.user = "alice";
  settings.password = "secret";
  settings.keep_on_server = false;
  settings.received_uid_list = "UIDLb.txt";
  settings.new_uid_list = "UIDL2b.txt";
  const long rss_before = bench::PeakResidentKiB();
  for (auto _ : state) {
    state.PauseTiming();
    fixture.server.AddMessages("alice", fixture.mails);
    (void)RemoveFile("inbox.log");
    state.ResumeTiming();
    QtTransport transport;
    std::optional<PopSessionResult> result;
    CPopSession session(transport, ui, [&](const PopSessionResult& r) { result = r; });
    session.StartReceive(settings);
    if (!RunEventLoopUntil([&] { return result.has_value(); }, 600s) || result->received != kMessages) {
      state.SkipWithError("the receive did not fetch every mail");
      break;
    }
  }
  state.counters["messages_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kMessages, benchmark::Counter::kIsRate);
  state.counters["max_rss_growth_kb"] = static_cast<double>(bench::PeakResidentKiB() - rss_before);
}
BENCHMARK(BM_LanternpostReceive)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FetchmailReceive(benchmark::State& state) {
  Fixture& fixture = SharedFixture();
  if (!fixture.server.running()) {
    state.SkipWithError("Dovecot did not start");
    return;
  }
  testing::TempDirectory dir;
  const std::string rc = dir.File("fetchmailrc");
  testing::WriteFileBytes(rc, "set no syslog\npoll 127.0.0.1 protocol pop3 port " +
                                  std::to_string(fixture.server.pop3_port()) +
                                  " auth password user \"alice\" password \"secret\" is \"alice\" here"
                                  " nokeep fetchall sslproto ''\n");
  ::chmod(rc.c_str(), 0600);
  const std::string command = "HOME=" + dir.path() + " fetchmail -N -f " + rc + " --idfile " + dir.File("ids") +
                              " --pidfile " + dir.File("pid") + " --bsmtp " + dir.File("out") + " >" +
                              dir.File("log") + " 2>&1";
  for (auto _ : state) {
    state.PauseTiming();
    fixture.server.AddMessages("alice", fixture.mails);
    (void)std::remove(dir.File("out").c_str());
    state.ResumeTiming();
    const int status = std::system(command.c_str());
    if (status != 0 || !fixture.server.Messages("alice").empty()) {
      state.SkipWithError(("fetchmail failed: " + testing::ReadFileBytes(dir.File("log"))).c_str());
      break;
    }
  }
  state.counters["messages_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kMessages, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FetchmailReceive)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lp
