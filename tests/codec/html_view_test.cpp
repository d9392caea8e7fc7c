#include "codec/html_view.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/unread_mark.h"
#include "store/store_messages.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

namespace msg = html_view_messages;

class RecordingCommands : public CommandObserver {
 public:
  void OnCommand(int command_id) override { commands.push_back(command_id); }
  std::vector<int> commands;
};

class RecordingOpener : public FileOpener {
 public:
  bool OpenWithDefaultProgram(std::string_view sjis_path) override {
    opened.emplace_back(sjis_path);
    return result;
  }
  std::vector<std::string> opened;
  bool result = true;
};

// Every page says that it is written in Shift_JIS.
constexpr char kDeclaration[] = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">";
const std::string kPageHead = std::string("<HTML>\r\n") + kDeclaration + "\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n<TITLE>";

// A mail's HTML element as its page holds it: the declaration right after
// the start tag (these elements have no HEAD).
std::string Declared(const std::string& html) {
  std::string page = html;
  page.insert(page.find('>') + 1, kDeclaration);
  return page;
}
constexpr char kPageTail[] = "</PRE></BODY></HTML>\r\n";

class HtmlViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeDirectory("Attach"));
    WriteFileBytes(dir_.File("box.lp"), "");
    ASSERT_TRUE(box_.Open("box.lp").ok);
  }

  int AddMail(const std::string& text, const std::string& subject = "s", int status = kStatusRead) {
    auto mail = std::make_unique<CMail>();
    mail->subject = subject;
    mail->status = status;
    box_.Add(std::move(mail));
    EXPECT_TRUE(box_.StoreTextOfLast(text));
    return box_.Count() - 1;
  }

  std::string Page() const { return ReadFileBytes(dir_.File("Attach/lpost.html")); }

  // The lines of the page's PRE block.
  std::string PreBlock() const {
    const std::string page = Page();
    const std::size_t start = page.find("<PRE>\r\n");
    const std::size_t end = page.rfind(kPageTail);
    if (start == std::string::npos || end == std::string::npos) return "(no PRE block) " + page;
    return page.substr(start + 7, end - start - 7);
  }

  std::vector<std::string> QuestionTexts() const {
    std::vector<std::string> texts;
    for (const auto& question : ui_.questions) {
      EXPECT_EQ(question.buttons, MessageButtons::YesNo);
      texts.push_back(question.text);
    }
    return texts;
  }

  // The outcome when every warning is answered at once from the script,
  // as the command line answers.
  template <typename Start>
  bool DecidedNow(Start start) {
    std::optional<bool> outcome;
    start([&outcome](bool value) {
      EXPECT_FALSE(outcome.has_value()) << "decided twice";
      outcome = value;
    });
    EXPECT_TRUE(outcome.has_value()) << "not decided at once";
    return outcome.value_or(false);
  }
  bool WriteNow(int index) {
    return DecidedNow([&](HtmlViewDecided done) { WriteHtmlView(box_, index, {guard_, page_}, std::move(done)); });
  }
  bool WriteTextNow(std::string_view text, std::string_view subject) {
    return DecidedNow(
        [&](HtmlViewDecided done) { WriteHtmlViewOfText(profile_, ui_, text, subject, {guard_, page_}, std::move(done)); });
  }
  bool ShowNow(int index, FileOpener& opener) {
    return DecidedNow([&](HtmlViewShown done) { ShowMailInBrowser(box_, index, opener, {guard_, page_}, std::move(done)); });
  }
  bool ShowTextNow(std::string_view text, std::string_view subject, FileOpener& opener) {
    return DecidedNow([&](HtmlViewShown done) {
      ShowTextInBrowser(profile_, ui_, text, subject, opener, {guard_, page_}, std::move(done));
    });
  }

  testing::TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  RecordingCommands commands_;
  CLPOSTDoc box_{profile_, ui_, commands_};
  QuestionGuard page_;   // the application's, for every window
  QuestionGuard guard_;  // the window's; goes before the box
};

