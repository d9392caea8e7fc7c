#include "codec/utf8_stream.h"

#include "codec/japanese_text.h"

namespace lp {
namespace {

// Bytes of the sequence a lead byte starts, or 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::size_t IncompleteUtf8Tail(std::string_view bytes) {
  // Look back over at most three continuation bytes for the lead byte.
  for (std::size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
    const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if (IsContinuation(c)) continue;
    const std::size_t length = SequenceLength(c);
    return length > back ? back : 0;
  }
  return 0;
}

void Utf8StreamToSjis::Convert(std::string_view utf8, std::string& out) {
  if (utf8.empty()) return;
  std::string joined;
  if (!pending_.empty()) {
    joined = pending_ + std::string(utf8);
    pending_.clear();
    utf8 = joined;
  }
  const std::size_t tail = IncompleteUtf8Tail(utf8);
  out += Utf8ToSjis(utf8.substr(0, utf8.size() - tail));
  pending_.assign(utf8.substr(utf8.size() - tail));
}

void Utf8StreamToSjis::Finish(std::string& out) {
  if (pending_.empty()) return;
  out += Utf8ToSjis(pending_);
  pending_.clear();
}

}  // namespace lp
