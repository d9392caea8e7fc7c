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

bool IsMultibyteUtf8(std::string_view bytes) {
  bool multibyte = false;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if (!IsContinuation(static_cast<unsigned char>(bytes[i + k]))) return false;
    }
    // Overlong three- and four-byte forms and UTF-16 surrogates.
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F)) {
      return false;
    }
    multibyte = true;
    i += length;
  }
  return multibyte;
}

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
