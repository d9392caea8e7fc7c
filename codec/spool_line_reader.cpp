#include "codec/spool_line_reader.h"

#include <algorithm>
#include <cstring>

namespace lp {
namespace {

constexpr std::size_t kReadBlock = 256 * 1024;

}  // namespace

void SpoolLineReader::Reset() {
  buffer_.assign(kReadBlock, '\0');
  pos_ = end_ = 0;
  bytes_read_ = 0;
  continued_ = false;
  read_failed_ = false;
}

bool SpoolLineReader::Open(std::string_view sjis_path) {
  Reset();
  // A directory opens for reading on Linux but is no spool.
  return IsRegularFile(sjis_path) && file_.Open(sjis_path, File::Mode::Read);
}

bool SpoolLineReader::OpenNative(std::string_view native_path) {
  Reset();
  return file_.OpenNative(native_path, File::Mode::ReadRegular);
}

bool SpoolLineReader::Fill(std::size_t wanted) {
  if (end_ - pos_ >= wanted) return true;
  if (!file_.IsOpen()) return end_ > pos_;
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  while (end_ - pos_ < wanted && file_.IsOpen()) {
    const std::int64_t got = file_.Read(buffer_.data() + end_, buffer_.size() - end_);
    if (got <= 0) {
      if (got < 0) read_failed_ = true;
      file_.Close();
      break;
    }
    end_ += static_cast<std::size_t>(got);
    bytes_read_ += static_cast<std::uint64_t>(got);
  }
  return end_ > pos_;
}

bool SpoolLineReader::SkipLineBreak() {
  if (!Fill(2)) return false;
  if (buffer_[pos_] == '\n') {
    ++pos_;
    return true;
  }
  if (buffer_[pos_] == '\r' && end_ - pos_ >= 2 && buffer_[pos_ + 1] == '\n') {
    pos_ += 2;
    return true;
  }
  return false;
}

bool SpoolLineReader::ReadSpoolLine(SpoolLine& line) {
  line.text.clear();
  line.starts_line = !continued_;
  line.continues = false;
  continued_ = false;
  if (!Fill(1)) return false;
  while (line.text.size() < kMaxSpoolLineBytes && Fill(1)) {
    const std::size_t take = std::min(kMaxSpoolLineBytes - line.text.size(), end_ - pos_);
    const char* start = buffer_.data() + pos_;
    const void* lf = std::memchr(start, '\n', take);
    if (lf != nullptr) {
      const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
      line.text.append(start, n);
      pos_ += n + 1;
      if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
      return true;
    }
    line.text.append(start, take);
    pos_ += take;
  }
  if (line.text.size() >= kMaxSpoolLineBytes) {
    // A CR LF split by the limit still ends this line.
    if (line.text.back() == '\r' && Fill(1) && buffer_[pos_] == '\n') {
      ++pos_;
      line.text.pop_back();
      return true;
    }
    // The line break right after a full piece ends the line; anything else
    // continues it in the next piece.
    if (!SkipLineBreak()) continued_ = Fill(1);
    line.continues = continued_;
    return true;
  }
  // The last line of a spool without a final line break.
  if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
  return true;
}

void RemoveDotStuffing(std::string& line) {
  if (!line.empty() && line.front() == '.') line.erase(0, 1);
}

}  // namespace lp
