#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The text of an address file brought in from another program: its
// encoding told apart and turned into UTF-8 for reading, and the cards read
// from it turned into the book's Shift_JIS.

namespace lp {

enum class SourceEncoding { Utf8, ShiftJis };

// UTF-8 that holds at least one non-ASCII character and no broken
// sequence; Shift_JIS text almost never passes.
[[nodiscard]] bool IsNonAsciiUtf8(std::string_view text);

// The text in UTF-8 and what it was: UTF-8 with or without a byte-order
// mark, UTF-16 with one (counted as UTF-8), else Shift_JIS.
[[nodiscard]] std::pair<std::string, SourceEncoding> DecodeImportText(std::string_view bytes);

// Each text of a UTF-8 card in Shift_JIS; true when a character had to
// become "?".
bool CardToShiftJis(std::vector<std::string>& card);

}  // namespace lp
