#include "store/text_copy.h"

#include <algorithm>
#include <cstring>

namespace lp {
namespace {

constexpr std::size_t kReadWindow = 1 << 20;
constexpr std::size_t kWriteBuffer = 1 << 20;

}  // namespace

BufferedTextReader::BufferedTextReader(COrvexFile& file) : file_(file), buffer_(kReadWindow) {}

void BufferedTextReader::Seek(std::uint64_t offset) {
  if (offset >= window_start_ && offset <= window_start_ + filled_) {
    cursor_ = static_cast<std::size_t>(offset - window_start_);
    return;
  }
  file_.Seek(offset);
  file_position_ = offset;
  file_position_known_ = true;
  window_start_ = offset;
  cursor_ = 0;
  filled_ = 0;
}

bool BufferedTextReader::Fill() {
  if (cursor_ < filled_) return true;
  const std::uint64_t next = window_start_ + filled_;
  if (!file_position_known_ || file_position_ != next) {
    file_.Seek(next);
    file_position_known_ = true;
  }
  window_start_ = next;
  cursor_ = 0;
  filled_ = file_.Read(buffer_.data(), buffer_.size());
  file_position_ = next + filled_;
  return filled_ > 0;
}

std::uint64_t BufferedTextReader::CopyBytes(std::uint64_t count, BufferedTextWriter& out) {
  std::uint64_t copied = 0;
  while (copied < count && Fill()) {
    const std::size_t piece =
        static_cast<std::size_t>(std::min<std::uint64_t>(count - copied, filled_ - cursor_));
    out.Write(std::string_view(buffer_.data() + cursor_, piece));
    cursor_ += piece;
    copied += piece;
  }
  return copied;
}

void BufferedTextReader::CopyLines(std::uint64_t start, std::uint64_t end, BufferedTextWriter& out) {
  Seek(start);
  // A line is taken whole whatever its length (never split into two), and
  // only its ending changes: "\n" or "\r\n" becomes "\r\n".
  bool held_cr = false;       // a CR at the end of a window, not yet known to end the line
  bool line_started = false;  // part of the current line has been written
  while (Fill()) {
    const char* begin = buffer_.data() + cursor_;
    const std::size_t available = filled_ - cursor_;
    const void* found = std::memchr(begin, '\n', available);
    if (!found) {
      std::size_t take = available;
      if (held_cr) out.Write("\r");
      held_cr = begin[take - 1] == '\r';
      if (held_cr) --take;
      out.Write(std::string_view(begin, take));
      line_started = true;
      cursor_ = filled_;
      continue;
    }
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - begin);
    cursor_ += length + 1;
    if (length > 0) {
      if (held_cr) out.Write("\r");
      if (begin[length - 1] == '\r') --length;
      out.Write(std::string_view(begin, length));
    }
    held_cr = false;
    line_started = false;
    out.Write("\r\n");
    if (Position() >= end) return;
  }
  // The last line of the file had no line feed.
  if (line_started) out.Write("\r\n");
}

BufferedTextWriter::BufferedTextWriter(COrvexFile& file, std::uint64_t position)
    : file_(file), position_(position) {
  buffer_.reserve(kWriteBuffer);
}

void BufferedTextWriter::Write(std::string_view bytes) {
  position_ += bytes.size();
  if (buffer_.size() + bytes.size() <= kWriteBuffer) {
    buffer_.append(bytes);
    return;
  }
  Flush();
  if (bytes.size() >= kWriteBuffer) {
    file_.Write(bytes);
  } else {
    buffer_.append(bytes);
  }
}

void BufferedTextWriter::Flush() {
  if (buffer_.empty()) return;
  file_.Write(buffer_);
  buffer_.clear();
}

}  // namespace lp
