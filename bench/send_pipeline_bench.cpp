#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "config/app_settings.h"
#include "net/send_pipeline.h"
#include "bench/queued_send_box.h"
#include "tests/support/scripted_transport.h"
#include "tests/support/temp_directory.h"

// A send run of 1,000 queued mails (about 2 KB of text each) against a
// scripted server that accepts them all: building each message, the SMTP
// dialogue, the sent marks and the save of the box.

namespace lp {
namespace {

constexpr int kMails = 1000;

std::string Body() {
  std::string body;
  for (int line = 0; line < 25; ++line) body += std::string(76, 'a' + line % 26) + "\r\n";
  return body;
}

// The dialogue of the whole run, with every line of every message.
std::string Script(const std::string& body) {
  std::string script = "S: 220 ready\nC: HELO LPOST\nS: 250 ok\n";
  std::string data =
      "C: X-MAILER: Orvex Lanternpost\nC: MIME-Version: 1.0\n"
      "C: Date: Sat, 14 Feb 2009 08:31:30 +0900\nC: Message-ID: <bench@example.jp>\nC: To: hanako@example.jp\n"
      "C: From: Taro <taro@example.jp>\nC: Subject: bench\n"
      "C: Content-Type: text/plain; charset=\"iso-2022-jp\"\nC:\nC:\n";
  for (std::size_t at = 0; at < body.size();) {
    const std::size_t end = body.find("\r\n", at);
    data += "C: " + body.substr(at, end - at) + "\n";
    at = end + 2;
  }
  data += "C:\nC: .\n";
  for (int i = 0; i < kMails; ++i) {
    script += "C: MAIL FROM:<taro@example.jp>\nS: 250 ok\nC: RCPT TO:<hanako@example.jp>\nS: 250 ok\n"
              "C: DATA\nS: 354 go\n" + data + "S: 250 queued\n";
  }
  return script + "C: QUIT\nS: 221 bye\n";
}

void BM_SendRunOfThousandMails(benchmark::State& state) {
  // The Date line the script expects.
  setenv("TZ", "JST-9", 1);
  tzset();
  const std::string body = Body();
  const std::string script = Script(body);
  CSetMenu account;
  account.smtp = "mail.example.jp";
  account.adr = "taro@example.jp";
  for (auto _ : state) {
    state.PauseTiming();
    bench::QueuedSendBox queued(kMails, body, [](CMail& record, int) {
      record.to = "hanako@example.jp";
      record.from = "Taro <taro@example.jp>";
      record.subject = "bench";
    });
    if (!queued.opened) state.SkipWithError("box");
    testing::ScriptedTransport* server = nullptr;
    SendPipeline pipeline(SendPipeline::Dependencies{
        queued.profile, queued.ui, queued.registry, queued.box,
        [&]() -> std::unique_ptr<Transport> {
          auto transport = std::make_unique<testing::ScriptedTransport>(script);
          server = transport.get();
          return transport;
        },
        {}, nullptr, [] { return std::time_t{1234567890}; }, {},
        [](std::string_view) { return std::string("<bench@example.jp>"); }});
    state.ResumeTiming();
    (void)pipeline.Start(account);
    server->Run();
    if (!server->Failures().empty() || pipeline.LastResult().sent != kMails) {
      state.SkipWithError(server->Failures().empty() ? "not all sent" : server->Failures().front().c_str());
    }
  }
  state.counters["mails/s"] = benchmark::Counter(static_cast<double>(kMails) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SendRunOfThousandMails)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lp
