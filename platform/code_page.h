#pragma once

#include <string>
#include <string_view>

// Code-page 932 conversions, standing in for the Windows code-page calls.
// Characters without an equivalent become the code page's default
// character "?", as WideCharToMultiByte does; undecodable input bytes are
// replaced too, so a conversion never fails.

namespace lp {

[[nodiscard]] std::string Cp932ToUtf8(std::string_view sjis);
[[nodiscard]] std::string Utf8ToCp932(std::string_view utf8);
// UTF-16 code units in machine order.
[[nodiscard]] std::string Utf16ToCp932(std::u16string_view utf16);

}  // namespace lp
