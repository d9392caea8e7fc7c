#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text of an address file brought in from another program: its
// encoding told apart and turned into UTF-8 for reading, and the cards read
// from it turned into the book's Shift_JIS.

namespace lp {

// UTF-8 that holds at least one non-ASCII character and no broken
// sequence; Shift_JIS text almost never passes.
[[nodiscard]] bool IsNonAsciiUtf8(std::string_view text);

// The text in UTF-8, from UTF-8 with or without a byte-order mark, UTF-16
// with one, else Shift_JIS.
[[nodiscard]] std::string DecodeImportText(std::string_view bytes);

// Each text of a UTF-8 card in Shift_JIS; true when a character had to
// become "?".
bool CardToShiftJis(std::vector<std::string>& card);

}  // namespace lp
