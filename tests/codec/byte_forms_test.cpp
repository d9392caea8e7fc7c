#include "codec/byte_forms.h"

#include <gtest/gtest.h>

#include <string>

namespace lp {
namespace {

TEST(ByteForms, ShiftJisAndEucJpWellFormedness) {
  const struct {
    const char* name;
    std::string bytes;
    bool sjis;
    bool euc;
  } cases[] = {
      {"ascii", "plain", true, true},
      {"Shift_JIS hiragana", "\x82\xA0\x82\xA2", true, false},
      {"Shift_JIS IBM extension 髙橋", "\xFB\xFC\x8B\xB4", true, false},
      {"EUC-JP 山田様", "\xBB\xB3\xC5\xC4\xCD\xCD", true, true},
      {"EUC-JP with a byte above Shift_JIS", "\xA4\xA2\xFD\xA1", false, true},
      {"EUC-JP half-width katakana", "\x8E\xB1", true, true},
      {"lead byte at the end", "a\x82", false, false},
      {"Shift_JIS bad trail", "\x82\x20", false, false},
      {"EUC-JP SS3 cut short", "\x8F\xA1", true, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWellFormedShiftJis(c.bytes), c.sjis) << c.name;
    EXPECT_EQ(IsWellFormedEucJp(c.bytes), c.euc) << c.name;
  }
}

}  // namespace
}  // namespace lp
