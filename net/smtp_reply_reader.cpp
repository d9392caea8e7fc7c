#include "net/smtp_reply_reader.h"

namespace lp {

bool IsSmtpContinuationLine(std::string_view line) {
  if (line.size() < 4 || line[3] != '-') return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
  }
  return true;
}

int SmtpReplyCode(std::string_view reply) {
  const std::size_t blank = reply.find(' ');
  const std::string_view word = reply.substr(0, blank);
  int code = 0;
  for (std::size_t i = 0; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    if (i >= 9) return 0;
    code = code * 10 + (word[i] - '0');
  }
  return code;
}

SmtpReplyReader::Status SmtpReplyReader::Feed(std::string_view& bytes) {
  if (complete_) {
    Reset();
    complete_ = false;
  }
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::size_t take = end == std::string_view::npos ? bytes.size() : end + 1;
    if (reply_.size() - line_start_ + take > kMaxLine + 2 || reply_.size() + take > kMaxReply) {
      Reset();
      return Status::TooLong;
    }
    reply_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (end == std::string_view::npos) return Status::Incomplete;
    const std::string_view line = std::string_view(reply_).substr(line_start_);
    line_start_ = reply_.size();
    if (!IsSmtpContinuationLine(line)) {
      complete_ = true;
      return Status::Complete;
    }
  }
  return Status::Incomplete;
}

}  // namespace lp
