#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"

// The texts searched for last, most recent first, as the search dialog's
// text list offers them: profile section "Search", keys "str00" to "str19".

namespace lp {

inline constexpr int kSearchHistorySize = 20;

// The non-empty entries in order.
[[nodiscard]] std::vector<std::string> LoadSearchHistory(const Profile& profile);
// Puts `text` at the front (moving it there when it is in the list
// already), drops what falls beyond the last entry and writes the list.
// An empty text changes nothing. False when the file could not be written.
bool AddToSearchHistory(Profile& profile, std::string_view text);

}  // namespace lp
