#include "codec/readable_mail.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"

// Stored texts as the analysis leaves them: header lines, an empty line,
// then the decoded text parts one after another without their part
// headers, and a note line for each saved attachment.

namespace lp {
namespace {

std::string Readable(const std::string& stored_utf8) {
  return Cp932ToUtf8(ReadableMailText(Utf8ToCp932(stored_utf8)));
}

const std::string kAlternative = "+OK\r\nSubject: s\r\nContent-Type: multipart/alternative; boundary=\"b\"\r\n\r\n";
const std::string kMixed = "+OK\r\nSubject: s\r\nContent-Type: multipart/mixed;\r\n\tboundary=\"b\"\r\n\r\n";
const std::string kHtmlOnly = "+OK\r\nSubject: s\r\nContent-Type: text/html; charset=utf-8\r\n\r\n";
const std::string kPlain = "+OK\r\nSubject: s\r\nContent-Type: text/plain\r\n\r\n";
const std::string kNote = "★添付ファイル 資料.pdf を受信しました\r\n\r\n";

struct Case {
  const char* name;
  std::string stored;
  std::string shown;
};

TEST(ReadableMailText, ShowsTheTextVersionOrTextMadeFromTheHtml) {
  const std::string html = "<html><head><style>p{}</style></head><body><p>山田様</p><p>ご連絡です。</p></body></html>";
  const std::vector<Case> cases = {
      {"text and HTML versions", kAlternative + "This is a multi-part message in MIME format.\r\n\r\n山田様\r\n\r\n"
                                                "ご連絡です。\r\n\r\n" + html + "\r\n",
       kAlternative + "山田様\r\n\r\nご連絡です。"},
      {"HTML version without an HTML element",
       kAlternative + "本文です\r\n\r\n<div dir=\"ltr\">本文です</div>\r\n\r\n",
       kAlternative + "本文です"},
      {"HTML only, the note glued to its end", kMixed + "<!DOCTYPE html>\r\n" + html + kNote,
       kMixed + "山田様\r\n\r\nご連絡です。\r\n\r\n" + kNote},
      {"HTML only after a preamble", kMixed + "This is a multi-part message in MIME format.\r\n" + html + "\r\n",
       kMixed + "山田様\r\n\r\nご連絡です。"},
      {"text and HTML versions, then an attachment", kMixed + "本文\r\n" + html + "\r\n" + kNote,
       kMixed + "本文\r\n\r\n" + kNote},
      {"single-part HTML without an element", kHtmlOnly + "<b>太字</b><br>\r\n次の行",
       kHtmlOnly + "太字\r\n次の行"},
      {"a note glued to the text part", kMixed + "本文の終わり" + kNote, kMixed + "本文の終わり\r\n" + kNote},
  };
  for (const Case& c : cases) EXPECT_EQ(Readable(c.stored), c.shown) << c.name;
}

TEST(ReadableMailText, LeavesOtherMailAsItIs) {
  const std::vector<std::string> unchanged = {
      kPlain + "<html><body>本文</body></html>",       // plain text that holds markup
      "+OK\r\nSubject: s\r\n\r\n<p>no content type</p>",  // no Content-Type: plain text
      kMixed + "本文\r\n<div>タグの話をするだけ\r\n続き\r\n" + kNote,  // a tag that is not followed by markup
      kMixed + "本文\r\n" + kNote,
      kAlternative,
      "Subject: only a header",
      "",
  };
  for (const std::string& stored : unchanged) EXPECT_EQ(Readable(stored), stored) << stored;
}

TEST(ReadableMailText, JisBodyComesBackInShiftJis) {
  // "<p>こんにちは</p>" in ISO-2022-JP, as a base64 part is stored undecoded.
  const std::string stored = "Content-Type: text/html; charset=iso-2022-jp\r\n\r\n<p>\x1b$B$3$s$K$A$O\x1b(B</p>";
  EXPECT_EQ(Cp932ToUtf8(ReadableMailText(stored)), "Content-Type: text/html; charset=iso-2022-jp\r\n\r\nこんにちは");
}

}  // namespace
}  // namespace lp
