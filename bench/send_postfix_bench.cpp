#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "net/outgoing_message.h"
#include "net/send_pipeline.h"
#include "platform/code_page.h"
#include "bench/peak_memory.h"
#include "bench/queued_send_box.h"
#include "platform/event_loop.h"
#include "platform/qt_transport.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_directory.h"

// A send run of 1,000 queued mails (Japanese text of about 2 KB; every
// tenth with a 100 KB attachment) to a local Postfix with SMTP AUTH
// CRAM-MD5, beside msmtp sending the same messages, one process per mail
// as msmtp works.

extern char** environ;

namespace lp {
namespace {

using namespace std::chrono_literals;

constexpr int kMails = 1000;
constexpr int kAttachmentEvery = 10;
constexpr std::size_t kAttachmentBytes = 100 * 1024;

std::string Body() {
  // "本日の会議資料をお送りします。" and an ASCII tail, 25 lines.
  const std::string line = Utf8ToCp932("本日の会議資料をお送りします。ご確認ください。") + " Lanternpost bench\r\n";
  std::string body;
  while (body.size() < 2048) body += line;
  return body;
}

struct Fixture {
  testing::SmtpServer server;
  testing::TempDirectory files{true};
  std::string body = Body();
  std::string attachment = files.File("report.bin");
  std::string subject = Utf8ToCp932("週次報告");  // 週次報告
  std::vector<std::string> msmtp_messages;  // one plain message file per mail

  Fixture() {
    server.AddUser("taro", "secret");
    std::string bytes(kAttachmentBytes, '\0');
    std::uint32_t seed = 12345;
    for (char& c : bytes) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<char>(seed >> 24);
    }
    testing::WriteFileBytes(attachment, bytes);
    BuildMsmtpMessages();
  }

  [[nodiscard]] bool HasAttachment(int i) const { return i % kAttachmentEvery == 0; }

  // The messages the send run builds, made by the same build and turned
  // back into what a sendmail-style program reads: dot-stuffing and the
  // final "." undone.
  void BuildMsmtpMessages() {
    RecordingUserInterface ui;
    ComposeContext context(ui, ComposeSettings{});
    for (int i = 0; i < kMails; ++i) {
      OutgoingMessage message;
      message.from = "Taro <taro@example.jp>";
      message.to = {"hanako@example.com"};
      message.subject = subject;
      message.body = body;
      if (HasAttachment(i)) message.attachment = attachment;
      const std::string built = files.File("built.$$$");
      if (!BuildOutgoingMessage(message, context, built)) return;
      const std::string wire = testing::ReadFileBytes(built);
      std::string plain;
      for (std::size_t at = 0; at < wire.size();) {
        const std::size_t end = wire.find("\r\n", at) + 2;
        std::string_view line(wire.data() + at, end - at);
        at = end;
        if (line == ".\r\n" && at == wire.size()) break;
        if (line.starts_with('.')) line.remove_prefix(1);
        plain.append(line);
      }
      msmtp_messages.push_back(files.File("mail" + std::to_string(i) + ".eml"));
      testing::WriteFileBytes(msmtp_messages.back(), plain);
    }
  }

  // Waits for Postfix to deliver what it took and empties the maildir.
  bool Drain() {
    const bool delivered = server.WaitUntilDelivered(120s);
    server.ClearDelivered();
    return delivered;
  }
};

Fixture& SharedFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_LanternpostSendRun(benchmark::State& state) {
  Fixture& fixture = SharedFixture();
  if (!fixture.server.running()) {
    state.SkipWithError("Postfix did not start");
    return;
  }
  EnsureEventLoopApplication();
  CSetMenu account;
  account.adr = "taro@example.jp";
  account.sender_name = "Taro";
  account.smtp = fixture.server.host();
  account.smtp_port = static_cast<std::uint16_t>(fixture.server.smtp_port());
  account.smtp_auth = true;
  account.smtp_auth_mode = static_cast<int>(SmtpAuthMode::CramMd5);
  account.user_id = "taro";
  account.pass = "secret";
  const long rss_before = bench::PeakResidentKiB();
  for (auto _ : state) {
    state.PauseTiming();
    bench::QueuedSendBox queued(kMails, fixture.body, [&](CMail& record, int i) {
      record.to = "hanako@example.com";
      record.from = SenderText(account);
      record.subject = fixture.subject;
      if (fixture.HasAttachment(i)) record.attachments = fixture.attachment;
    });
    if (!queued.opened) state.SkipWithError("box");
    RecordingUserInterface& ui = queued.ui;
    SendPipeline pipeline(SendPipeline::Dependencies{queued.profile, ui, queued.registry, queued.box,
                                                     [] { return std::make_unique<QtTransport>(); }, {}, nullptr, {},
                                                     {}});
    state.ResumeTiming();
    (void)pipeline.Start(account);
    const bool ended = RunEventLoopUntil([&] { return !pipeline.Running(); }, 600s);
    state.PauseTiming();
    if (!ended || pipeline.LastResult().sent != kMails) {
      state.SkipWithError(ui.messages.empty() ? "not every mail was sent" : ui.messages.back().c_str());
      break;
    }
    if (!fixture.Drain()) state.SkipWithError("Postfix kept mail in its queue");
    state.ResumeTiming();
  }
  state.counters["mails_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kMails, benchmark::Counter::kIsRate);
  state.counters["max_rss_growth_kb"] = static_cast<double>(bench::PeakResidentKiB() - rss_before);
}
BENCHMARK(BM_LanternpostSendRun)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// One msmtp process for one message file on its standard input; its exit status.
int RunMsmtp(const std::vector<std::string>& args, const std::string& message, const std::string& log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, message.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, "msmtp", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) < 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void BM_MsmtpSendSameMails(benchmark::State& state) {
  Fixture& fixture = SharedFixture();
  if (!fixture.server.running()) {
    state.SkipWithError("Postfix did not start");
    return;
  }
  if (fixture.msmtp_messages.size() != kMails) {
    state.SkipWithError("the messages could not be built");
    return;
  }
  const std::string log = fixture.files.File("msmtp.log");
  // The password in the configuration file, which msmtp wants private:
  // "passwordeval" would start a shell for every mail.
  const std::string config = fixture.files.File("msmtprc");
  testing::WriteFileBytes(config, "account default\nhost " + fixture.server.host() + "\nport " +
                                      std::to_string(fixture.server.smtp_port()) +
                                      "\ntls off\nauth cram-md5\nuser taro\npassword secret\n"
                                      "from taro@example.jp\n");
  ::chmod(config.c_str(), 0600);
  const std::vector<std::string> args = {"msmtp", "--file=" + config, "--", "hanako@example.com"};
  for (auto _ : state) {
    for (const std::string& message : fixture.msmtp_messages) {
      if (RunMsmtp(args, message, log) != 0) {
        state.SkipWithError(("msmtp failed: " + testing::ReadFileBytes(log)).c_str());
        return;
      }
    }
    state.PauseTiming();
    if (!fixture.Drain()) state.SkipWithError("Postfix kept mail in its queue");
    state.ResumeTiming();
  }
  state.counters["mails_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kMails, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MsmtpSendSameMails)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lp
