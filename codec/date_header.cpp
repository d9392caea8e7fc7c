#include "codec/date_header.h"

#include <array>
#include <cstdio>

#include "codec/codec_messages.h"

namespace lp {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 7> kWeekdayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> kFullWeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                          "Thursday", "Friday", "Saturday"};

// strtok-like reading of the header value: leading delimiters are skipped and
// the one delimiter that ends a token is consumed with it.
class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text, std::size_t start = 0) : text_(text), pos_(start) {}

  std::optional<std::string_view> Next(std::string_view delimiters) {
    pos_ = text_.find_first_not_of(delimiters, pos_);
    if (pos_ == std::string_view::npos) {
      pos_ = text_.size();
      return std::nullopt;
    }
    std::size_t end = text_.find_first_of(delimiters, pos_);
    if (end == std::string_view::npos) end = text_.size();
    const std::string_view token = text_.substr(pos_, end - pos_);
    pos_ = end < text_.size() ? end + 1 : end;
    return token;
  }

 private:
  std::string_view text_;
  std::size_t pos_;
};

// Fields are separated by comma, space, ":" and "("; a TAB or a stray CR/LF
// left by unfolding separates them the same way.
constexpr std::string_view kDelimiters = ", :(\t\r\n";
constexpr std::string_view kFirstDelimiters = ", :+(\t\r\n";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct LeadingNumber {
  int value = 0;
  int digits = 0;
};

// Leading decimal digits; a run too long for any field saturates instead of
// overflowing.
LeadingNumber ReadLeadingNumber(std::string_view token) {
  LeadingNumber number;
  for (const char c : token) {
    if (!IsDigit(c)) break;
    if (number.value < 100000000) number.value = number.value * 10 + (c - '0');
    ++number.digits;
  }
  return number;
}

int MonthNumber(std::string_view token) {
  for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
    if (token == kMonthNames[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

long ZoneOffsetSeconds(std::string_view zone) {
  constexpr long kHour = 3600;
  if (zone.front() == '+' || zone.front() == '-') {
    if (zone.size() < 5 || !IsDigit(zone[1]) || !IsDigit(zone[2]) || !IsDigit(zone[3]) || !IsDigit(zone[4])) {
      return 0;
    }
    const long hours = (zone[1] - '0') * 10 + (zone[2] - '0');
    const long minutes = (zone[3] - '0') * 10 + (zone[4] - '0');
    const long offset = (hours * 60 + minutes) * 60;
    return zone.front() == '-' ? -offset : offset;
  }
  struct NamedZone {
    std::string_view name;
    long hours;
  };
  static constexpr std::array<NamedZone, 11> kNamedZones = {{{"UT", 0},
                                                             {"GMT", 0},
                                                             {"EST", -5},
                                                             {"EDT", -4},
                                                             {"CST", -6},
                                                             {"CDT", -5},
                                                             {"MST", -7},
                                                             {"MDT", -6},
                                                             {"PST", -8},
                                                             {"PDT", -7},
                                                             {"JST", 9}}};
  for (const NamedZone& named : kNamedZones) {
    if (zone == named.name) return named.hours * kHour;
  }
  if (zone.size() == 1 && zone[0] >= 'A' && zone[0] <= 'Z') {
    // Military zones with the signs of RFC 822 as written ("J" falls into
    // the first run).
    const char c = zone[0];
    if (c <= 'J') return -(c - 'A' + 1) * kHour;
    if (c <= 'M') return -(c - 'A') * kHour;
    if (c <= 'Y') return (c - 'N' + 1) * kHour;
    return 0;
  }
  return 0;
}

// RFC 5322 4.3: two-digit years 00-49 are 2000-2049; other years below 1900
// get 1900 added.
int FullYear(LeadingNumber year) {
  if (year.digits <= 2 && year.value < 50) return year.value + 2000;
  if (year.value < 1900) return year.value + 1900;
  return year.value;
}

std::string Printf(const char* format, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

void ReplaceAll(std::string& text, std::string_view macro, std::string_view replacement) {
  std::size_t pos = 0;
  while ((pos = text.find(macro, pos)) != std::string::npos) {
    text.replace(pos, macro.size(), replacement);
    pos += replacement.size();
  }
}

// English names, whatever the process locale, as mail and exported texts
// need them.
// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int year_of_era = y - era * 400;
  const int day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return static_cast<long long>(era) * 146097 + day_of_era - 719468;
}

std::string FormatEnglishDate(const std::tm& t, bool with_zone) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d%s",
                kWeekdayNames[static_cast<std::size_t>(t.tm_wday % 7)], t.tm_mday,
                kMonthNames[static_cast<std::size_t>(t.tm_mon % 12)], t.tm_year + 1900, t.tm_hour, t.tm_min,
                t.tm_sec, with_zone ? " +0900" : "");
  return buffer;
}

}  // namespace

