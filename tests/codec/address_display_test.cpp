#include "codec/address_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lp {
namespace {

TEST(AddressFieldForDisplay, ShowsQuotedNamesWithoutTheirQuotes) {
  struct Case {
    std::string field;
    std::string shown;
  };
  const std::string hyou = "\x95\x5C";           // 表: its trail byte is a backslash
  const std::string yamada = "\x8E\x52\x93\x63";  // 山田
  const std::vector<Case> cases = {
      {"\"Taro Yamada\" <taro@example.jp>", "Taro Yamada <taro@example.jp>"},
      {"\"" + yamada + "\" <yamada@example.jp>", yamada + " <yamada@example.jp>"},
      // Quoted pairs stand for their second character.
      {"\"Taro \\\"T\\\" Yamada\" <t@example.jp>", "Taro \"T\" Yamada <t@example.jp>"},
      {"\"C:\\\\share\" <s@example.jp>", "C:\\share <s@example.jp>"},
      // A name with a "," stays one name; each address of a list is shown.
      {"\"Suzuki, Hanako\" <h@example.jp>, \"Ito\" <i@example.jp>", "Suzuki, Hanako <h@example.jp>, Ito <i@example.jp>"},
      // A trail byte 0x5C neither escapes the closing quote nor is dropped.
      {"\"" + hyou + "\" <hyou@example.jp>", hyou + " <hyou@example.jp>"},
      {"\"\\" + hyou + "\" <e@example.jp>", hyou + " <e@example.jp>"},
      // Quotes inside an angle address or a comment are not a display name.
      {"<\"odd name\"@example.jp>", "<\"odd name\"@example.jp>"},
      {"taro@example.jp (Taro \"T\" Yamada)", "taro@example.jp (Taro \"T\" Yamada)"},
      {"a@example.jp (nested (\\) \"q\") comment) \"B\" <b@example.jp>",
       "a@example.jp (nested (\\) \"q\") comment) B <b@example.jp>"},
      // Unquoted fields and an empty name.
      {"Taro Yamada <taro@example.jp>", "Taro Yamada <taro@example.jp>"},
      {"\"\" <nobody@example.jp>", "<nobody@example.jp>"},
      {"", ""},
      // A quote that never closes runs to the end of the field.
      {"\"Unclosed <u@example.jp>", "Unclosed <u@example.jp>"},
  };
  for (const Case& c : cases) EXPECT_EQ(AddressFieldForDisplay(c.field), c.shown) << c.field;
}

TEST(AddressDisplayWriter, AQuotedNameGoesOnOverAFold) {
  AddressDisplayWriter writer;
  std::string shown;
  writer.Append(" \"Yamada,", shown);
  writer.Append("\t Taro\" <t@example.jp>", shown);
  EXPECT_EQ(shown, " Yamada,\t Taro <t@example.jp>");
}

}  // namespace
}  // namespace lp