TEST(HtmlViewMessages, AreTheShiftJisTextsOfTheDialogs) {
  EXPECT_EQ(Cp932ToUtf8(msg::kCannotWrite), "ファイルに書き込めません");
  EXPECT_EQ(Cp932ToUtf8(msg::kHtmlMailQuestion),
            "HTMLメールです。HTMLメールにはウイルスを含むなど有害なものが含まれる可能性があります。"
            "それでもブラウザで開きますか？");
  EXPECT_EQ(Cp932ToUtf8(msg::kScriptQuestion),
            "このHTMLにはスクリプトが含まれています。スクリプトにはウイルスなどの有害なものがある"
            "場合があります。それでも開きますか？");
  EXPECT_EQ(Cp932ToUtf8(msg::kIframeRefused),
            "このHTMLには自動的なファイル実行タグ（IFRAME）が含まれています。IFRAMEはウイルスなど"
            "有害なものに利用されますので現在の設定では開けません");
}

TEST_F(HtmlViewTest, PlainMailBecomesAPreBlockWithTheShownHeaderFields) {
  const int index = AddMail(
      "+OK 300 octets\r\n"
      "Received: from relay\r\n"
      "\tby mx\r\n"
      "From: Foo <foo@example.com>\r\n"
      "To: bar@example.com,\r\n"
      " baz@example.com\r\n"
      "X-Mailer: m\r\n"
      " (continued)\r\n"
      "Subject: \x8C\x8F\x96\xBC & more\r\n"  // 件名
      "Date: Mon, 1 Jan 2024 10:00:00 +0900\r\n"
      "\r\n"
      "See http://example.com/a?b=1 now.\r\n"
      "\r\n"
      "-- \r\n"
      "sig",
      "\x8C\x8F\x96\xBC <& more>");
  ASSERT_TRUE(WriteNow(index));
  EXPECT_EQ(Page(),
            kPageHead +
                "\x8C\x8F\x96\xBC &lt;&amp; more&gt;</TITLE>\r\n<PRE>\r\n"
                "From: Foo &lt;foo@example.com&gt;\r\n"
                "To: bar@example.com,\r\n"
                " baz@example.com\r\n"
                "Subject: \x8C\x8F\x96\xBC &amp; more\r\n"
                "Date: Mon, 1 Jan 2024 10:00:00 +0900\r\n"
                "\r\n"
                "See <A HREF=\"http://example.com/a?b=1\">http://example.com/a?b=1</A> now.\r\n"
                "\r\n"
                "-- \r\n"
                "sig\r\n" +
                kPageTail);
  EXPECT_TRUE(ui_.questions.empty());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HtmlViewTest, BodyLinesGetLinksAndEscaping) {
  struct Case {
    const char* line;
    const char* html;
  };
  const std::vector<Case> cases = {
      // The link's target and text are exactly the address; the words
      // around it stay.
      {"go http://www.example.co.jp/x/y.html?a=1&b=2 please",
       "go <A HREF=\"http://www.example.co.jp/x/y.html?a=1&b=2\">http://www.example.co.jp/x/y.html?a=1&b=2</A>"
       " please"},
      {"http://a.example/~u/-+_:@=. end",
       "<A HREF=\"http://a.example/~u/-+_:@=.\">http://a.example/~u/-+_:@=.</A> end"},
      {"(http://a.example)", "(<A HREF=\"http://a.example\">http://a.example</A>)"},
      {"http://", "<A HREF=\"http://\">http://</A>"},
      {"two http://a.example and http://b.example",
       "two <A HREF=\"http://a.example\">http://a.example</A> and "
       "<A HREF=\"http://b.example\">http://b.example</A>"},
      // "$" and "%" end an address in stored mail.
      {"http://a.example/$x%20", "<A HREF=\"http://a.example/\">http://a.example/</A>$x%20"},
      // After a "<" of the mail that no ">" closed, an address stays plain.
      {"x < http://a.example", "x &lt; http://a.example"},
      {"<a href=\"http://a.example\">", "&lt;a href=\"http://a.example\"&gt;"},
      {"http://a.example <c http://b.example",
       "<A HREF=\"http://a.example\">http://a.example</A> &lt;c http://b.example"},
      {"<b> http://a.example", "&lt;b&gt; <A HREF=\"http://a.example\">http://a.example</A>"},
      // The mail's own markup is shown, never run.
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"Tom & Jerry <tj@example.com>", "Tom &amp; Jerry &lt;tj@example.com&gt;"},
      // A trail byte "h" (ド = 0x83 0x68) does not start an address.
      {"\x83\x68ttp://a.example", "\x83\x68ttp://a.example"},
      {"\x83\x4E http://a.example/\x83\x4E",  // ク
       "\x83\x4E <A HREF=\"http://a.example/\">http://a.example/</A>\x83\x4E"},
  };
  for (const Case& c : cases) {
    const int index = AddMail(std::string("Subject: s\r\n\r\n") + c.line);
    ASSERT_TRUE(WriteNow(index));
    EXPECT_EQ(PreBlock(), std::string("Subject: s\r\n\r\n") + c.html + "\r\n") << c.line;
  }
}

