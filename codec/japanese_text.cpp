#include "codec/japanese_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "codec/japanese_chars.h"

namespace lp {
namespace {

using japanese::CharAt;
using japanese::JisToSjisCode;
using japanese::SjisToJisCode;

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;  // SO: half-width katakana follow
constexpr unsigned char kShiftIn = 0x0F;   // SI: back to ASCII
// 〓: stands for a JIS X 0212 character, which Shift_JIS cannot hold.
constexpr std::uint16_t kGetaMark = 0x81AC;

// The arithmetic of JisToSjisCode / SjisToJisCode split into per-byte tables
// for the inner loops: the lead byte depends on one input byte, the trail
// byte on the other and the parity (JIS) or the trail range (Shift_JIS).
struct PairTables {
  std::array<unsigned char, 256> sjis_lead{};      // by j1
  std::array<unsigned char, 512> sjis_trail{};     // by (j1 & 1) * 256 + j2
  std::array<unsigned char, 256> jis_row{};        // by s1, 0 when not convertible
  std::array<unsigned char, 256> jis_row_step{};   // by s2: 0 or 1 added to the row
  std::array<unsigned char, 256> jis_cell{};       // by s2, 0 when not a trail byte
};

constexpr PairTables kPairTables = [] {
  PairTables t;
  for (unsigned j = 0x21; j <= 0x7E; ++j) {
    t.sjis_lead[j] = static_cast<unsigned char>(JisToSjisCode(j, 0x21) >> 8);
    t.sjis_trail[256 + j] = static_cast<unsigned char>(JisToSjisCode(0x21, j) & 0xFF);
    t.sjis_trail[j] = static_cast<unsigned char>(JisToSjisCode(0x22, j) & 0xFF);
  }
  for (unsigned s = 0; s < 256; ++s) {
    t.jis_row[s] = static_cast<unsigned char>(SjisToJisCode(s, 0x40) >> 8);
    const std::uint16_t code = SjisToJisCode(0x81, s);
    if (code != 0) {
      t.jis_row_step[s] = static_cast<unsigned char>((code >> 8) - 0x21);
      t.jis_cell[s] = static_cast<unsigned char>(code & 0xFF);
    }
  }
  return t;
}();

bool IsJisByte(unsigned char c) { return static_cast<unsigned>(c - 0x21) <= 0x7E - 0x21; }

// JIS X 0208 code of a Shift_JIS pair, or 0; the same as SjisToJisCode.
std::uint16_t SjisPairToJis(unsigned char s1, unsigned char s2) {
  const unsigned row = kPairTables.jis_row[s1];
  const unsigned cell = kPairTables.jis_cell[s2];
  if (row == 0 || cell == 0) return 0;
  return static_cast<std::uint16_t>((row + kPairTables.jis_row_step[s2]) << 8 | cell);
}

constexpr bool PairTablesMatchArithmetic() {
  for (unsigned s1 = 0x80; s1 < 0x100; ++s1) {
    for (unsigned s2 = 0; s2 < 0x100; ++s2) {
      const unsigned row = kPairTables.jis_row[s1];
      const unsigned cell = kPairTables.jis_cell[s2];
      const unsigned table = row == 0 || cell == 0 ? 0 : (row + kPairTables.jis_row_step[s2]) << 8 | cell;
      if (table != SjisToJisCode(s1, s2)) return false;
    }
  }
  for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
      const unsigned table = kPairTables.sjis_lead[j1] << 8 | kPairTables.sjis_trail[(j1 & 1) * 256 + j2];
      if (table != JisToSjisCode(j1, j2)) return false;
    }
  }
  return true;
}
static_assert(PairTablesMatchArithmetic());

