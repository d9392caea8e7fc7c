#include "app/compose_form.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/account_table.h"
#include "tests/app/compose_test_boxes.h"

namespace lp {
namespace {

using testing::Sjis;

class ComposeFormTest : public testing::ComposeBoxTest {
 protected:
  void SetUp() override {
    ComposeBoxTest::SetUp();
    accounts_.Load(*profile_);
    inbox_ = OpenBox(Sjis("受信.lp"));
  }

  // A received mail from Hanako to Taro and Jiro, Cc to Saburo, in a thread.
  int AddReceivedMail(int status = kStatusUnread, std::string reply_to_line = {}) {
    CMail mail;
    mail.from = "Hanako <hanako@example.jp>";
    mail.to = "Taro <TARO@example.jp>, jiro@example.com";
    mail.cc = "saburo@example.jp";
    mail.subject = Sjis("会議の件");
    mail.message_id = "<c@example.jp>";
    mail.status = status;
    if (!reply_to_line.empty()) mail.flags = kFlagHasReplyTo;
    const std::string text = "+OK 300 octets\r\nReceived: from x\r\nFrom: Hanako <hanako@example.jp>\r\n" +
                             reply_to_line +
                             "To: Taro <TARO@example.jp>, jiro@example.com\r\nCc: saburo@example.jp\r\n"
                             "Subject: " + Sjis("会議の件") + "\r\nMessage-Id: <c@example.jp>\r\n"
                             "References: <a@example.jp>\r\n <b@example.jp>\r\n\r\n" +
                             Sjis("明日の会議です。\r\n\r\nよろしく");
    return AddMail(*inbox_, mail, text);
  }

  // The mail above as the mail list shows it (header mode 0), each line
  // after `mark`.
  static std::string Quoted(const std::string& mark) {
    return mark + "From: Hanako <hanako@example.jp>\r\n" + mark +
           "To: Taro <TARO@example.jp>, jiro@example.com\r\n" + mark + "Cc: saburo@example.jp\r\n" + mark +
           "Subject: " + Sjis("会議の件") + "\r\n" + mark + "\r\n" + mark + Sjis("明日の会議です。") + "\r\n" +
           mark + "\r\n" + mark + Sjis("よろしく");
  }

