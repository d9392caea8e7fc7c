#include <benchmark/benchmark.h>

#include <deque>
#include <string>

#include "net/pop_reply_reader.h"
#include "net/pop_session.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

// A message of about `size` bytes in 76-character lines, as mail arrives.
std::string MessageBody(std::size_t size) {
  std::string body = "From: a@example.jp\r\nSubject: bench\r\nMessage-Id: <b@example.jp>\r\n\r\n";
  while (body.size() < size) body += std::string(76, 'x') + "\r\n";
  return body;
}

// An in-memory POP3 server that answers each command at once; the bytes
// reach the session in network-sized pieces.
class MemoryServer : public Transport {
 public:
  MemoryServer(int count, std::string message) : count_(count), message_(std::move(message)) {}

  void Connect(const TransportEndpoint&, TransportEvents& events) override {
    events_ = &events;
    events.OnConnected();
    Queue("+OK ready\r\n");
  }
  bool Send(std::string_view line) override {
    if (line.rfind("RETR", 0) == 0) {
      Queue("+OK\r\n" + message_ + ".\r\n");
    } else if (line.rfind("STAT", 0) == 0) {
      Queue("+OK " + std::to_string(count_) + " " + std::to_string(count_ * message_.size()) + "\r\n");
    } else if (line.rfind("UIDL", 0) == 0) {
      Queue("-ERR\r\n");
    } else {
      Queue("+OK\r\n");
    }
    return true;
  }
  void StartTls() override {}
  void Close() override { closed_ = true; }

  void Run() {
    while (!closed_ && !pending_.empty()) {
      std::string piece = std::move(pending_.front());
      pending_.pop_front();
      for (std::size_t at = 0; at < piece.size() && !closed_; at += kPiece) {
        events_->OnReceived(std::string_view(piece).substr(at, kPiece));
      }
    }
  }

 private:
  static constexpr std::size_t kPiece = 16384;
  void Queue(std::string bytes) { pending_.push_back(std::move(bytes)); }

  int count_;
  std::string message_;
  TransportEvents* events_ = nullptr;
  std::deque<std::string> pending_;
  bool closed_ = false;
};

// Receives `count` messages of 10 KB; range(1) = 1 deletes each after
// retrieving it (the spool is flushed to the disk before every DELE).
void BM_PopReceive(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const bool delete_after = state.range(1) != 0;
  const std::string message = MessageBody(10 * 1024);
  testing::TempDirectory dir(true);
  RecordingUserInterface ui;
  PopSessionSettings settings;
  settings.user = "alice";
  settings.password = "secret";
  settings.keep_on_server = !delete_after;
  settings.received_uid_list = "UIDLb.txt";
  settings.new_uid_list = "UIDL2b.txt";
  settings.log_path = "/dev/null";  // the transcript of a 10 MB session is not what is measured
  for (auto _ : state) {
    (void)RemoveFile("inbox.log");
    MemoryServer server(count, message);
    int received = 0;
    CPopSession session(server, ui, [&](const PopSessionResult& result) { received = result.received; });
    session.StartReceive(settings);
    server.Run();
    if (received != count) state.SkipWithError("not every message arrived");
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.SetBytesProcessed(state.iterations() * count * static_cast<std::int64_t>(message.size()));
}
BENCHMARK(BM_PopReceive)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

// The reply reader alone over a 50 MB response in 16 KiB pieces.
void BM_ReplyReaderTerminatorScan(benchmark::State& state) {
  std::string response = "+OK\r\n";
  const std::string body = MessageBody(50 * 1024 * 1024);
  response += body + ".\r\n";
  for (auto _ : state) {
    PopReplyReader reader;
    std::size_t sunk = 0;
    reader.ExpectMultiLine([&sunk](std::string_view data) {
      sunk += data.size();
      return true;
    });
    for (std::size_t at = 0; at < response.size(); at += 16384) {
      std::string_view piece = std::string_view(response).substr(at, 16384);
      (void)reader.Feed(piece);
    }
    benchmark::DoNotOptimize(sunk);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(response.size()));
}
BENCHMARK(BM_ReplyReaderTerminatorScan)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lp
