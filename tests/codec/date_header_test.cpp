#include "codec/date_header.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scoped_time_zone.h"

namespace lp {
namespace {

using testing::ScopedTimeZone;

constexpr const char* kJapanZone = "JST-9";

// Shift_JIS texts the cases expect.
const std::string kShowa = "\x8F\xBA\x98\x61";      // 昭和
const std::string kHeisei = "\x95\xBD\x90\xAC";     // 平成
const std::string kReiwa = "\x97\xDF\x98\x61";      // 令和
const std::string kMorning = "\x8C\xDF\x91\x4F";    // 午前
const std::string kAfternoon = "\x8C\xDF\x8C\xE3";  // 午後
const std::string kTuesday = "\x89\xCE";            // 火
const std::string kWednesday = "\x90\x85";          // 水

std::time_t LocalValue(int year, int month, int day, int hour, int minute, int second) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

struct DateCase {
  std::string line;
  std::string japan_time;  // FormatListDate of the result, "" for an unusable date
};

void ExpectDates(const DateCase* begin, const DateCase* end) {
  for (const DateCase* c = begin; c != end; ++c) {
    const std::optional<std::time_t> value = TryParseDateHeader(c->line);
    if (c->japan_time.empty()) {
      EXPECT_FALSE(value.has_value()) << c->line;
    } else if (!value) {
      ADD_FAILURE() << "no date from " << c->line;
    } else {
      EXPECT_EQ(FormatListDate(*value), c->japan_time) << c->line;
    }
  }
}

TEST(ParseDateHeader, EveryZoneFormIsBroughtToJapanTime) {
  ScopedTimeZone zone(kJapanZone);
  const std::string base = "Date: Tue, 8 Dec 2026 13:38:03";
  const DateCase cases[] = {
      {base + " +0000", "2026/12/08 22:38:03"},
      {base + " -0000", "2026/12/08 22:38:03"},
      {base + " +0900", "2026/12/08 13:38:03"},
      {base + " -0500", "2026/12/09 03:38:03"},
      {base + " +0530", "2026/12/08 17:08:03"},
      {base + " +0900 (JST)", "2026/12/08 13:38:03"},
      {base + " +0000 (UTC)", "2026/12/08 22:38:03"},
      {base + " UT", "2026/12/08 22:38:03"},
      {base + " GMT", "2026/12/08 22:38:03"},
      {base + " JST", "2026/12/08 13:38:03"},
      {base + " EST", "2026/12/09 03:38:03"},
      {base + " EDT", "2026/12/09 02:38:03"},
      {base + " CST", "2026/12/09 04:38:03"},
      {base + " CDT", "2026/12/09 03:38:03"},
      {base + " MST", "2026/12/09 05:38:03"},
      {base + " MDT", "2026/12/09 04:38:03"},
      {base + " PST", "2026/12/09 06:38:03"},
      {base + " PDT", "2026/12/09 05:38:03"},
      {base + " Z", "2026/12/08 22:38:03"},
      {base + " A", "2026/12/08 23:38:03"},
      {base + " I", "2026/12/09 07:38:03"},
      {base + " J", "2026/12/09 08:38:03"},
      {base + " K", "2026/12/09 08:38:03"},
      {base + " M", "2026/12/09 10:38:03"},
      {base + " N", "2026/12/08 21:38:03"},
      {base + " Y", "2026/12/08 10:38:03"},
      {base + " +09", "2026/12/08 22:38:03"},    // too short for hhmm: zone 0
      {base + " +09xx", "2026/12/08 22:38:03"},  // not hhmm: zone 0
      {base + " CET", "2026/12/08 22:38:03"},    // unknown names count as 0
      {base + " gmt", "2026/12/08 22:38:03"},
      {base + " jst", "2026/12/08 22:38:03"},  // names are case-sensitive
      {base, "2026/12/08 13:38:03"},           // no zone: Japan time
  };
  ExpectDates(std::begin(cases), std::end(cases));
}

TEST(ParseDateHeader, ShapesOfRealHeaders) {
  ScopedTimeZone zone(kJapanZone);
  const DateCase cases[] = {
      {"Date: 8 Dec 2026 22:38:03 +0900", "2026/12/08 22:38:03"},  // no weekday
      {"Date: Tue, 08 Dec 2026 13:38:03 +0000 (UTC)", "2026/12/08 22:38:03"},
      {"Date: Tue,  8 Dec 2026 13:38:03 +0000", "2026/12/08 22:38:03"},
      {"Date:Tue, 8 Dec 2026 13:38:03 +0000", "2026/12/08 22:38:03"},
      {"Date: Tue, 8 Dec 2026 13:38:03\t+0000", "2026/12/08 22:38:03"},
      {"Date: 8 Dec 2026 22:38:03 +0900 (JST, Japan)", "2026/12/08 22:38:03"},
      {"Date: Tue, 8 Dec 99 10:00:00 GMT", "1999/12/08 19:00:00"},  // two-digit years
      {"Date: Tue, 8 Dec 26 10:00:00 GMT", "2026/12/08 19:00:00"},
      {"Date: Sun, 1 Jan 70 09:00:00 +0900", "1970/01/01 09:00:00"},
      {"Date: 8 Dec 2026 22:38 -0500", "2026/12/09 12:38:00"},  // no seconds
      {"Date: 8 Dec 2026", "2026/12/08 00:00:00"},              // no time
      {"Date: Wed, 1 Dec 2038 00:00:00 +0900", "2038/12/01 00:00:00"},
      {"Date: Mon, 31 Feb 2026 10:00:00 +0900", "2026/03/03 10:00:00"},  // the calendar carries over
  };
  ExpectDates(std::begin(cases), std::end(cases));
}

TEST(ParseDateHeader, UnusableDates) {
  ScopedTimeZone zone(kJapanZone);
  const DateCase cases[] = {
      {"Date: Tue, 8 Dec 2039 10:00:00 +0900", ""},
      {"Date: Wed, 31 Dec 1969 10:00:00 +0900", ""},
      {"Date: 32 Dec 2026 10:00:00 +0900", ""},
      {"Date: 0 Dec 2026 10:00:00 +0900", ""},
      {"Date: 8 DEC 2026 10:00:00 +0900", ""},  // month names are case-sensitive
      {"Date: 8 December 2026 10:00:00 +0900", ""},
      {"Date: Tue, Dec 8 2026 10:00:00 +0900", ""},
      {"Date: garbage", ""},
      {"Date: ,,,,", ""},
      {"Date:", ""},
      {"Date: 99999999999999999999 Dec 2026", ""},
      {"no colon at all", ""},
      {"", ""},
  };
  ExpectDates(std::begin(cases), std::end(cases));
}

TEST(ParseDateHeader, ValueIsTheInstantOnAJapanClock) {
  constexpr std::time_t kInstant = 1796737083;  // 2026-12-08 13:38:03 UTC
  const std::string line = "Date: Tue, 8 Dec 2026 13:38:03 +0000";
  {
    ScopedTimeZone zone(kJapanZone);
    EXPECT_EQ(TryParseDateHeader(line), kInstant);
  }
  {
    // On a computer that keeps UTC the value moves by nine hours, so that
    // the local clock still shows the Japan time.
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(TryParseDateHeader(line), kInstant + kJapanOffsetSeconds);
    EXPECT_EQ(FormatListDate(*TryParseDateHeader(line)), "2026/12/08 22:38:03");
  }
  {
    ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(FormatListDate(*TryParseDateHeader("Date: Wed, 1 Jul 2026 03:00:00 +0000")),
              "2026/07/01 12:00:00");
    EXPECT_EQ(FormatListDate(*TryParseDateHeader(line)), "2026/12/08 22:38:03");
  }
}

TEST(ParseDateHeader, UnusableDateGivesCurrentTime) {
  const std::time_t before = std::time(nullptr);
  const std::time_t value = ParseDateHeader("Date: Tue, 8 Dec 2039 10:00:00 +0900");
  const std::time_t after = std::time(nullptr);
  EXPECT_GE(value, before);
  EXPECT_LE(value, after);
}

TEST(DateFormats, WrittenFormats) {
  ScopedTimeZone zone(kJapanZone);
  const std::time_t evening = LocalValue(2026, 12, 8, 22, 38, 3);
  EXPECT_EQ(FormatListDate(evening), "2026/12/08 22:38:03");
  EXPECT_EQ(FormatReadViewDate(evening), "2026/12/08 Tue 22:38:03");
  EXPECT_EQ(FormatExportDate(evening), "Tue, 08 Dec 2026 22:38:03 +0900");
  EXPECT_EQ(FormatLanCopyDate(evening), "Tue, 08 Dec 2026 22:38:03");

  const std::time_t morning = LocalValue(2026, 1, 5, 9, 5, 7);
  EXPECT_EQ(FormatListDate(morning), "2026/01/05 09:05:07");
  EXPECT_EQ(FormatInsertedDate(morning), "2026/01/05");
  EXPECT_EQ(FormatReadViewDate(morning), "2026/01/05 Mon 09:05:07");
  EXPECT_EQ(FormatExportDate(morning), "Mon, 05 Jan 2026 09:05:07 +0900");
}

TEST(DateFormats, WrittenDatesReadBackUnchanged) {
  ScopedTimeZone zone(kJapanZone);
  const std::time_t value = LocalValue(2026, 7, 4, 6, 7, 8);
  EXPECT_EQ(TryParseDateHeader("Date: " + FormatExportDate(value)), value);
  EXPECT_EQ(TryParseDateHeader("Date: " + FormatLanCopyDate(value)), value);
}

TEST(Era, NameAndYear) {
  struct EraCase {
    int year, month, day;
    std::string name;
    int era_year;
  };
  const EraCase cases[] = {
      {1970, 1, 1, kShowa, 45},   {1989, 1, 7, kShowa, 64},   {1989, 1, 8, kHeisei, 1},
      {2008, 6, 15, kHeisei, 20}, {2019, 4, 30, kHeisei, 31}, {2019, 5, 1, kReiwa, 1},
      {2026, 12, 8, kReiwa, 8},
  };
  for (const EraCase& c : cases) {
    EXPECT_EQ(EraName(c.year, c.month, c.day), c.name) << c.year << "/" << c.month << "/" << c.day;
    EXPECT_EQ(EraYear(c.year, c.month, c.day), c.era_year) << c.year << "/" << c.month << "/" << c.day;
  }
}

struct MacroCase {
  std::string text;
  std::string expected;
};

TEST(ExpandDateMacros, EveryMacro) {
  ScopedTimeZone zone(kJapanZone);
  const std::time_t evening = LocalValue(2026, 12, 8, 22, 5, 9);  // a Tuesday
  const MacroCase evening_cases[] = {
      {"$jy", kReiwa + "8"},
      {"$4wy", "2026"},
      {"$2wy", "26"},
      {"$1mon", "12"},
      {"$2mon", "12"},
      {"$1d", "8"},
      {"$2d", "08"},
      {"$3ew", "Tue"},
      {"$aew", "Tuesday"},
      {"$jw", kTuesday},
      {"$121eh", "PM10"},
      {"$122eh", "PM10"},
      {"$121jh", kAfternoon + "10"},
      {"$122jh", kAfternoon + "10"},
      {"$241h", "22"},
      {"$242h", "22"},
      {"$1min", "5"},
      {"$2min", "05"},
      {"$4wy/$2mon/$2d ($jw)", "2026/12/08 (" + kTuesday + ")"},
      {"$2d.$2d.$2d", "08.08.08"},
      {"no macro $ here $xy", "no macro $ here $xy"},
      {"", ""},
  };
  for (const MacroCase& c : evening_cases) EXPECT_EQ(ExpandDateMacros(c.text, evening), c.expected) << c.text;

  const std::time_t morning = LocalValue(2009, 3, 4, 9, 7, 0);  // a Wednesday
  const MacroCase morning_cases[] = {
      {"$jy", kHeisei + "21"},        {"$2wy", "09"},
      {"$1mon/$2mon", "3/03"},        {"$1d/$2d", "4/04"},
      {"$3ew $aew", "Wed Wednesday"}, {"$jw", kWednesday},
      {"$121eh $122eh", "AM9 AM09"},  {"$121jh", kMorning + "9"},
      {"$122jh", kMorning + "09"},    {"$241h:$1min", "9:7"},
      {"$242h:$2min", "09:07"},
  };
  for (const MacroCase& c : morning_cases) EXPECT_EQ(ExpandDateMacros(c.text, morning), c.expected) << c.text;
}

TEST(ExpandDateMacros, NoonAndMidnightAreHourZero) {
  ScopedTimeZone zone(kJapanZone);
  const std::time_t noon = LocalValue(2026, 12, 8, 12, 0, 0);
  EXPECT_EQ(ExpandDateMacros("$121eh $122eh $241h", noon), "PM0 PM00 12");
  EXPECT_EQ(ExpandDateMacros("$121jh", noon), kAfternoon + "0");
  const std::time_t midnight = LocalValue(2026, 12, 8, 0, 30, 0);
  EXPECT_EQ(ExpandDateMacros("$121eh $242h:$2min", midnight), "AM0 00:30");
  EXPECT_EQ(ExpandDateMacros("$122jh", midnight), kMorning + "00");
}

}  // namespace
}  // namespace lp