  CSetMenuArray accounts_;
  std::unique_ptr<CLPOSTDoc> inbox_;
};

TEST_F(ComposeFormTest, ReplyFillsTheFormFromTheMail) {
  const int index = AddReceivedMail();
  const std::size_t account = ReplyAccountIndex(accounts_, inbox_->RecordAt(index)->to);
  EXPECT_EQ(account, 1u);
  const auto form = ReplyForm(*inbox_, index, accounts_.At(account), LoadComposeWindowSettings(*profile_),
                              ReplyRecipients::Sender);
  ASSERT_TRUE(form.has_value());
  ComposeForm expected;
  expected.to = "Hanako <hanako@example.jp>";
  expected.from = "Taro <taro@example.jp>";
  expected.subject = "Re:" + Sjis("会議の件");
  expected.cc = "saburo@example.jp";
  expected.signature = 3;
  expected.body = Quoted(">");
  expected.references = "<b@example.jp> <c@example.jp>";
  EXPECT_EQ(*form, expected);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ComposeFormTest, ReplyToEveryoneCopiesTheOtherRecipients) {
  const int index = AddReceivedMail();
  const auto form =
      ReplyForm(*inbox_, index, accounts_.At(1), LoadComposeWindowSettings(*profile_), ReplyRecipients::All);
  ASSERT_TRUE(form.has_value());
  EXPECT_EQ(form->to, "Hanako <hanako@example.jp>");
  // Taro is the replier; Hanako gets the reply in To.
  EXPECT_EQ(form->cc, "jiro@example.com, saburo@example.jp");
}

TEST_F(ComposeFormTest, ReplyGoesToTheReplyToHeaderDecoded) {
  const int index = AddReceivedMail(kStatusRead, "Reply-To: =?ISO-2022-JP?B?GyRCMlY7UhsoQg==?=\r\n\t<list@example.jp>\r\n");
  const auto form =
      ReplyForm(*inbox_, index, accounts_.At(0), LoadComposeWindowSettings(*profile_), ReplyRecipients::All);
  ASSERT_TRUE(form.has_value());
  EXPECT_EQ(form->to, Sjis("花子") + " <list@example.jp>");
  EXPECT_EQ(form->from, "Me <me@example.org>");
  EXPECT_EQ(form->cc, "Taro <TARO@example.jp>, jiro@example.com, saburo@example.jp");
}

TEST_F(ComposeFormTest, ReplySettingsShapeTheBodyAndSubject) {
  struct Case {
    const char* settings;
    std::string body;
    std::string subject_prefix;
  };
  const std::vector<Case> cases = {
      {"ReplyAll=0\r\n", "", "Re:"},
      {"ReplyMark=\"| \"\r\n", Quoted("| "), "Re:"},
  };
  const int index = AddReceivedMail();
  for (const Case& c : cases) {
    testing::WriteFileBytes(dir_.File("lpost.conf"), std::string("[System]\r\n") + c.settings);
    Profile profile(dir_.File("lpost.conf"));
    const auto form =
        ReplyForm(*inbox_, index, accounts_.At(0), LoadComposeWindowSettings(profile), ReplyRecipients::Sender);
    ASSERT_TRUE(form.has_value()) << c.settings;
    EXPECT_EQ(form->body, c.body) << c.settings;
    EXPECT_EQ(form->subject, c.subject_prefix + Sjis("会議の件")) << c.settings;
  }
}

TEST_F(ComposeFormTest, ForwardQuotesTheMailUnderItsOwnSubject) {
  const int index = AddReceivedMail();
  const auto form = ForwardForm(*inbox_, index, accounts_.Current(), LoadComposeWindowSettings(*profile_));
  ASSERT_TRUE(form.has_value());
  ComposeForm expected;
  expected.from = "Me <me@example.org>";
  expected.subject = Sjis("会議の件");
  expected.signature = 2;
  expected.body = Quoted(">");
  EXPECT_EQ(*form, expected);
}

TEST_F(ComposeFormTest, AnUnreadableTextGivesNoFormAndAMessage) {
  const int index = AddReceivedMail();
  ASSERT_TRUE(RemoveFile(inbox_->TextFilePath()));
  const ComposeWindowSettings settings = LoadComposeWindowSettings(*profile_);
  EXPECT_FALSE(ReplyForm(*inbox_, index, accounts_.Current(), settings, ReplyRecipients::Sender));
  EXPECT_FALSE(ForwardForm(*inbox_, index, accounts_.Current(), settings));
  EXPECT_FALSE(EditForm(*inbox_, index));
  EXPECT_EQ(ui_.messages.size(), 3u);
  EXPECT_FALSE(ReplyForm(*inbox_, index + 1, accounts_.Current(), settings, ReplyRecipients::Sender));
}

TEST_F(ComposeFormTest, NewMailtoAndEditForms) {
  ComposeForm expected;
  expected.from = "Me <me@example.org>";
  expected.signature = 2;
  EXPECT_EQ(NewMailForm(accounts_.Current()), expected);

  const MailtoPreset preset{"a@example.jp", "b@example.jp", "Hi", "x\r\ny"};
  expected.to = "a@example.jp";
  expected.cc = "b@example.jp";
  expected.subject = "Hi";
  expected.body = "x\r\ny";
  EXPECT_EQ(MailtoForm(preset, accounts_.Current()), expected);

  auto send_box = OpenBox(Sjis("送信.lp"));
  CMail stored;
  stored.to = "a@example.jp";
  stored.from = "Taro <taro@example.jp>";
  stored.subject = Sjis("件名");
  stored.cc = "c@example.jp";
  stored.bcc = "d@example.jp";
  stored.attachments = "/tmp/plan.pdf";
  stored.message_id = "<r@example.jp>";
  stored.signature = 1;
  stored.status = kStatusUnsent;
  const int index = AddMail(*send_box, stored, Sjis("本文\r\n二行目"));
  const auto form = EditForm(*send_box, index);
  ASSERT_TRUE(form.has_value());
  EXPECT_EQ(*form, (ComposeForm{"a@example.jp", "Taro <taro@example.jp>", Sjis("件名"), "c@example.jp",
                                "d@example.jp", "/tmp/plan.pdf", 1, Sjis("本文\r\n二行目"), "<r@example.jp>"}));
}

TEST_F(ComposeFormTest, ReplyAccountIsTheOneAddressedInTo) {
  struct Case {
    const char* to;
    std::size_t account;
  };
  const std::vector<Case> cases = {
      {"taro@example.jp", 1},
      {"\"Yamada, Taro\" <Taro@Example.JP>", 1},
      {"x@example.jp, me@example.org, taro@example.jp", 0},  // the current account first
      {"jiro.taro@example.jp", 0},                              // only whole addresses count
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplyAccountIndex(accounts_, c.to), c.account) << c.to;
}

TEST_F(ComposeFormTest, OnlyReceivedMailIsMarkedReplied) {
  const std::vector<std::pair<int, int>> cases = {
      {kStatusRead, kStatusReplied},   {kStatusUnread, kStatusReplied}, {kStatusReplied, kStatusReplied},
      {kStatusUnsent, kStatusUnsent}, {kStatusSent, kStatusSent},
  };
  for (const auto& [before, after] : cases) {
    const int index = AddReceivedMail(before);
    MarkReplied(*inbox_, index);
    EXPECT_EQ(inbox_->RecordAt(index)->status, after) << before;
  }
}

TEST(BodyAboveQuote, PutsALineBreakBetween) {
  EXPECT_EQ(BodyAboveQuote("", ">a"), ">a");
  EXPECT_EQ(BodyAboveQuote("Thanks", ">a"), "Thanks\r\n>a");
  EXPECT_EQ(BodyAboveQuote("Thanks", ""), "Thanks");
  EXPECT_EQ(BodyAboveQuote("Thanks\r\n\r\n", ">a"), "Thanks\r\n\r\n>a");
}

}  // namespace
}  // namespace lp
