#include "net/pop_reply_reader.h"

#include <cstring>
#include <utility>

namespace lp {

void PopReplyReader::ExpectStatusLine() {
  *this = PopReplyReader();
  waiting_ = true;
}

void PopReplyReader::ExpectMultiLine(Sink sink, std::size_t max_data_line, std::uint64_t max_total) {
  *this = PopReplyReader();
  waiting_ = true;
  multi_line_ = true;
  sink_ = std::move(sink);
  max_data_line_ = max_data_line;
  max_total_ = max_total;
}

bool PopReplyReader::IsOk() const { return status_line_.compare(0, 3, "+OK") == 0; }

PopReplyReader::Status PopReplyReader::Finish(Status status) {
  waiting_ = false;
  return status;
}

PopReplyReader::Status PopReplyReader::Feed(std::string_view& bytes) {
  if (!waiting_) return Status::Complete;
  if (!in_data_) {
    const Status status = FeedStatusLine(bytes);
    if (status != Status::Incomplete || !in_data_) return status;
  }
  return FeedData(bytes);
}

PopReplyReader::Status PopReplyReader::FeedStatusLine(std::string_view& bytes) {
  const std::size_t room = kMaxStatusLine - raw_status_line_.size();
  const std::size_t end = bytes.find('\n');
  if (end == std::string_view::npos || end >= room) {
    if (bytes.size() >= room) return Finish(Status::LineTooLong);
    raw_status_line_.append(bytes);
    bytes = {};
    return Status::Incomplete;
  }
  raw_status_line_.append(bytes.substr(0, end + 1));
  bytes.remove_prefix(end + 1);
  status_line_ = raw_status_line_.substr(0, raw_status_line_.size() - 1);
  if (!status_line_.empty() && status_line_.back() == '\r') status_line_.pop_back();
  if (!multi_line_ || !IsOk()) return Finish(Status::Complete);

  // The status line opens the data: its line end may be the first half of
  // the terminator of an empty response.
  in_data_ = true;
  if (!sink_(raw_status_line_)) return Finish(Status::SinkFailed);
  total_ = raw_status_line_.size();
  tail_size_ = 0;
  for (std::size_t i = raw_status_line_.size() > 4 ? raw_status_line_.size() - 4 : 0;
       i < raw_status_line_.size(); ++i) {
    tail_[tail_size_++] = raw_status_line_[i];
  }
  return Status::Incomplete;
}

PopReplyReader::Status PopReplyReader::FeedData(std::string_view& bytes) {
  static constexpr char kTerminator[] = "\r\n.\r\n";
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  // The byte `back` places before data[i], reaching into the kept tail.
  auto before = [&](std::size_t i, std::size_t back) -> int {
    if (i >= back) return static_cast<unsigned char>(data[i - back]);
    const std::size_t from_tail = back - i;
    if (from_tail > tail_size_) return -1;
    return static_cast<unsigned char>(tail_[tail_size_ - from_tail]);
  };

  std::size_t end = size;  // bytes of this piece that belong to the reply
  bool complete = false;
  std::size_t line_start = 0;
  std::size_t pos = 0;
  while (pos < size) {
    const void* found = std::memchr(data + pos, '\n', size - pos);
    if (found == nullptr) break;
    const std::size_t i = static_cast<std::size_t>(static_cast<const char*>(found) - data);
    const std::size_t line = line_length_ + (i - line_start);
    if (max_data_line_ != 0 && line > max_data_line_) return Finish(Status::LineTooLong);
    line_length_ = 0;
    line_start = i + 1;
    bool terminator = true;
    for (std::size_t back = 1; back <= 4 && terminator; ++back) {
      terminator = before(i, back) == static_cast<unsigned char>(kTerminator[4 - back]);
    }
    pos = i + 1;
    if (terminator) {
      end = i + 1;
      complete = true;
      break;
    }
  }
  if (!complete) {
    line_length_ += size - line_start;
    if (max_data_line_ != 0 && line_length_ > max_data_line_) return Finish(Status::LineTooLong);
  }
  if (max_total_ != 0 && total_ + end > max_total_) return Finish(Status::TooLarge);

  const std::string_view piece = bytes.substr(0, end);
  if (!piece.empty() && !sink_(piece)) return Finish(Status::SinkFailed);
  total_ += end;
  bytes.remove_prefix(end);
  if (complete) return Finish(Status::Complete);

  // Keep the last four bytes of the response for the next piece.
  char joined[8];
  std::size_t n = 0;
  for (std::size_t i = 0; i < tail_size_; ++i) joined[n++] = tail_[i];
  for (std::size_t i = piece.size() > 4 ? piece.size() - 4 : 0; i < piece.size(); ++i) joined[n++] = piece[i];
  const std::size_t keep = n > 4 ? 4 : n;
  std::memcpy(tail_, joined + (n - keep), keep);
  tail_size_ = keep;
  return Status::Incomplete;
}

}  // namespace lp
