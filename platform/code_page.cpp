#include "platform/code_page.h"

#include <cerrno>
#include <functional>
#include <iconv.h>

namespace lp {
namespace {

// One iconv descriptor per call: conversions are short and this keeps the
// functions free of shared state.
class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvConverter() {
    if (valid()) iconv_close(cd_);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  [[nodiscard]] bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `input`; on a sequence that cannot be converted, appends
  // `replacement` and skips the bytes of that one character, as
  // `unit_length` measures them.
  std::string Convert(std::string_view input, std::string_view replacement,
                      const std::function<size_t(std::string_view)>& unit_length) {
    std::string out;
    if (!valid()) return std::string(input);
    out.reserve(input.size() * 3 / 2 + 16);
    char* in_ptr = const_cast<char*>(input.data());
    size_t in_left = input.size();
    char buffer[4096];
    while (in_left > 0) {
      char* out_ptr = buffer;
      size_t out_left = sizeof buffer;
      size_t rc = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
      out.append(buffer, static_cast<size_t>(out_ptr - buffer));
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end): replace and skip.
      out.append(replacement);
      size_t unit = unit_length(std::string_view(in_ptr, in_left));
      size_t skip = in_left < unit ? in_left : (unit == 0 ? 1 : unit);
      in_ptr += skip;
      in_left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

size_t OneByte(std::string_view) { return 1; }

// Length of the UTF-8 character at the front, so that one unrepresentable
// character gives one replacement.
size_t Utf8CharLength(std::string_view s) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  for (size_t i = 1; i < n; ++i) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
  }
  return n;
}

size_t Utf16LeCharLength(std::string_view s) {
  if (s.size() >= 4) {
    unsigned hi = static_cast<unsigned char>(s[0]) | static_cast<unsigned char>(s[1]) << 8;
    unsigned lo = static_cast<unsigned char>(s[2]) | static_cast<unsigned char>(s[3]) << 8;
    if (hi >= 0xD800 && hi < 0xDC00 && lo >= 0xDC00 && lo < 0xE000) return 4;
  }
  return 2;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view sjis) {
  IconvConverter converter("UTF-8", "CP932");
  return converter.Convert(sjis, "\xEF\xBF\xBD", OneByte);
}

std::string Utf8ToCp932(std::string_view utf8) {
  IconvConverter converter("CP932", "UTF-8");
  return converter.Convert(utf8, "?", Utf8CharLength);
}

std::string Utf16ToCp932(std::u16string_view utf16) {
  IconvConverter converter("CP932", "UTF-16LE");
  std::string bytes;
  bytes.reserve(utf16.size() * 2);
  for (char16_t unit : utf16) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return converter.Convert(bytes, "?", Utf16LeCharLength);
}

}  // namespace lp
