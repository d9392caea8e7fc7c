#pragma once

#include <string>
#include <string_view>
#include <vector>

// One line of the address book's CSV file. Fields are separated by ","; a
// quoted field is enclosed in double quotes and ends at the first double
// quote followed by "," or by the end of the line, a bare field ends at the
// first ",". There is no escaping. A line break inside a field is stored as
// the bytes 0x01 0x02. Lines carry no line end here; texts are Shift_JIS.

namespace lp {

struct CardField {
  std::string text;
  bool quoted = false;  // read, or to be written, inside double quotes

  friend bool operator==(const CardField&, const CardField&) = default;
};

using Card = std::vector<CardField>;

struct ParsedCsvLine {
  Card fields;
  // False when a quoted field had no closing quote. That field keeps the
  // rest of the line as its text, so that a save loses nothing of it.
  bool complete = true;
};

[[nodiscard]] ParsedCsvLine ParseCsvLine(std::string_view line);

// The line for `fields`, without line end. A field is written with its own
// quoted flag unless it would then read back as something else (a bare
// field holding "," or starting with a double quote, which is then
// quoted). A text holding a double quote followed by "," cannot be written
// in either form; those double quotes become "'" so that the columns after
// it stay in place.
[[nodiscard]] std::string FormatCsvLine(const Card& fields);

// 0x01 0x02 back to CR LF, and any line break (CR LF, or a CR or LF of its
// own) to 0x01 0x02. Neither matches inside a double-byte character.
[[nodiscard]] std::string DecodeFieldLineBreaks(std::string_view stored);
[[nodiscard]] std::string EncodeFieldLineBreaks(std::string_view text);

}  // namespace lp