const unsigned char* Bytes(std::string_view text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

unsigned char* Bytes(std::string& text) { return reinterpret_cast<unsigned char*>(text.data()); }

void PutCode(unsigned char*& w, std::uint16_t code) {
  w[0] = static_cast<unsigned char>(code >> 8);
  w[1] = static_cast<unsigned char>(code & 0xFF);
  w += 2;
}

// Output buffer written through a pointer; the caller asks for room before
// each step, which keeps the inner loops free of push_back bookkeeping.
class ByteWriter {
 public:
  explicit ByteWriter(std::size_t initial) : buffer_(initial, '\0'), w_(Bytes(buffer_)) {}

  unsigned char*& Room(std::size_t n) {
    if (static_cast<std::size_t>(Bytes(buffer_) + buffer_.size() - w_) < n) {
      std::size_t used = Used();
      buffer_.resize(buffer_.size() * 2 + n);
      w_ = Bytes(buffer_) + used;
    }
    return w_;
  }

  // Bytes that may be written without asking for room again.
  [[nodiscard]] std::size_t Remaining() const { return buffer_.size() - Used(); }

  std::string Take() {
    buffer_.resize(Used());
    return std::move(buffer_);
  }

 private:
  std::size_t Used() const {
    return static_cast<std::size_t>(w_ - reinterpret_cast<const unsigned char*>(buffer_.data()));
  }

  std::string buffer_;
  unsigned char* w_;
};

bool InRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

}  // namespace

JapaneseCode DetectJapaneseCode(std::string_view text) {
  const unsigned char* p = Bytes(text);
  const std::size_t n = text.size();
  // A byte beyond the view reads as NUL, as it would in a NUL-terminated string.
  auto at = [&](std::size_t i) -> unsigned char { return i < n ? p[i] : 0; };
  JapaneseCode state = JapaneseCode::Undecided;
  bool euc_unless_sjis = false;
  std::size_t i = 0;
  while (i < n && p[i] != 0 &&
         (state == JapaneseCode::Undecided || state == JapaneseCode::EucOrSjis)) {
    const unsigned char c = p[i];
    const unsigned char d = at(i + 1);
    if (c == kEsc) {
      if (d == '$' || d == '&' || d == '(') {
        const unsigned char e = at(i + 2);
        if (e == 'B' || e == '@' || e == 'J' || e == 'H') return JapaneseCode::Jis;
        if (e == 0) break;
        i += 3;
      } else {
        if (d == 0) break;
        i += 2;
      }
      continue;
    }
    if (InRange(c, 0x81, 0x8D) || InRange(c, 0x8F, 0x9F)) return JapaneseCode::Sjis;
    if (c == 0x8E) {
      if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0) || InRange(d, 0xE0, 0xFC)) {
        return JapaneseCode::Sjis;
      }
      if (InRange(d, 0xA1, 0xDF)) state = JapaneseCode::EucOrSjis;
      if (d == 0) break;
      i += 2;
      continue;
    }
    if (InRange(c, 0xF0, 0xFE)) {
      // Lead bytes F0-FC are also Shift_JIS (IBM extension kanji such as
      // 髙 and 﨑, user-defined characters): a trail that EUC-JP cannot have
      // decides Shift_JIS, and otherwise the text counts as EUC-JP only if
      // nothing later shows it to be Shift_JIS.
      if (c >= 0xFD || InRange(d, 0xFD, 0xFE)) return JapaneseCode::Euc;
      if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0)) return JapaneseCode::Sjis;
      euc_unless_sjis = true;
      state = JapaneseCode::EucOrSjis;
      if (d == 0) break;
      i += 2;
      continue;
    }
    if (InRange(c, 0xE0, 0xEF)) {
      if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0)) return JapaneseCode::Sjis;
      if (InRange(d, 0xFD, 0xFE)) return JapaneseCode::Euc;
      if (InRange(d, 0xA1, 0xFC)) state = JapaneseCode::EucOrSjis;
      if (d == 0) break;
      i += 2;
      continue;
    }
    if (InRange(c, 0xA1, 0xDF)) {
      if (InRange(d, 0xF0, 0xFE) || InRange(d, 0xE0, 0xEF)) return JapaneseCode::Euc;
      if (d < 0xA0) return JapaneseCode::Sjis;
      if (InRange(d, 0xA1, 0xDF)) state = JapaneseCode::EucOrSjis;
      i += 2;
      continue;
    }
    ++i;
  }
  if (euc_unless_sjis && state == JapaneseCode::EucOrSjis) return JapaneseCode::Euc;
  return state;
}

std::string ConvertToSjis(std::string_view text) {
  std::string out;
  switch (DetectJapaneseCode(text)) {
    case JapaneseCode::Jis:
      JisToSjis(text, out);
      return out;
    case JapaneseCode::Euc:
      EucToSjis(text, out);
      return out;
    case JapaneseCode::Sjis:
    case JapaneseCode::Undecided:
    case JapaneseCode::EucOrSjis:
      break;
  }
  return std::string(text);
}

