#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Unique-id lists as the server sends them to UIDL and as the two list
// files of an account keep them: the "+OK" line, lines of a message number,
// a space and the uid, and the closing "."; only lines that begin with a
// digit count.

namespace lp {

// RFC 1939 bounds a uid to 70 characters from 0x21 to 0x7E.
inline constexpr std::size_t kMaxUidLength = 70;

// The uids in list order: the text after the first space, without CR LF.
[[nodiscard]] std::vector<std::string> ParseUidlList(std::string_view text);

// True when every counted line has a space and a uid within the bounds.
[[nodiscard]] bool UidlListIsWellFormed(std::string_view text);

// Positions (1-based) of the uids of `current` that `received` lacks.
[[nodiscard]] std::vector<int> NewUidPositions(const std::vector<std::string>& received,
                                               const std::vector<std::string>& current);

// The line that records one more received message in the received list.
[[nodiscard]] std::string ReceivedUidLine(int number, std::string_view uid);

}  // namespace lp
