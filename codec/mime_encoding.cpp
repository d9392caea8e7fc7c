#include "codec/mime_encoding.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "codec/japanese_text.h"

namespace lp {

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The decoder's value of each character. It is arithmetic, not a lookup of
// the alphabet: letters and digits get their Base64 values, "=" gives 0, and
// any other byte gives a value that only makes garbage, never an error.
constexpr std::array<unsigned char, 256> MakeBase64Values() {
  std::array<unsigned char, 256> values{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned value = 0;
    if (c == '=') {
      value = 0;
    } else if (c == '+') {
      value = 62;
    } else if (c == '/') {
      value = 63;
    } else if (c >= 'a') {
      value = c - 71;
    } else if (c >= 'A') {
      value = c - 65;
    } else {
      value = c + 4;
    }
    values[c] = static_cast<unsigned char>(value & 0xFF);
  }
  return values;
}

constexpr std::array<unsigned char, 256> kBase64Values = MakeBase64Values();

unsigned Base64Value(char c) { return kBase64Values[static_cast<unsigned char>(c)]; }

// A hex digit's value is its low four bits, plus 9 from "@" on, so both
// "a"-"f" and "A"-"F" work; other characters give garbage, as senders'
// broken escapes always did.
unsigned HexDigitValue(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte & 0x0Fu) + (byte >= '@' ? 9u : 0u);
}

char HexPair(char high, char low) {
  return static_cast<char>(((HexDigitValue(high) << 4) | HexDigitValue(low)) & 0xFF);
}

unsigned UuValue(char c) { return (static_cast<unsigned char>(c) - 32u) & 63u; }

}  // namespace

std::string Base64EncodeBlock(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned group = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64Alphabet[(group >> 18) & 63];
    out += kBase64Alphabet[(group >> 12) & 63];
    out += kBase64Alphabet[(group >> 6) & 63];
    out += kBase64Alphabet[group & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 1) {
    const unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    out += kBase64Alphabet[(group >> 18) & 63];
    out += kBase64Alphabet[(group >> 12) & 63];
    out += "==";
  } else if (rest == 2) {
    const unsigned group =
        (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += kBase64Alphabet[(group >> 18) & 63];
    out += kBase64Alphabet[(group >> 12) & 63];
    out += kBase64Alphabet[(group >> 6) & 63];
    out += '=';
  }
  return out;
}

std::string Base64EncodeText(std::string_view text) {
  return Base64EncodeBlock(text.substr(0, text.find('\0')));
}

void Base64DecodeAppend(std::string_view text, std::string& out) {
  const std::size_t old_size = out.size();
  out.resize(old_size + text.size() / 4 * 3);
  char* next = out.data() + old_size;
  for (std::size_t i = 0; i + 4 <= text.size(); i += 4) {
    const unsigned v0 = Base64Value(text[i]);
    const unsigned v1 = Base64Value(text[i + 1]);
    const unsigned v2 = Base64Value(text[i + 2]);
    const unsigned v3 = Base64Value(text[i + 3]);
    *next++ = static_cast<char>(((v0 << 2) | (v1 >> 4)) & 0xFF);
    if (text[i + 2] == '=') break;
    *next++ = static_cast<char>(((v1 << 4) | (v2 >> 2)) & 0xFF);
    if (text[i + 3] == '=') break;
    *next++ = static_cast<char>(((v2 << 6) | v3) & 0xFF);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

std::string Base64DecodeBytes(std::string_view text) {
  std::string out;
  Base64DecodeAppend(text, out);
  return out;
}

std::string Base64DecodeText(std::string_view text) {
  std::string out = Base64DecodeBytes(text);
  const std::size_t nul = out.find('\0');
  if (nul != std::string::npos) out.resize(nul);
  return out;
}

bool Base64DecodeToFile(std::string_view line, File& file) {
  const std::string bytes = Base64DecodeBytes(line);
  return bytes.empty() || file.Write(bytes);
}

std::string Base64Utf8LineToSjis(std::string_view line) { return Utf8ToSjis(Base64DecodeText(line)); }

std::string QuotedPrintableDecode(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '=') {
      out += line[i];
    } else if (i + 2 < line.size()) {
      out += HexPair(line[i + 1], line[i + 2]);
      i += 2;
    }
    // A "=" without two characters after it is dropped; the one character
    // that may follow it is copied by the next round.
  }
  return out;
}

int UudecodeLineToFile(std::string_view line, File& file) {
  if (line.empty()) return 0;
  const unsigned count = UuValue(line[0]);
  if (count == 0) return kUudecodeEndLine;

  std::string bytes;
  bytes.reserve(count);
  for (std::size_t i = 1; i < line.size() && bytes.size() < count; i += 4) {
    // Mailers strip trailing blanks, so a last group can be short; a missing
    // character counts as the blank it stood for (value 0) and only bytes
    // whose bits all come from characters on the line are written.
    const std::size_t present = std::min<std::size_t>(4, line.size() - i);
    unsigned v[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < present; ++k) v[k] = UuValue(line[i + k]);
    const char group[3] = {static_cast<char>(((v[0] << 2) | (v[1] >> 4)) & 0xFF),
                           static_cast<char>(((v[1] << 4) | (v[2] >> 2)) & 0xFF),
                           static_cast<char>(((v[2] << 6) | v[3]) & 0xFF)};
    for (std::size_t k = 0; k + 1 < present && bytes.size() < count; ++k) bytes += group[k];
  }
  if (!bytes.empty() && !file.Write(bytes)) return kUudecodeWriteFailed;
  return static_cast<int>(bytes.size());
}

std::string DecodeFormText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      out += HexPair(text[i + 1], text[i + 2]);
      i += 2;
    } else if (c == '+') {
      out += ' ';
    } else if (c == '&') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace lp
