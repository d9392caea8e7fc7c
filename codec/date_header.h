#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// Dates of mail: the Date header, the formats this program writes, the
// Japanese era and the date macros of signature files.
//
// Time values are seconds on the local time scale: the value mktime gives
// for a local calendar date and clock time, and that localtime turns back
// into one. A Date header is brought to Japan time when it is parsed: the
// stored value is the header's instant plus nine hours minus the computer's
// own offset, so whatever zone the computer keeps (TZ), localtime of a
// stored value shows the Japan clock time of the instant, and on a computer
// that keeps Japan time the value is the true instant. Stored values stay
// comparable with each other whatever zone the sender wrote.

namespace lp {

// The default zone of a Date header and the zone stored times are brought to.
inline constexpr long kJapanOffsetSeconds = 32400;

// The time value of a whole "Date:" header line, or nullopt when the line
// gives no usable date (year outside 1970-2038, month or day out of range).
[[nodiscard]] std::optional<std::time_t> TryParseDateHeader(std::string_view line);
// As TryParseDateHeader, with the current time for an unusable date.
[[nodiscard]] std::time_t ParseDateHeader(std::string_view line);

// Local calendar fields of a time value.
[[nodiscard]] std::tm LocalTimeFields(std::time_t value);

// "%04d/%02d/%02d %02d:%02d:%02d", the mail list's date column.
[[nodiscard]] std::string FormatListDate(std::time_t value);
// "%Y/%m/%d", the date the compose window inserts at the caret.
[[nodiscard]] std::string FormatInsertedDate(std::time_t value);
// "%Y/%m/%d %a %H:%M:%S", the read view's header block (English weekday).
[[nodiscard]] std::string FormatReadViewDate(std::time_t value);
// "%a, %d %b %Y %H:%M:%S +0900", the Date line of an exported text.
[[nodiscard]] std::string FormatExportDate(std::time_t value);
// "%a, %d %b %Y %H:%M:%S", the Date value a LAN copy carries (no zone).
[[nodiscard]] std::string FormatLanCopyDate(std::time_t value);
// "%a, %d %b %Y %H:%M:%S +hhmm" (RFC 5322) with the computer's own offset
// from UTC at that instant: the Date of outgoing mail and of LAN copies.
[[nodiscard]] std::string FormatMailDate(std::time_t instant);

// The era of a date as Shift_JIS text: "令和" from 1 May 2019, "平成" after
// 7 January 1989, "昭和" before; and the year within that era.
[[nodiscard]] std::string EraName(int year, int month, int day);
[[nodiscard]] int EraYear(int year, int month, int day);

// Replaces the date macros ("$jy", "$4wy", "$2wy", "$1mon", "$2mon", "$1d",
// "$2d", "$3ew", "$aew", "$jw", "$121eh", "$122eh", "$121jh", "$122jh",
// "$241h", "$242h", "$1min", "$2min") by the local date and time of `now`,
// each everywhere in the text, in that order.
[[nodiscard]] std::string ExpandDateMacros(std::string_view text, std::time_t now);
// The same with the current time.
[[nodiscard]] std::string ExpandDateMacros(std::string_view text);

}  // namespace lp