std::optional<std::time_t> TryParseDateHeader(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view value = line.substr(colon + 1);
  // The space after "Date:" is optional in RFC 5322; skipping blanks rather
  // than one fixed character keeps "Date:8 Dec ..." readable.
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);

  // A weekday ends at the comma that precedes the first digit; a comma in a
  // trailing comment such as "(JST, Japan)" is no weekday's.
  const std::size_t comma = value.find(',');
  const std::size_t first_digit = value.find_first_of("0123456789");
  const bool has_weekday =
      comma != std::string_view::npos && (first_digit == std::string_view::npos || comma < first_digit);

  Tokenizer tokens(value, has_weekday ? comma + 1 : 0);
  const std::optional<std::string_view> day_token = tokens.Next(has_weekday ? kDelimiters : kFirstDelimiters);
  const std::optional<std::string_view> month_token = tokens.Next(kDelimiters);
  const std::optional<std::string_view> year_token = tokens.Next(kDelimiters);
  if (!day_token || !month_token || !year_token) return std::nullopt;

  const int day = ReadLeadingNumber(*day_token).value;
  const int month = MonthNumber(*month_token);
  const int year = FullYear(ReadLeadingNumber(*year_token));

  // Hour, minute and second, as far as the value gives them (0 otherwise).
  // A token that does not begin with a digit is the zone already, so
  // "22:38 -0500" without seconds keeps its zone.
  int clock[3] = {0, 0, 0};
  std::optional<std::string_view> zone_token;
  for (int& field : clock) {
    const std::optional<std::string_view> token = tokens.Next(kDelimiters);
    if (!token) break;
    if (!IsDigit(token->front())) {
      zone_token = token;
      break;
    }
    field = ReadLeadingNumber(*token).value;
  }
  if (!zone_token) zone_token = tokens.Next(kDelimiters);
  const long zone = zone_token ? ZoneOffsetSeconds(*zone_token) : kJapanOffsetSeconds;

  if (year < 1970 || year > 2038 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;

  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = clock[0];
  fields.tm_min = clock[1];
  fields.tm_sec = clock[2];
  fields.tm_isdst = -1;  // the system's rules decide daylight saving
  const std::time_t local = std::mktime(&fields);
  if (local == static_cast<std::time_t>(-1)) return std::nullopt;
  return local - zone + kJapanOffsetSeconds;
}

std::time_t ParseDateHeader(std::string_view line) {
  return TryParseDateHeader(line).value_or(std::time(nullptr));
}

std::tm LocalTimeFields(std::time_t value) {
  std::tm fields{};
  if (localtime_r(&value, &fields) == nullptr) fields = std::tm{};
  return fields;
}