TEST_F(HtmlViewTest, OverlongLineArrivesInPiecesAndTheTerminatorIsNotWritten) {
  const std::string long_line(40000, 'a');
  const int index = AddMail("Subject: s\r\n\r\n" + long_line + "\r\n.x");
  ASSERT_TRUE(WriteNow(index));
  EXPECT_EQ(PreBlock(), "Subject: s\r\n\r\n" + std::string(31999, 'a') + "\r\n" + std::string(8001, 'a') +
                            "\r\n.x\r\n");
}

TEST_F(HtmlViewTest, MissingOutputDirectoryOrTextFileIsReportedAndNothingMayOpen) {
  const int index = AddMail("Subject: s\r\n\r\nbody");
  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "missing"));
  EXPECT_FALSE(WriteNow(index));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{msg::kCannotWrite});

  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "Attach"));
  ASSERT_TRUE(WriteNow(index));
  const std::string earlier = Page();
  ui_.messages.clear();
  ASSERT_TRUE(RemoveFile(box_.TextFilePath()));
  EXPECT_FALSE(WriteNow(index));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{store_messages::kTextFileOpenFailed});
  EXPECT_EQ(Page(), earlier);  // the last good page stays whole

  EXPECT_FALSE(WriteNow(5));
}

TEST_F(HtmlViewTest, PagePathFollowsTheAttachmentDirectorySetting) {
  EXPECT_EQ(HtmlViewPath(profile_), JoinPath(CurrentDirectory(), "Attach/lpost.html"));
  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "files/"));
  EXPECT_EQ(HtmlViewPath(profile_), JoinPath(CurrentDirectory(), "files/lpost.html"));
  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "/srv/mail/att"));
  EXPECT_EQ(HtmlViewPath(profile_), "/srv/mail/att/lpost.html");
}

TEST_F(HtmlViewTest, HtmlMailIsWrittenAsItsHtmlElementAndAskedAbout) {
  const std::string prefix = "Subject: s\r\n\r\nintro\r\n";
  const std::string html = "<html><body><p>Hi &amp; bye</p></body></HTML>";
  const int index = AddMail(prefix + html + "\r\nafter");
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(WriteNow(index));
  EXPECT_EQ(Page(), Declared(html) + "\r\n");
  EXPECT_EQ(QuestionTexts(), std::vector<std::string>{msg::kHtmlMailQuestion});
}

TEST_F(HtmlViewTest, HtmlPageDeclaresShiftJisInPlaceOfTheMailsCharset) {
  ASSERT_TRUE(profile_.WriteInt("System", "HtmlAlert", 0));
  struct Case {
    const char* name;
    std::string html;
    std::string page;
  };
  const std::string body = "<body><p>\x96\x7B\x95\xB6</p></body></html>";  // 本文
  const std::vector<Case> cases = {
      {"meta charset", "<html lang=ja><HEAD>\r\n<meta charset=\"utf-8\"><title>t</title></head>" + body,
       std::string("<html lang=ja><HEAD>") + kDeclaration + "\r\n<title>t</title></head>" + body},
      {"http-equiv", "<html><head><META http-equiv='Content-Type' content='text/html; charset=UTF-8'>"
                     "<meta name=\"viewport\" content=\"width=device-width\"></head>" + body,
       std::string("<html><head>") + kDeclaration + "<meta name=\"viewport\" content=\"width=device-width\"></head>" + body},
      {"no declaration, no head", "<html>" + body, std::string("<html>") + kDeclaration + body},
  };
  for (const Case& c : cases) {
    const int index = AddMail("Subject: s\r\nContent-Type: text/html; charset=utf-8\r\n\r\n" + c.html);
    ASSERT_TRUE(WriteNow(index)) << c.name;
    EXPECT_EQ(Page(), c.page + "\r\n") << c.name;
  }
}