int JisToSjis(std::string_view text, std::string& out) {
  enum class Mode { Ascii, Kanji, Kana, Supplementary };
  // Escape sequences shrink and pairs keep their size, so the input length
  // bounds the output.
  std::string result(text.size(), '\0');
  unsigned char* w = Bytes(result);
  const unsigned char* p = Bytes(text);
  const unsigned char* const end = p + text.size();
  Mode mode = Mode::Ascii;
  int count = 0;
  while (p < end) {
    const unsigned char c = *p;
    if (c == kEsc) {
      if (end - p >= 3) {
        const unsigned char a = p[1];
        const unsigned char b = p[2];
        if ((a == '$' && (b == 'B' || b == '@')) || (a == '&' && b == '@')) {
          mode = Mode::Kanji;
          p += 3;
          continue;
        }
        if (a == '(' && (b == 'B' || b == 'J' || b == 'H')) {
          mode = Mode::Ascii;
          p += 3;
          continue;
        }
        if (a == '(' && b == 'I') {
          mode = Mode::Kana;
          p += 3;
          continue;
        }
      }
      if (end - p >= 4 && p[1] == '$' && p[2] == '(' && p[3] == 'D') {
        mode = Mode::Supplementary;
        p += 4;
        continue;
      }
    } else if (c == kShiftOut) {
      mode = Mode::Kana;
      ++p;
      continue;
    } else if (c == kShiftIn) {
      mode = Mode::Ascii;
      ++p;
      continue;
    }
    switch (mode) {
      case Mode::Kanji:
        if (end - p >= 2 && IsJisByte(c) && IsJisByte(p[1])) {
          // A run of pairs: the bulk of Japanese mail.
          do {
            const unsigned char j1 = p[0];
            w[0] = kPairTables.sjis_lead[j1];
            w[1] = kPairTables.sjis_trail[(j1 & 1u) * 256 + p[1]];
            w += 2;
            p += 2;
            ++count;
          } while (end - p >= 2 && IsJisByte(p[0]) && IsJisByte(p[1]));
          continue;
        }
        break;
      case Mode::Supplementary:
        // JIS X 0212 has no Shift_JIS codes; mapping its pairs as JIS X 0208
        // would show unrelated kanji, so each becomes the substitution mark.
        if (end - p >= 2 && IsJisByte(c) && IsJisByte(p[1])) {
          PutCode(w, kGetaMark);
          ++count;
          p += 2;
          continue;
        }
        break;
      case Mode::Kana:
        // Only 0x21-0x5F are katakana; CR, LF and the like pass through.
        if (InRange(c, 0x21, 0x5F)) {
          *w++ = static_cast<unsigned char>(c + 0x80);
          ++p;
          continue;
        }
        break;
      case Mode::Ascii:
        do {
          *w++ = *p++;
        } while (p < end && *p != kEsc && *p != kShiftOut && *p != kShiftIn);
        continue;
    }
    *w++ = c;
    ++p;
  }
  result.resize(static_cast<std::size_t>(w - Bytes(result)));
  out = std::move(result);
  return count;
}

int EucToSjis(std::string_view text, std::string& out) {
  std::string result(text.size(), '\0');
  unsigned char* w = Bytes(result);
  const unsigned char* p = Bytes(text);
  const unsigned char* const end = p + text.size();
  int count = 0;
  auto is_euc_byte = [](unsigned char b) { return InRange(b, 0xA1, 0xFE); };
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      *w++ = c;
      ++p;
      continue;
    }
    if (c == 0x8E && end - p >= 2 && IsHalfWidthKana(p[1])) {  // SS2: half-width katakana
      *w++ = p[1];
      p += 2;
      continue;
    }
    if (c == 0x8F && end - p >= 3 && is_euc_byte(p[1]) && is_euc_byte(p[2])) {
      // SS3: a JIS X 0212 character, which Shift_JIS cannot hold.
      PutCode(w, kGetaMark);
      ++count;
      p += 3;
      continue;
    }
    // A pair needs two high bytes; a stray high byte never takes the ASCII
    // byte after it.
    if (end - p >= 2 && is_euc_byte(c) && is_euc_byte(p[1])) {
      if (std::uint16_t code = JisToSjisCode(c & 0x7F, p[1] & 0x7Fu); code != 0) {
        PutCode(w, code);
        ++count;
        p += 2;
        continue;
      }
    }
    *w++ = c;
    ++p;
  }
  result.resize(static_cast<std::size_t>(w - Bytes(result)));
  out = std::move(result);
  return count;
}

