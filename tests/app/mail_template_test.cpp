#include "app/mail_template.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace lp {
namespace {

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

TEST(ParseMailTemplate, FieldsAndBody) {
  struct Case {
    std::string name;
    std::string bytes;
    std::string path;
    MailTemplate expected;
  };
  const std::vector<Case> cases = {
      {"subject from the file name, body lines with CR LF",
       "Hello\nWorld  \r\n",
       "Templates/" + Sjis("御礼.txt"),
       {std::nullopt, Sjis("御礼"), std::nullopt, std::nullopt, std::nullopt, "Hello\r\nWorld\r\n"}},
      {"header lines anywhere, any case, leading blanks go",
       "\r\n\r\nto:  a@example.jp\nDear all\nsubject: Hi\n\nCC:b@example.jp\nBcc: c@example.jp\nATTACH: /tmp/x.pdf\nBye\n",
       "t.TXT",
       {"a@example.jp", "Hi", "b@example.jp", "c@example.jp", "/tmp/x.pdf", "Dear all\r\n\r\nBye\r\n"}},
      {"all header lines give an empty body",
       "To: a@example.jp\r\nSubject: " + Sjis("件名") + "\r\n",
       "x.txt",
       {"a@example.jp", Sjis("件名"), std::nullopt, std::nullopt, std::nullopt, ""}},
      {"a last line without line break counts; blank-only lines before the body are dropped",
       " \t\nlast",
       "dir.d/noext",
       {std::nullopt, "noext", std::nullopt, std::nullopt, std::nullopt, "last\r\n"}},
      {"long lines stay whole",
       std::string(10000, 'x') + "\n",
       "l.txt",
       {std::nullopt, "l", std::nullopt, std::nullopt, std::nullopt, std::string(10000, 'x') + "\r\n"}},
      {"an empty field", "To:\n", "e.txt", {"", "e", std::nullopt, std::nullopt, std::nullopt, ""}},
  };
  for (const Case& c : cases) {
    const MailTemplate parsed = ParseMailTemplate(c.bytes, c.path);
    EXPECT_EQ(parsed.to, c.expected.to) << c.name;
    EXPECT_EQ(parsed.subject, c.expected.subject) << c.name;
    EXPECT_EQ(parsed.cc, c.expected.cc) << c.name;
    EXPECT_EQ(parsed.bcc, c.expected.bcc) << c.name;
    EXPECT_EQ(parsed.attach, c.expected.attach) << c.name;
    EXPECT_EQ(parsed.body, c.expected.body) << c.name;
  }
}

TEST(FormatMailTemplate, WritesTheFieldsThatAreSetThenTheBody) {
  TemplateFields fields;
  fields.to = "a@example.jp";
  fields.subject = Sjis("件名");
  fields.attach = "/tmp/x.pdf";
  fields.body = "one\r\ntwo\r\n";
  const std::string written = FormatMailTemplate(fields);
  EXPECT_EQ(written, "To:a@example.jp\r\nSubject:" + Sjis("件名") + "\r\nAttach:/tmp/x.pdf\r\n\r\none\r\ntwo\r\n\r\n");

  // Read back, the template gives the same fields and body (its empty last
  // line is part of the body, as the file holds it).
  const MailTemplate parsed = ParseMailTemplate(written, "any.txt");
  EXPECT_EQ(parsed.to, fields.to);
  EXPECT_EQ(parsed.subject, fields.subject);
  EXPECT_EQ(parsed.cc, std::nullopt);
  EXPECT_EQ(parsed.attach, fields.attach);
  EXPECT_EQ(parsed.body, "one\r\ntwo\r\n\r\n");

  EXPECT_EQ(FormatMailTemplate({}), "\r\n\r\n");
}

TEST(TextFileForInsertion, JoinsTheLinesWithCrLf) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a\nb\n", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"a\n\nb\r\n\r\n", "a\r\n\r\nb\r\n"},
      {"", ""},
      {"\n", ""},
  };
  for (const auto& [bytes, inserted] : cases) EXPECT_EQ(TextFileForInsertion(bytes), inserted) << bytes;
}

}  // namespace
}  // namespace lp