std::string FormatListDate(std::time_t value) {
  const std::tm t = LocalTimeFields(value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return buffer;
}

std::string FormatInsertedDate(std::time_t value) {
  const std::tm t = LocalTimeFields(value);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return buffer;
}

std::string FormatReadViewDate(std::time_t value) {
  const std::tm t = LocalTimeFields(value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %s %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, kWeekdayNames[static_cast<std::size_t>(t.tm_wday % 7)], t.tm_hour, t.tm_min,
                t.tm_sec);
  return buffer;
}

std::string FormatExportDate(std::time_t value) { return FormatEnglishDate(LocalTimeFields(value), true); }

std::string FormatLanCopyDate(std::time_t value) { return FormatEnglishDate(LocalTimeFields(value), false); }

std::string FormatMailDate(std::time_t instant) {
  const std::tm local = LocalTimeFields(instant);
  // The offset is the local clock read as if it were UTC, less the instant;
  // worked out by hand because tm_gmtoff is not everywhere.
  const long long days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const long long local_seconds = days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const long long offset_minutes = (local_seconds - static_cast<long long>(instant)) / 60;
  // Zones lie within a day of UTC.
  const int magnitude = static_cast<int>((offset_minutes < 0 ? -offset_minutes : offset_minutes) % (24 * 60));
  char zone[16];
  std::snprintf(zone, sizeof zone, " %c%02d%02d", offset_minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return FormatEnglishDate(local, false) + zone;
}

namespace {

enum class Era { Showa, Heisei, Reiwa };

// Heisei ended on 30 April 2019; dates from 1 May 2019 are Reiwa.
Era EraOf(int year, int month, int day) {
  const long key = static_cast<long>(year) * 10000 + month * 100 + day;
  if (key >= 20190501) return Era::Reiwa;
  if (key > 19890107) return Era::Heisei;
  return Era::Showa;
}

}  // namespace

std::string EraName(int year, int month, int day) {
  switch (EraOf(year, month, day)) {
    case Era::Reiwa:
      return date_texts::kReiwa;
    case Era::Heisei:
      return date_texts::kHeisei;
    case Era::Showa:
      break;
  }
  return date_texts::kShowa;
}

int EraYear(int year, int month, int day) {
  switch (EraOf(year, month, day)) {
    case Era::Reiwa:
      return year - 2018;
    case Era::Heisei:
      return year - 1988;
    case Era::Showa:
      break;
  }
  return year - 1925;
}

std::string ExpandDateMacros(std::string_view text, std::time_t now) {
  const std::tm t = LocalTimeFields(now);
  const int year = t.tm_year + 1900;
  const int month = t.tm_mon + 1;
  const auto weekday = static_cast<std::size_t>(t.tm_wday % 7);
  const int hour12 = t.tm_hour % 12;
  const bool afternoon = t.tm_hour >= 12;

  std::string out(text);
  ReplaceAll(out, "$jy", EraName(year, month, t.tm_mday) + std::to_string(EraYear(year, month, t.tm_mday)));
  ReplaceAll(out, "$4wy", Printf("%04d", year));
  ReplaceAll(out, "$2wy", Printf("%02d", year % 100));
  ReplaceAll(out, "$1mon", Printf("%d", month));
  ReplaceAll(out, "$2mon", Printf("%02d", month));
  ReplaceAll(out, "$1d", Printf("%d", t.tm_mday));
  ReplaceAll(out, "$2d", Printf("%02d", t.tm_mday));
  ReplaceAll(out, "$3ew", kWeekdayNames[weekday]);
  ReplaceAll(out, "$aew", kFullWeekdayNames[weekday]);
  ReplaceAll(out, "$jw", date_texts::kWeekdays[weekday]);
  ReplaceAll(out, "$121eh", (afternoon ? "PM" : "AM") + Printf("%d", hour12));
  ReplaceAll(out, "$122eh", (afternoon ? "PM" : "AM") + Printf("%02d", hour12));
  const std::string japanese_half_day = afternoon ? date_texts::kAfternoon : date_texts::kMorning;
  ReplaceAll(out, "$121jh", japanese_half_day + Printf("%d", hour12));
  ReplaceAll(out, "$122jh", japanese_half_day + Printf("%02d", hour12));
  ReplaceAll(out, "$241h", Printf("%d", t.tm_hour));
  ReplaceAll(out, "$242h", Printf("%02d", t.tm_hour));
  ReplaceAll(out, "$1min", Printf("%d", t.tm_min));
  ReplaceAll(out, "$2min", Printf("%02d", t.tm_min));
  return out;
}

std::string ExpandDateMacros(std::string_view text) { return ExpandDateMacros(text, std::time(nullptr)); }

}  // namespace lp
