#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/transport.h"

// A fake server for protocol sessions that replays a scripted dialogue:
//
//   # comment
//   S: +OK ready          the server sends the text and CR LF; S lines in a
//   S: second line        row travel as one piece
//   S-: no line end       the server sends the text without CR LF
//   --                    ends a piece (the next S line starts another)
//   C: USER alice         the client must have sent exactly this line
//   STARTTLS              the client must have asked for TLS; it starts
//   CLOSE reason          the server goes away (or the idle timeout fires)
//   REFUSE reason         (first line only) the connection fails
//   SENDFAIL              the client's next Send fails
//   IDLE                  the idle timeout elapses: the connection ends
//                         ("idle timeout") unless the client paused the timer
//   PAUSE                 Run() returns here; the next Run() goes on after it
//
// Texts take the escapes \r \n \0 \\ and \xHH. With a piece size, every
// piece is cut into pieces of that many bytes, so one dialogue checks replies
// split at every place. With HoldWrites, sent bytes stay queued (QueuedBytes)
// until a C: line needs more than has arrived; the server then takes all of
// them and the client hears OnWritten, as over a slow network.

namespace lp::testing {

class ScriptedTransport : public Transport {
 public:
  explicit ScriptedTransport(std::string_view script, std::size_t piece_size = 0);

  // Reads a script file by native path.
  [[nodiscard]] static std::string LoadScript(const std::string& native_path);

  void Connect(const TransportEndpoint& endpoint, TransportEvents& events) override;
  bool Send(std::string_view bytes) override;
  [[nodiscard]] std::uint64_t QueuedBytes() const override { return queued_; }
  void StartTls() override;
  void Close() override;
  void SetIdleTimerPaused(bool paused) override;

  // Plays the script against the session that called Connect, up to its
  // end or its next PAUSE.
  void Run();
  // Whether the script has been played to its end.
  [[nodiscard]] bool Finished() const { return next_step_ >= steps_.size() && started_; }

  void HoldWrites() { hold_writes_ = true; }
  // Behaves as a transport without a pausable timer: IDLE always ends it.
  void IgnoreIdlePause() { pausable_ = false; }
  [[nodiscard]] bool IdleTimerPaused() const { return idle_paused_; }
  // How often the client heard OnWritten, and the most it ever had queued.
  [[nodiscard]] int WrittenEvents() const { return written_events_; }
  [[nodiscard]] std::uint64_t LargestQueue() const { return largest_queue_; }

  // Everything that went against the script; empty when the dialogue matched.
  [[nodiscard]] const std::vector<std::string>& Failures() const { return failures_; }
  [[nodiscard]] const TransportEndpoint& Endpoint() const { return endpoint_; }
  [[nodiscard]] bool Closed() const { return closed_; }
  [[nodiscard]] bool TlsRequested() const { return tls_requested_; }
  // Every byte the client sent.
  [[nodiscard]] const std::string& Sent() const { return all_sent_; }

 private:
  enum class Kind { Server, Boundary, Client, StartTls, Close, Refuse, SendFail, Idle, Pause };
  struct Step {
    Kind kind;
    std::string text;
    int line;
  };

  void Deliver(const std::string& piece);
  void Fail(const Step& step, const std::string& what);

  std::vector<Step> steps_;
  std::size_t piece_size_;
  TransportEvents* events_ = nullptr;
  TransportEndpoint endpoint_;
  std::string pending_sent_;
  std::string all_sent_;
  std::vector<std::string> failures_;
  bool closed_ = false;
  bool tls_requested_ = false;
  bool fail_next_send_ = false;
  bool hold_writes_ = false;
  bool pausable_ = true;
  bool idle_paused_ = false;
  bool started_ = false;
  std::size_t next_step_ = 0;
  std::uint64_t queued_ = 0;
  std::uint64_t largest_queue_ = 0;
  int written_events_ = 0;
};

}  // namespace lp::testing
