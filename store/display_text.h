#pragma once

#include <string>
#include <string_view>

// The display text of a stored mail: its header lines filtered, long lines
// split, JIS and EUC-JP parts brought to Shift_JIS.

namespace lp {

enum class HeaderMode {
  FromSetting = 0,  // as the setting "Mail"/"Header" says
  All = 1,          // every header line
  None = 2,         // no header line
};

// `header_setting` is the value of the "Mail"/"Header" setting, used for
// HeaderMode::FromSetting only. `line_limit` 0 means no limit; the limit
// counts the lines shown in full-header or JIS/EUC-JP parts only. The short
// header shows the display names of its From, To, Cc and Reply-To lines
// without their quotes; the full header shows every line as received.
[[nodiscard]] std::string BuildDisplayText(std::string_view text, HeaderMode mode, int header_setting,
                                           int line_limit);

}  // namespace lp