TEST_F(HtmlViewTest, QuestionsFollowTheSettingsAndTheAnswers) {
  struct Case {
    const char* name;
    const char* body;
    int html_alert;
    int iframe_check;
    std::vector<Answer> answers;
    bool may_open;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
  };
  const std::string plain = "<HTML><p>x</p></HTML>";
  const std::string script = "<HTML><Script>run()</script></HTML>";
  const std::string iframe = "<HTML><iframe src=x></iframe></HTML>";
  const std::string both = "<HTML><script></script><IFRAME></IFRAME></HTML>";
  const std::vector<Case> cases = {
      {"alert yes", plain.c_str(), 1, 1, {Answer::Yes}, true, {msg::kHtmlMailQuestion}, {}},
      {"alert no", plain.c_str(), 1, 1, {Answer::No}, false, {msg::kHtmlMailQuestion}, {}},
      {"alert off", plain.c_str(), 0, 1, {}, true, {}, {}},
      {"script yes", script.c_str(), 1, 1, {Answer::Yes, Answer::Yes}, true,
       {msg::kHtmlMailQuestion, msg::kScriptQuestion}, {}},
      {"script no", script.c_str(), 1, 1, {Answer::Yes, Answer::No}, false,
       {msg::kHtmlMailQuestion, msg::kScriptQuestion}, {}},
      {"declined before script", script.c_str(), 1, 1, {Answer::No}, false, {msg::kHtmlMailQuestion}, {}},
      {"iframe refused", iframe.c_str(), 1, 1, {Answer::Yes}, false, {msg::kHtmlMailQuestion},
       {msg::kIframeRefused}},
      {"iframe check off", iframe.c_str(), 1, 0, {Answer::Yes}, true, {msg::kHtmlMailQuestion}, {}},
      {"iframe check off, script", both.c_str(), 0, 0, {Answer::Yes}, true, {msg::kScriptQuestion}, {}},
      {"iframe refused after script", both.c_str(), 0, 1, {Answer::Yes}, false, {msg::kScriptQuestion},
       {msg::kIframeRefused}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(profile_.WriteInt("System", "HtmlAlert", c.html_alert));
    ASSERT_TRUE(profile_.WriteInt("System", "HtmlIframeCheck", c.iframe_check));
    ui_.questions.clear();
    ui_.messages.clear();
    for (const Answer answer : c.answers) ui_.QueueAnswer(answer);
    const int index = AddMail(std::string("Subject: s\r\n\r\n") + c.body);
    EXPECT_EQ(WriteNow(index), c.may_open) << c.name;
    EXPECT_EQ(QuestionTexts(), c.questions) << c.name;
    EXPECT_EQ(ui_.messages, c.messages) << c.name;
    // Declined or refused, the page is written all the same.
    EXPECT_EQ(Page(), Declared(c.body) + "\r\n") << c.name;
  }
}

TEST_F(HtmlViewTest, HtmlBodyWithoutItsElementIsWrapped) {
  struct Case {
    const char* content_type;
    bool wrapped;
  };
  const std::vector<Case> cases = {
      {"text/html; charset=iso-2022-jp", true},
      {"Text/HTML", true},
      {"text/plain", false},
  };
  ASSERT_TRUE(profile_.WriteInt("System", "HtmlAlert", 0));
  for (const Case& c : cases) {
    const int index = AddMail(std::string("Subject: s\r\nContent-Type: ") + c.content_type +
                              "\r\n\r\n<b>bold</b>\r\n<i>x</i>");
    ASSERT_TRUE(WriteNow(index)) << c.content_type;
    if (c.wrapped) {
      EXPECT_EQ(Page(), Declared("<HTML>\r\n\r\n<b>bold</b>\r\n<i>x</i>\r\n</HTML>\r\n")) << c.content_type;
    } else {
      EXPECT_EQ(PreBlock(), "Subject: s\r\n\r\n&lt;b&gt;bold&lt;/b&gt;\r\n&lt;i&gt;x&lt;/i&gt;\r\n")
          << c.content_type;
    }
  }
}

TEST_F(HtmlViewTest, QuotedPrintableJisHtmlIsDecoded) {
  ASSERT_TRUE(profile_.WriteInt("System", "HtmlAlert", 0));
  // Header lines other than the usual five are shown only with [Mail] Header on.
  ASSERT_TRUE(profile_.WriteInt("Mail", "Header", 1));
  const std::string header =
      "Subject: s\r\nContent-Type: text/html; charset=iso-2022-jp\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
  const int index = AddMail(header + "<html>=1B$B$3=\r\n$s=1B(B=3D</html>");
  ASSERT_TRUE(WriteNow(index));
  EXPECT_EQ(Page(), Declared("<html>\x1B$B$3$s\x1B(B=</html>\r\n"));

  // Without the JIS escape the text is taken as it stands.
  const int other = AddMail(header + "<html>a=3D=\r\nb</html>");
  ASSERT_TRUE(WriteNow(other));
  EXPECT_EQ(Page(), Declared("<html>a=3D=\r\nb</html>\r\n"));
}

TEST_F(HtmlViewTest, HasHtmlIframeNeedsAllFourTags) {
  struct Case {
    const char* body;
    bool iframe;
  };
  const std::vector<Case> cases = {
      {"<HTML><IFRAME src=x></IFRAME></HTML>", true},
      {"<html><body><iframe\r\nsrc=x></Iframe></body></html>", true},
      {"<HTML><IFRAME src=x></HTML>", false},
      {"<IFRAME src=x></IFRAME>", false},
      {"<HTML x><IFRAME></IFRAME></HTML>", false},
      {"<HTML></HTML>", false},
  };
  for (const Case& c : cases) {
    const int index = AddMail(std::string("Subject: s\r\n\r\n") + c.body);
    EXPECT_EQ(HasHtmlIframe(box_, index), c.iframe) << c.body;
  }
  EXPECT_FALSE(HasHtmlIframe(box_, -1));
}

TEST_F(HtmlViewTest, ShowMailInBrowserMarksAnUnreadMailReadAndOpensThePage) {
  const int index = AddMail("Subject: s\r\n\r\nbody", "s", kStatusUnread);
  ASSERT_TRUE(box_.Save().ok);
  RecordingOpener opener;
  EXPECT_TRUE(ShowNow(index, opener));
  EXPECT_EQ(box_.RecordAt(index)->status, kStatusRead);
  EXPECT_TRUE(box_.IsModified());
  EXPECT_EQ(commands_.commands, std::vector<int>{kCommandRefreshUnreadMarks});
  EXPECT_EQ(ReadUnreadMark(profile_, box_.PathName()), 0);
  EXPECT_EQ(opener.opened, std::vector<std::string>{HtmlViewPath(profile_)});
}

TEST_F(HtmlViewTest, ShowMailInBrowserLeavesADeclinedMailAsItWas) {
  const int index = AddMail("Subject: s\r\n\r\n<HTML></HTML>", "s", kStatusUnread);
  ASSERT_TRUE(box_.Save().ok);
  ui_.QueueAnswer(Answer::No);
  RecordingOpener opener;
  EXPECT_FALSE(ShowNow(index, opener));
  EXPECT_EQ(box_.RecordAt(index)->status, kStatusUnread);
  EXPECT_FALSE(box_.IsModified());
  EXPECT_TRUE(commands_.commands.empty());
  EXPECT_TRUE(opener.opened.empty());

  // A read mail stays as it is; the opener's failure is the result.
  const int read = AddMail("Subject: s\r\n\r\nplain", "s", kStatusReplied);
  opener.result = false;
  EXPECT_FALSE(ShowNow(read, opener));
  EXPECT_EQ(box_.RecordAt(read)->status, kStatusReplied);
  EXPECT_EQ(opener.opened.size(), 1u);
}

// A dialog answers from the event loop: the page opens after the last yes,
// and the mail is found again by its serial though the list changed.
TEST_F(HtmlViewTest, WarningsAnsweredLaterOpenThePageAfterTheLastYes) {
  const int before = AddMail("Subject: a\r\n\r\nplain", "a");
  const int index = AddMail("Subject: s\r\n\r\n<HTML><SCRIPT></SCRIPT></HTML>", "s", kStatusUnread);
  ASSERT_TRUE(box_.Save().ok);
  ui_.HoldAnswers();
  RecordingOpener opener;
  std::vector<bool> shown;
  ShowMailInBrowser(box_, index, opener, {guard_, page_}, [&shown](bool opened) { shown.push_back(opened); });
  EXPECT_EQ(QuestionTexts(), std::vector<std::string>{msg::kHtmlMailQuestion});
  ASSERT_TRUE(box_.RemoveAt(before));  // the list changes while the user reads
  ui_.TakeHeldQuestion()(Answer::Yes);
  EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{msg::kHtmlMailQuestion, msg::kScriptQuestion}));
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(shown.empty());
  ui_.TakeHeldQuestion()(Answer::Yes);
  EXPECT_EQ(opener.opened, std::vector<std::string>{HtmlViewPath(profile_)});
  EXPECT_EQ(shown, std::vector<bool>{true});
  ASSERT_EQ(box_.Count(), 1);
  EXPECT_EQ(box_.RecordAt(0)->status, kStatusRead);
}

