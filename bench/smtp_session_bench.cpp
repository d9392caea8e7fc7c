#include <benchmark/benchmark.h>

#include <deque>
#include <string>

#include "net/smtp_session.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

// A message of about `size` bytes in 76-character lines, ended by ".".
std::string Message(std::size_t size) {
  std::string body = "From: a@example.jp\r\nSubject: bench\r\n\r\n";
  while (body.size() < size) body += std::string(76, 'x') + "\r\n";
  return body + ".\r\n";
}

// An in-memory SMTP server that answers each command at once and swallows
// the message data, looking only for its final ".".
class MemoryServer : public Transport {
 public:
  void Connect(const TransportEndpoint&, TransportEvents& events) override {
    events_ = &events;
    events.OnConnected();
    Queue("220 ready\r\n");
  }
  bool Send(std::string_view bytes) override {
    if (in_data_) {
      data_bytes_ += bytes.size();
      tail_ += bytes.substr(bytes.size() > 5 ? bytes.size() - 5 : 0);
      if (tail_.size() > 5) tail_.erase(0, tail_.size() - 5);
      if (tail_ == "\r\n.\r\n") {
        in_data_ = false;
        tail_.clear();
        Queue("250 queued\r\n");
      }
      return true;
    }
    if (bytes.rfind("DATA", 0) == 0) {
      in_data_ = true;
      Queue("354 go\r\n");
    } else if (bytes.rfind("QUIT", 0) == 0) {
      Queue("221 bye\r\n");
    } else {
      Queue("250 ok\r\n");
    }
    return true;
  }
  void StartTls() override {}
  void Close() override { closed_ = true; }

  void Run() {
    while (!closed_ && !pending_.empty()) {
      const std::string reply = std::move(pending_.front());
      pending_.pop_front();
      events_->OnReceived(reply);
    }
  }
  [[nodiscard]] std::uint64_t DataBytes() const { return data_bytes_; }

 private:
  void Queue(std::string bytes) { pending_.push_back(std::move(bytes)); }

  TransportEvents* events_ = nullptr;
  std::deque<std::string> pending_;
  std::string tail_;
  std::uint64_t data_bytes_ = 0;
  bool in_data_ = false;
  bool closed_ = false;
};

// The same prepared message handed out `count` times.
class RepeatQueue : public SmtpMailQueue {
 public:
  RepeatQueue(int count, SmtpMail mail) : left_(count), mail_(std::move(mail)) {}
  SmtpNextMail TakeNext(SmtpMail& mail) override {
    if (left_ == 0) return SmtpNextMail::NoneLeft;
    --left_;
    mail = mail_;
    return SmtpNextMail::Ready;
  }
  void Delivered() override {}

 private:
  int left_;
  SmtpMail mail_;
};

// range(0) mails of range(1) bytes in one dialogue, log written as usual.
void BM_SmtpSend(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string message = Message(static_cast<std::size_t>(state.range(1)));
  testing::TempDirectory dir(true);
  testing::WriteFileBytes(dir.File("smail.$$$"), message);
  RecordingUserInterface ui;
  SmtpSessionSettings settings;
  settings.host = "localhost";
  settings.mail_total = count;
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    MemoryServer server;
    bool ok = false;
    SmtpSession session(server, ui, [&ok](const SmtpSessionResult& result) { ok = result.outcome == SmtpOutcome::Sent; });
    RepeatQueue queue(count, SmtpMail{"a@example.jp", {"b@example.jp", "c@example.jp"}, "smail.$$$"});
    session.Start(settings, nullptr, &queue);
    server.Run();
    if (!ok) state.SkipWithError("the dialogue failed");
    bytes += server.DataBytes();
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SmtpSend)->Args({1000, 4 * 1024})->Args({1, 10 * 1024 * 1024})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lp
