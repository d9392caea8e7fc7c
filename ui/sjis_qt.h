#pragma once

#include <QString>
#include <string>
#include <string_view>

// The program holds text as Shift_JIS bytes; widgets get QString. These are
// the only two crossings.

namespace lp {

[[nodiscard]] QString FromSjis(std::string_view sjis);
[[nodiscard]] std::string ToSjis(const QString& text);
// `text` converts to Shift_JIS without a character becoming "?". Several
// characters share one code ("〜" U+301C and "～" U+FF5E both become 0x8160)
// and so read back as the other: that is no loss.
[[nodiscard]] bool FitsShiftJis(const QString& text, const std::string& sjis);

}  // namespace lp