// An answer that comes when nobody waits for it any more opens nothing and
// touches nothing.
TEST_F(HtmlViewTest, LateOrSecondAnswerOpensNothing) {
  enum class Ending { WindowClosed, NewerPageWritten, AnsweredTwice };
  for (const Ending ending : {Ending::WindowClosed, Ending::NewerPageWritten, Ending::AnsweredTwice}) {
    SCOPED_TRACE(static_cast<int>(ending));
    const int index = AddMail("Subject: s\r\n\r\n<HTML></HTML>", "s", kStatusUnread);
    const int plain = AddMail("Subject: p\r\n\r\nplain", "p");
    ui_.HoldAnswers();
    RecordingOpener opener;
    std::vector<bool> shown;
    auto window = std::make_unique<QuestionGuard>();
    ShowMailInBrowser(box_, index, opener, {*window, page_}, [&shown](bool opened) { shown.push_back(opened); });
    const UserInterface::AnswerHandler answer = ui_.TakeHeldQuestion();
    ASSERT_TRUE(answer);
    switch (ending) {
      case Ending::WindowClosed:
        window.reset();
        break;
      case Ending::NewerPageWritten:
        ASSERT_TRUE(WriteNow(plain));
        break;
      case Ending::AnsweredTwice:
        answer(Answer::No);
        break;
    }
    const std::string page = Page();
    answer(Answer::Yes);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_EQ(shown, ending == Ending::AnsweredTwice ? std::vector<bool>{false} : std::vector<bool>{});
    EXPECT_EQ(box_.RecordAt(index)->status, kStatusUnread);
    EXPECT_EQ(Page(), page);
    EXPECT_EQ(ui_.HeldCount(), 0u);
  }
}

