#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Gathers one POP3 reply from the pieces the network delivers: a status
// line up to its line end, or a multi-line response up to the line ".".
// Multi-line data is streamed to a sink as it arrives, so memory stays
// bounded however large a message is; the terminator is found even when it
// is split over two or more pieces.

namespace lp {

class PopReplyReader {
 public:
  // Receives raw bytes of a positive multi-line response, from the start of
  // its "+OK" line through the terminating ".\r\n"; false stops the reply.
  using Sink = std::function<bool(std::string_view)>;

  enum class Status {
    Incomplete,   // more bytes are needed
    Complete,     // the reply is whole; see StatusLine() and IsOk()
    LineTooLong,  // a line passed its bound without a line end
    TooLarge,     // a multi-line response passed its total bound
    SinkFailed,   // the sink refused the data
  };

  // Status lines longer than this (RFC 1939 allows 512) are hostile.
  static constexpr std::size_t kMaxStatusLine = 4096;

  // Waits for a single status line.
  void ExpectStatusLine();
  // Waits for a multi-line response. A "-ERR" status completes it at once.
  // `max_data_line` bounds each data line (0: unbounded), `max_total` the
  // whole response (0: unbounded).
  void ExpectMultiLine(Sink sink, std::size_t max_data_line = 0, std::uint64_t max_total = 0);

  // Takes bytes from the front of `bytes` up to the end of the reply (or all
  // of them when the reply is not complete yet); what follows the reply is
  // left in `bytes`.
  [[nodiscard]] Status Feed(std::string_view& bytes);

  [[nodiscard]] bool Waiting() const { return waiting_; }
  // The first line of the reply without its line end.
  [[nodiscard]] const std::string& StatusLine() const { return status_line_; }
  [[nodiscard]] bool IsOk() const;
  // Bytes of the multi-line response given to the sink so far.
  [[nodiscard]] std::uint64_t DataBytes() const { return total_; }

 private:
  Status FeedStatusLine(std::string_view& bytes);
  Status FeedData(std::string_view& bytes);
  Status Finish(Status status);

  bool waiting_ = false;
  bool multi_line_ = false;
  bool in_data_ = false;
  Sink sink_;
  std::size_t max_data_line_ = 0;
  std::uint64_t max_total_ = 0;
  std::string status_line_;
  std::string raw_status_line_;
  // The last bytes of the response so far, to find a terminator that spans pieces.
  char tail_[4] = {0, 0, 0, 0};
  std::size_t tail_size_ = 0;
  std::size_t line_length_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace lp
