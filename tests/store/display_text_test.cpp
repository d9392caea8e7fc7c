#include "store/display_text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec/japanese_text.h"

namespace lp {
namespace {

// "本文です", "二行目", "三行目" in ISO-2022-JP and in Shift_JIS.
const std::string kJisBody1 = "\x1b$BK\\J8$G$9\x1b(B";
const std::string kJisBody2 = "\x1b$BFs9TL\\\x1b(B";
const std::string kJisBody3 = "\x1b$B;09TL\\\x1b(B";
const std::string kSjisBody1 = "\x96\x7B\x95\xB6\x82\xC5\x82\xB7";
const std::string kSjisBody2 = "\x93\xF1\x8D\x73\x96\xDA";

const std::string kReceived =
    "+OK 512 octets\r\n"
    "Return-Path: <a@example.jp>\r\n"
    "Subject: hello\r\n"
    "\tworld\r\n"
    "X-Mailer: mailer\r\n"
    " continued mailer\r\n"
    "X-Note: dropped\r\n"
    "sUBJECT: field names are shown whatever their case\r\n"
    "From: a@example.jp\r\n"
    "Date: Thu, 10 Dec 2026 09:00:00 +0900\r\n"
    "9 a continuation must not start with a digit\r\n"
    "Reply-To: r@example.jp\r\n"
    "To: b@example.jp\r\n"
    "Cc: c@example.jp\r\n"
    "\r\n"
    "line 1\r\n"
    "line 2\r\n"
    "line 3";

const std::string kKeptHeaders =
    "Subject: hello\r\n"
    "\tworld\r\n"
    "sUBJECT: field names are shown whatever their case\r\n"
    "From: a@example.jp\r\n"
    "Date: Thu, 10 Dec 2026 09:00:00 +0900\r\n"
    "Reply-To: r@example.jp\r\n"
    "To: b@example.jp\r\n"
    "Cc: c@example.jp\r\n";

TEST(BuildDisplayText, HeaderModesAndLineLimits) {
  struct Case {
    const char* what;
    std::string text;
    HeaderMode mode;
    int setting;
    int limit;
    std::string expected;
  };
  const std::string sjis_mail = "Subject: s\r\nX-Mailer: m\r\n\r\n" + kSjisBody1 + "\r\n" + kSjisBody2 +
                                "\r\nthird\r\nfourth";
  const std::string jis_mail = "Subject: s\r\nX-Mailer: m\r\n\r\n" + kJisBody1 + "\r\n" + kJisBody2 +
                               "\r\n" + kJisBody3 + "\r\nfourth";
  const std::vector<Case> cases = {
      {"setting 0 keeps the chosen headers and continuations", kReceived, HeaderMode::FromSetting, 0, 0,
       kKeptHeaders + "\r\nline 1\r\nline 2\r\nline 3"},
      {"setting 1 shows every header line", kReceived, HeaderMode::FromSetting, 1, 0, kReceived},
      {"mode 1 shows every header line", kReceived, HeaderMode::All, 0, 0, kReceived},
      {"mode 2 shows the body only", kReceived, HeaderMode::None, 1, 0, "\r\nline 1\r\nline 2\r\nline 3"},
      {"limit counts every line when all headers show", kReceived, HeaderMode::All, 0, 3,
       "+OK 512 octets\r\nReturn-Path: <a@example.jp>\r\nSubject: hello\r\n"},
      {"limit does not apply to a Shift_JIS body", sjis_mail, HeaderMode::FromSetting, 0, 3,
       "Subject: s\r\n\r\n" + kSjisBody1 + "\r\n" + kSjisBody2 + "\r\nthird\r\nfourth"},
      {"limit counts the lines of a JIS body", jis_mail, HeaderMode::FromSetting, 0, 3,
       "Subject: s\r\n\r\n" + kSjisBody1 + "\r\n" + kSjisBody2 + "\r\n"},
      {"JIS tail without line end is converted", "\r\n" + kJisBody1, HeaderMode::None, 0, 0,
       "\r\n" + kSjisBody1},
      {"empty text", "", HeaderMode::All, 0, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildDisplayText(c.text, c.mode, c.setting, c.limit), c.expected) << c.what;
  }
}

TEST(BuildDisplayText, LongLinesAreShownInPieces) {
  struct Case {
    const char* what;
    std::string line;
    std::vector<std::size_t> pieces;
  };
  std::string with_gt(3000, 'a');
  with_gt[99] = '>';
  std::string with_quoted_gt(1500, 'b');
  with_quoted_gt[10] = '\x1b';
  with_quoted_gt[20] = '>';
  with_quoted_gt[30] = '\x1b';
  with_quoted_gt[40] = '>';
  const std::vector<Case> cases = {
      {"3000 bytes without >", std::string(3000, 'a'), {1024, 1024, 952}},
      {"exactly 1024 bytes", std::string(1024, 'a'), {1024}},
      {"1025 bytes", std::string(1025, 'a'), {1024, 1}},
      {"cut after the first >", with_gt, {100, 1024, 1024, 852}},
      {"a > inside an escape region does not count", with_quoted_gt, {41, 1024, 435}},
  };
  for (const Case& c : cases) {
    std::string expected;
    std::size_t offset = 0;
    for (std::size_t length : c.pieces) {
      expected += ConvertToSjis(c.line.substr(offset, length)) + "\r\n";
      offset += length;
    }
    ASSERT_EQ(offset, c.line.size()) << c.what;
    expected += "end";
    EXPECT_EQ(BuildDisplayText(c.line + "\r\nend", HeaderMode::All, 0, 0), expected) << c.what;
  }
}

TEST(BuildDisplayText, ShortHeaderShowsDisplayNamesWithoutQuotes) {
  const std::string header =
      "From: \"Taro \\\"T\\\" Yamada\" <taro@example.jp>\r\n"
      "To: \"Suzuki,\r\n"
      "\t Hanako\" <h@example.jp>, \"Ito\" <i@example.jp>\r\n"
      "Subject: \"quoted\" stays\r\n"
      "X-Other: \"dropped\"\r\n"
      "Reply-To: \"Desk\" <desk@example.jp>\r\n"
      "\r\nbody \"as sent\"";
  EXPECT_EQ(BuildDisplayText(header, HeaderMode::FromSetting, 0, 0),
            "From: Taro \"T\" Yamada <taro@example.jp>\r\n"
            "To: Suzuki,\r\n"
            "\t Hanako <h@example.jp>, Ito <i@example.jp>\r\n"
            "Subject: \"quoted\" stays\r\n"
            "Reply-To: Desk <desk@example.jp>\r\n"
            "\r\nbody \"as sent\"");
  // The full header is the header as received.
  EXPECT_EQ(BuildDisplayText(header, HeaderMode::All, 0, 0), header);
}

TEST(BuildDisplayText, LongLinesOfAShiftJisBodyStayWhole) {
  const std::string text = "Subject: s\r\n\r\n" + std::string(3000, 'a') + "\r\nend";
  EXPECT_EQ(BuildDisplayText(text, HeaderMode::FromSetting, 0, 0), text);
}

}  // namespace
}  // namespace lp