TEST_F(HtmlViewTest, ShownTextBecomesAPageOfEveryLine) {
  const std::string shown =
      "X-Mailer: m\r\n"
      "Subject: s\r\n"
      "\r\n"
      "<see> http://a.example/$x%20&y=1 ok\r\n"
      "last without line end";
  RecordingOpener opener;
  EXPECT_TRUE(ShowTextNow(shown, "a&b", opener));
  EXPECT_EQ(Page(), kPageHead +
                        "a&amp;b</TITLE>\r\n<PRE>\r\n"
                        "X-Mailer: m\r\n"
                        "Subject: s\r\n"
                        "\r\n"
                        "&lt;see&gt; <A HREF=\"http://a.example/$x%20&y=1\">http://a.example/$x%20&y=1</A> ok\r\n"
                        "last without line end\r\n" +
                        kPageTail);
  EXPECT_EQ(opener.opened, std::vector<std::string>{HtmlViewPath(profile_)});
  EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(HtmlViewTest, ShownHtmlGetsTheQuestions) {
  ui_.QueueAnswer(Answer::Yes);
  ui_.QueueAnswer(Answer::No);
  RecordingOpener opener;
  EXPECT_FALSE(ShowTextNow("top\r\n<Html><SCRIPT></SCRIPT></html>\r\n", "s", opener));
  EXPECT_EQ(Page(), Declared("<Html><SCRIPT></SCRIPT></html>\r\n"));
  EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{msg::kHtmlMailQuestion, msg::kScriptQuestion}));
  EXPECT_TRUE(opener.opened.empty());

  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "missing"));
  EXPECT_FALSE(WriteTextNow("text", "s"));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{msg::kCannotWrite});
}

}  // namespace
}  // namespace lp
