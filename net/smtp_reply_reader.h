#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Gathers one SMTP reply from the pieces the network delivers: any number
// of "NNN-" lines and the last line, which is whole only with its line end.
// A reply split over two or more pieces is therefore still one reply, and
// the conversation never falls out of step. Lines and replies are bounded.

namespace lp {

class SmtpReplyReader {
 public:
  enum class Status {
    Incomplete,  // more bytes are needed
    Complete,    // the reply is whole; see Reply()
    TooLong,     // a line or the whole reply passed its bound
  };

  // RFC 5321 allows 512 bytes a line; SASL challenges and long EHLO lists
  // go beyond that in practice, so the bounds are generous.
  static constexpr std::size_t kMaxLine = 8192;
  static constexpr std::size_t kMaxReply = 65536;

  // Forgets any partial reply.
  void Reset() { reply_.clear(); line_start_ = 0; }

  // Takes bytes from the front of `bytes` up to the end of the reply (or all
  // of them when the reply is not complete yet); what follows the reply is
  // left in `bytes`. After Complete, the next call starts a new reply.
  [[nodiscard]] Status Feed(std::string_view& bytes);

  // The whole reply as received, every line with its line end.
  [[nodiscard]] const std::string& Reply() const { return reply_; }

 private:
  std::string reply_;
  std::size_t line_start_ = 0;  // where the line being gathered begins in reply_
  bool complete_ = false;
};

// The reply code as the classic client reads it: the leading decimal digits
// of the text before the first blank ("250-..." gives 250); 0 when there
// are none. Absurdly long digit runs give 0 rather than overflow.
[[nodiscard]] int SmtpReplyCode(std::string_view reply);

// Whether a reply line (with or without its line end) is not the last one
// of its reply: a three-digit code followed by "-".
[[nodiscard]] bool IsSmtpContinuationLine(std::string_view line);

}  // namespace lp
