#pragma once

#include <string>
#include <string_view>

// UTF-8 text that arrives in pieces (Base64 lines of 57 bytes, quoted-
// printable lines with soft breaks, spool lines cut at the length limit)
// converted to Shift_JIS piece by piece: a character cut at the end of a
// piece waits for the rest of its bytes in the next piece, so every
// character converts whole.

namespace lp {

class Utf8StreamToSjis {
 public:
  // Appends the Shift_JIS of every complete character so far to `out`; an
  // incomplete character at the end is kept for the next call.
  void Convert(std::string_view utf8, std::string& out);
  // Converts whatever is still kept (a broken character becomes the
  // replacement character) and starts afresh.
  void Finish(std::string& out);
  void Reset() { pending_.clear(); }

 private:
  std::string pending_;  // at most three bytes of one character
};

// True when `bytes` is well-formed UTF-8 holding at least one multi-byte
// character. Shift_JIS and EUC-JP text practically never is: their lead
// bytes stand where UTF-8 wants continuation bytes, or the other way round.
[[nodiscard]] bool IsMultibyteUtf8(std::string_view bytes);

// Length of the incomplete UTF-8 sequence at the end of `bytes` (0 to 3).
[[nodiscard]] std::size_t IncompleteUtf8Tail(std::string_view bytes);

}  // namespace lp
