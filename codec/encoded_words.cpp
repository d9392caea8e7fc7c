#include "codec/encoded_words.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "platform/sjis_char.h"

namespace lp {

namespace {

// Longer charset names than this are no charset a mailer writes.
constexpr std::size_t kMaxCharsetLength = 64;

bool IsHeaderBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsAllBlank(std::string_view text) { return std::all_of(text.begin(), text.end(), IsHeaderBlank); }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A charset is an RFC 2047 token: printable ASCII without blanks and specials.
bool IsCharsetChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte <= 0x20 || byte >= 0x7F) return false;
  return std::string_view("()<>@,;:\"/[]?.=").find(c) == std::string_view::npos;
}

enum class WordScan {
  Word,          // a well-formed word; the fields below are set
  NotAWord,      // this "=?" starts ordinary text
  Unterminated,  // no word can end in the rest of the line
};

struct WordParts {
  std::string_view charset;
  char encoding = 0;  // upper-cased letter
  std::string_view text;
  std::size_t end = 0;  // index just past "?="
};

// Reads the word that starts with "=?" at `start`.
WordScan ScanWord(std::string_view line, std::size_t start, WordParts& word) {
  const std::size_t charset_begin = start + 2;
  const std::size_t charset_end = line.find('?', charset_begin);
  if (charset_end == std::string_view::npos) return WordScan::Unterminated;
  word.charset = line.substr(charset_begin, charset_end - charset_begin);
  if (word.charset.empty() || word.charset.size() > kMaxCharsetLength ||
      !std::all_of(word.charset.begin(), word.charset.end(), IsCharsetChar)) {
    return WordScan::NotAWord;
  }
  if (charset_end + 2 >= line.size() || line[charset_end + 2] != '?') return WordScan::NotAWord;
  word.encoding = static_cast<char>(line[charset_end + 1] >= 'a' && line[charset_end + 1] <= 'z'
                                        ? line[charset_end + 1] - 'a' + 'A'
                                        : line[charset_end + 1]);
  if (word.encoding == '?') return WordScan::NotAWord;

  // Encoded text never holds "?" (both forms encode it), so the first "?"
  // after the prefix must begin the closing "?=". Looking only for "?="
  // would let a word that lost its end swallow the next word.
  const std::size_t text_begin = charset_end + 3;
  const std::size_t question = line.find('?', text_begin);
  if (question == std::string_view::npos) return WordScan::Unterminated;
  if (question + 1 >= line.size() || line[question + 1] != '=') return WordScan::NotAWord;
  word.text = line.substr(text_begin, question - text_begin);
  word.end = question + 2;
  return WordScan::Word;
}

// "UTF-8*ja" (RFC 2231 language) names the charset "utf-8".
std::string CharsetKey(std::string_view charset) {
  std::string key(charset.substr(0, charset.find('*')));
  std::transform(key.begin(), key.end(), key.begin(), AsciiLower);
  return key;
}

std::string ToSjisByCharset(const std::string& key, const std::string& bytes) {
  if (key == "utf-8" || key == "utf8") return Utf8ToSjis(bytes);
  if (key == "unicode-1-1-utf-7" || key == "utf-7") return Utf7ToSjis(bytes);
  std::string out;
  if (key.starts_with("iso-2022-jp") || key == "csiso2022jp") {
    // Straight through the JIS decoder: a word holding only half-width
    // katakana (ESC ( I) is not detected as JIS by the guesser.
    JisToSjis(bytes, out);
    return out;
  }
  if (key == "euc-jp" || key == "x-euc-jp" || key == "eucjp") {
    EucToSjis(bytes, out);
    return out;
  }
  if (key == "shift_jis" || key == "shift-jis" || key == "sjis" || key == "x-sjis" || key == "windows-31j" ||
      key == "cp932" || key == "ms932" || key == "us-ascii") {
    return bytes;
  }
  // Unknown charsets get the guess the whole line used to get, run by run.
  return ConvertToSjis(bytes);
}

std::string RemoveBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (!IsHeaderBlank(c)) out += c;
  }
  return out;
}

// The bytes a word stands for, still in its charset.
std::optional<std::string> DecodeWordBytes(const WordParts& word) {
  std::string bytes;
  if (word.encoding == 'B') {
    // Blanks inside are folds some mailers put into long words; they are
    // never part of the Base64 text.
    bytes = Base64DecodeText(RemoveBlanks(word.text));
  } else {
    std::string_view text = word.text;
    while (!text.empty() && IsHeaderBlank(text.back())) text.remove_suffix(1);
    std::string encoded(text);
    if (word.encoding == 'Q') std::replace(encoded.begin(), encoded.end(), '_', ' ');
    bytes = QuotedPrintableDecode(encoded);
  }
  if (bytes.size() > kMaxEncodedWordBytes) return std::nullopt;
  return bytes;
}

// Adjacent words of one charset are converted together: senders split long
// UTF-8 text between the bytes of a character, and ISO-2022-JP between an
// escape sequence and the characters it switches to.
class WordRun {
 public:
  [[nodiscard]] bool Continues(const std::string& charset_key) const { return charset_key == charset_key_; }

  void Start(std::string charset_key) { charset_key_ = std::move(charset_key); }
  void Add(const std::string& bytes) { bytes_ += bytes; }

  // Appends the run's Shift_JIS text to `out` and empties the run.
  void FlushTo(std::string& out) {
    if (bytes_.empty()) return;
    std::string text = ToSjisByCharset(charset_key_, bytes_);
    // A decoded line break or NUL would split or cut the header line where
    // it is stored, so that a word could forge header lines; it becomes a
    // space. (Shift_JIS trail bytes are never below 0x40.)
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    out += text;
    bytes_.clear();
  }

 private:
  std::string charset_key_;
  std::string bytes_;
};

}  // namespace

std::string DecodeEncodedWords(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  WordRun run;
  std::size_t copied = 0;  // line[0, copied) is in `out` or in `run`
  std::size_t search = 0;
  bool after_decoded_word = false;  // `copied` is the end of a decoded word
  while (true) {
    const std::size_t start = line.find("=?", search);
    if (start == std::string_view::npos) break;
    WordParts word;
    const WordScan scan = ScanWord(line, start, word);
    if (scan == WordScan::Unterminated) break;
    if (scan == WordScan::NotAWord) {
      search = start + 1;
      continue;
    }
    std::optional<std::string> bytes;
    if (word.end - start <= kMaxEncodedWordBytes) bytes = DecodeWordBytes(word);
    if (!bytes) {
      search = word.end;
      continue;
    }
    std::string charset_key = CharsetKey(word.charset);
    const std::string_view gap = line.substr(copied, start - copied);
    const bool adjacent = after_decoded_word && IsAllBlank(gap);
    if (!adjacent || !run.Continues(charset_key)) {
      run.FlushTo(out);
      if (!adjacent) out += gap;
      run.Start(std::move(charset_key));
    }
    run.Add(*bytes);
    copied = search = word.end;
    after_decoded_word = true;
  }
  run.FlushTo(out);
  out += line.substr(copied);
  return out;
}

std::string EncodeHeaderValue(std::string_view sjis_value) {
  // The first lead byte comes before any trail byte, so a byte scan finds it.
  const bool has_double_byte = std::any_of(sjis_value.begin(), sjis_value.end(), [](char c) {
    return IsSjisLeadByte(static_cast<unsigned char>(c));
  });
  if (!has_double_byte) return std::string(sjis_value);
  std::string jis;
  SjisToJis(sjis_value, jis);
  return "=?ISO-2022-JP?B?" + Base64EncodeBlock(jis) + "?=";
}

}  // namespace lp
