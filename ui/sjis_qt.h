#pragma once

#include <QString>
#include <string>
#include <string_view>

// The program holds text as Shift_JIS bytes; widgets get QString. These are
// the only two crossings.

namespace lp {

[[nodiscard]] QString FromSjis(std::string_view sjis);
[[nodiscard]] std::string ToSjis(const QString& text);

}  // namespace lp
