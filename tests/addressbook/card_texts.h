#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

// Cards of the book's seven columns for the tests, written in UTF-8 and
// held in Shift_JIS as the book holds them.

namespace lp::testing {

using CardTexts = std::vector<std::string>;

inline std::string S(std::string_view utf8) { return Utf8ToCp932(utf8); }

inline CardTexts Card(const char* name, const char* address, const char* code = "", const char* postal = "",
                      const char* phone = "", const char* memo = "", const char* category = "") {
  return {S(name), S(address), S(code), S(postal), S(phone), S(memo), S(category)};
}

}  // namespace lp::testing
