// Differential checks of the JIS / EUC-JP / Shift_JIS conversions against
// glibc iconv over every JIS X 0208 character that glibc knows.

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "codec/japanese_text.h"

namespace lp {
namespace {

// Whole-input conversion; nullopt when iconv refuses any of it.
std::optional<std::string> Iconv(const char* to, const char* from, std::string_view input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(input.size() * 4 + 16, '\0');
  char* in_ptr = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* out_ptr = out.data();
  std::size_t out_left = out.size();
  bool ok = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<std::size_t>(-1) &&
            iconv(cd, nullptr, nullptr, &out_ptr, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

struct Jis0208Char {
  std::string euc;
  std::string sjis;
  std::string jis;  // as iconv writes it: ESC $ B, the pair, ESC ( B
};

// Every row/cell code that glibc's EUC-JP decodes and re-encodes as
// Shift_JIS and ISO-2022-JP.
const std::vector<Jis0208Char>& KnownCharacters() {
  static const std::vector<Jis0208Char> chars = [] {
    std::vector<Jis0208Char> result;
    for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
      for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
        const std::string euc{static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80)};
        auto sjis = Iconv("SHIFT_JIS", "EUC-JP", euc);
        if (!sjis || sjis->size() != 2) continue;
        auto jis = Iconv("ISO-2022-JP", "EUC-JP", euc);
        if (!jis) continue;
        result.push_back({euc, *sjis, *jis});
      }
    }
    return result;
  }();
  return chars;
}

TEST(JapaneseTextIconv, CoversJis0208) {
  // JIS X 0208 defines 6879 characters; glibc knows them all.
  EXPECT_GE(KnownCharacters().size(), 6879u);
}

TEST(JapaneseTextIconv, EachCharacterAgreesWithIconv) {
  for (const Jis0208Char& c : KnownCharacters()) {
    std::string out;
    EXPECT_EQ(EucToSjis(c.euc, out), 1);
    EXPECT_EQ(out, c.sjis) << "euc " << std::hex << (static_cast<unsigned char>(c.euc[0]) << 8 |
                                                     static_cast<unsigned char>(c.euc[1]));
    EXPECT_EQ(SjisToJis(c.sjis, out), 1);
    EXPECT_EQ(out, c.jis);
    std::string back;
    EXPECT_EQ(JisToSjis(out, back), 1);
    EXPECT_EQ(back, c.sjis);
    EXPECT_EQ(ConvertToSjis(c.jis), c.sjis);
  }
}

TEST(JapaneseTextIconv, MixedTextAgreesWithIconv) {
  const auto& chars = KnownCharacters();
  std::mt19937 rng(2024);
  std::string sjis;
  std::string euc;
  for (int i = 0; i < 20000; ++i) {
    if (rng() % 5 == 0) {
      const char ascii = static_cast<char>(rng() % 2 ? 'a' + rng() % 26 : (rng() % 2 ? '\n' : ' '));
      sjis += ascii;
      euc += ascii;
    } else {
      const Jis0208Char& c = chars[rng() % chars.size()];
      sjis += c.sjis;
      euc += c.euc;
    }
  }
  std::string jis;
  SjisToJis(sjis, jis);
  EXPECT_EQ(std::optional<std::string>(jis), Iconv("ISO-2022-JP", "SHIFT_JIS", sjis));
  EXPECT_EQ(std::optional<std::string>(sjis), Iconv("SHIFT_JIS", "ISO-2022-JP", jis));
  EXPECT_EQ(ConvertToSjis(jis), sjis);
  std::string from_euc;
  EucToSjis(euc, from_euc);
  EXPECT_EQ(from_euc, sjis);
}

TEST(JapaneseTextIconv, HalfWidthKanaAgreesWithIconvEuc) {
  std::string sjis;
  for (int c = 0xA1; c <= 0xDF; ++c) sjis += static_cast<char>(c);
  auto euc = Iconv("EUC-JP", "SHIFT_JIS", sjis);
  ASSERT_TRUE(euc.has_value());
  std::string out;
  EucToSjis(*euc, out);
  EXPECT_EQ(out, sjis);
}

}  // namespace
}  // namespace lp