int SjisToJis(std::string_view text, std::string& out) {
  const unsigned char* p = Bytes(text);
  const unsigned char* const end = p + text.size();
  ByteWriter writer(text.size() + text.size() / 4 + 16);
  bool kanji = false;
  bool kana = false;
  int count = 0;
  // Leaving kanji or kana mode: back to ASCII.
  auto to_ascii = [&](unsigned char*& w) {
    if (kana) {
      *w++ = kShiftIn;
      kana = false;
    }
    if (kanji) {
      *w++ = kEsc;
      *w++ = '(';
      *w++ = 'B';
      kanji = false;
    }
  };
  while (p < end) {
    // Longest step: ESC ( B, SO or SI, ESC $ B and a pair.
    unsigned char*& w = writer.Room(16);
    const unsigned char c = *p;
    if (c < 0x80) {
      if (kana || kanji) to_ascii(w);
      const unsigned char* stop = p + std::min<std::size_t>(static_cast<std::size_t>(end - p), writer.Remaining());
      do {
        *w++ = *p++;
      } while (p < stop && *p < 0x80);
      continue;
    }
    if (IsHalfWidthKana(c)) {
      if (!kana) {
        // SI returns to whatever G0 holds, so kanji mode is closed first;
        // otherwise the text after SI would read as kanji.
        to_ascii(w);
        *w++ = kShiftOut;
        kana = true;
      }
      *w++ = static_cast<unsigned char>(c & 0x7F);
      ++p;
      continue;
    }
    if (end - p >= 2) {
      if (std::uint16_t jis = SjisPairToJis(p[0], p[1]); jis != 0) {
        if (kana) {
          *w++ = kShiftIn;
          kana = false;
        }
        if (!kanji) {
          *w++ = kEsc;
          *w++ = '$';
          *w++ = 'B';
          kanji = true;
        }
        PutCode(w, jis);
        p += 2;
        ++count;
        // The rest of the run, as far as the buffer allows.
        std::size_t pairs = std::min<std::size_t>(static_cast<std::size_t>(end - p), writer.Remaining()) / 2;
        for (; pairs > 0; --pairs) {
          const unsigned row = kPairTables.jis_row[p[0]];
          const unsigned cell = kPairTables.jis_cell[p[1]];
          if (row == 0 || cell == 0) break;
          w[0] = static_cast<unsigned char>(row + kPairTables.jis_row_step[p[1]]);
          w[1] = static_cast<unsigned char>(cell);
          w += 2;
          p += 2;
          ++count;
        }
        continue;
      }
    }
    const japanese::Char ch = CharAt(p, end);
    to_ascii(w);
    for (std::size_t k = 0; k < ch.length; ++k) *w++ = p[k];
    p += ch.length;
  }
  to_ascii(writer.Room(4));
  out = writer.Take();
  return count;
}

int IsLeadByteAt(std::string_view text, std::size_t index) {
  if (index >= text.size()) return -1;
  std::size_t i = 0;
  while (i < index) i += japanese::CharLengthAt(text, i);
  if (i != index) return 0;  // index falls on a trail byte
  return japanese::CharLengthAt(text, i) == 2 ? 1 : 0;
}

std::string_view LastCharacter(std::string_view text) {
  std::size_t i = 0;
  std::size_t last = 0;
  while (i < text.size()) {
    last = i;
    i += japanese::CharLengthAt(text, i);
  }
  return text.substr(last);
}

long FindUnquoted(std::string_view text, char ch, char quote) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = japanese::CharLengthAt(text, i);
    if (length == 1) {
      if (text[i] == quote) {
        quoted = !quoted;
      } else if (text[i] == ch && !quoted) {
        return static_cast<long>(i);
      }
    }
    i += length;
  }
  return -1;
}

bool IsPlain7Bit(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80 || c == kEsc) return false;
  }
  return true;
}

std::string RemoveChar(std::string_view text, char ch) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = japanese::CharLengthAt(text, i);
    // Only whole characters are dropped: a trail byte equal to `ch` is part
    // of a double-byte character and stays.
    if (length == 2 || text[i] != ch) result.append(text.substr(i, length));
    i += length;
  }
  return result;
}

}  // namespace lp
