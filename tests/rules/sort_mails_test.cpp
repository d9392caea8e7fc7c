#include "rules/sort_mails.h"

#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rules/outgoing_mail_store.h"
#include "rules/quote_text.h"
#include "rules/sort_rules.h"
#include "store/unread_mark.h"
#include "tests/store/mailbox_test_boxes.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::string kSendBox = "\x91\x97\x90\x4D.lp";  // 送信.lp, the default send box
const std::string kSender = "Me <me@example.jp>";

struct Mail {
  std::string from{};
  std::string to{};
  std::string subject{};
  std::string cc{};
  std::string text = "body\r\n";
  int status = kStatusRead;
};

CDivMenu Rule(int cond1, std::string cond2, std::string box, std::string foward = "", std::string reply = "") {
  return CDivMenu{cond1, std::move(cond2), std::move(box), std::move(foward), std::move(reply)};
}

class SortMailsTest : public testing::BoxTest {
 protected:
  std::unique_ptr<CLPOSTDoc> MakeMailBox(const std::string& name, const std::vector<Mail>& mails) {
    WriteFileBytes(Native(name), "");
    auto doc = NewDoc();
    EXPECT_TRUE(doc->Open(name).ok);
    for (const Mail& mail : mails) {
      auto record = std::make_unique<CMail>();
      record->from = mail.from;
      record->to = mail.to;
      record->subject = mail.subject;
      record->cc = mail.cc;
      record->status = mail.status;
      record->date = 1000 + doc->Count();
      doc->Add(std::move(record));
      EXPECT_TRUE(doc->StoreTextOfLast(mail.text));
    }
    EXPECT_TRUE(doc->Save().ok);
    return doc;
  }

  void SetRules(const std::vector<CDivMenu>& rules) {
    CDivMenuArray table;
    for (const CDivMenu& rule : rules) ASSERT_TRUE(table.Add(rule));
    ASSERT_TRUE(table.Save(profile_));
  }

  SortOptions Options(OpenBoxRegistry* registry = nullptr) {
    SortOptions options;
    options.sender_text = kSender;
    options.registry = registry;
    return options;
  }

  std::vector<std::string> SubjectsIn(const std::string& name) {
    if (!PathExists(name)) return {};
    return Subjects(*Reopen(name));
  }

  // The outgoing mails in the send box.
  std::vector<CMail> Created() {
    std::vector<CMail> mails;
    if (!PathExists(kSendBox)) return mails;
    auto box = Reopen(kSendBox);
    for (int i = 0; i < box->Count(); ++i) mails.push_back(*box->RecordAt(i));
    return mails;
  }
  std::string CreatedText(int index) {
    auto box = Reopen(kSendBox);
    const CMail* mail = box->RecordAt(index);
    return mail ? box->ReadText(mail->text_start, mail->text_end).text : "<none>";
  }

  // Three received mails; the tables below sort them.
  const std::vector<Mail> kInbox = {
      {"taro@example.jp", "me@example.jp", "hello"},
      {"hanako@example.jp", "me@example.jp", "invoice", "boss@example.jp"},
      {"abc@shop.example", "list@example.jp", "sale"},
  };
};

struct SortCase {
  const char* name;
  std::vector<CDivMenu> rules;
  std::vector<std::string> left;  // subjects still in the sorted box
  std::vector<std::string> in_a;
  std::vector<std::string> in_b;
  std::vector<std::string> created_to;  // To of each created outgoing mail
};

TEST_F(SortMailsTest, RulesActInTableOrderAndTheFirstMoveEndsThem) {
  const std::string full_width_abc = "\x82\x60\x82\x61\x82\x62";  // ＡＢＣ
  const std::vector<SortCase> cases = {
      {"first of two moves wins",
       {Rule(kRuleFieldFrom, "taro", "a.lp"), Rule(kRuleFieldFrom, "taro", "b.lp")},
       {"invoice", "sale"},
       {"hello"},
       {},
       {}},
      {"forward goes on to the move",
       {Rule(kRuleFieldSubject, "hello", "", "fw@example.jp"), Rule(kRuleFieldSubject, "hello", "b.lp")},
       {"invoice", "sale"},
       {},
       {"hello"},
       {"fw@example.jp"}},
      {"a move ends the rules: no forward after it",
       {Rule(kRuleFieldFrom, "taro", "a.lp"), Rule(kRuleFieldFrom, "taro", "", "fw@example.jp")},
       {"invoice", "sale"},
       {"hello"},
       {},
       {}},
      {"one rule forwards, answers and moves",
       {Rule(kRuleFieldSubject, "invoice", "a.lp", "fw@example.jp", "thanks.txt")},
       {"hello", "sale"},
       {"invoice"},
       {},
       {"fw@example.jp", "hanako@example.jp"}},
      {"a rule into the sorted box is skipped whole",
       {Rule(kRuleFieldFrom, "taro", "IN.LP", "fw@example.jp", "thanks.txt"), Rule(kRuleFieldFrom, "taro", "b.lp")},
       {"invoice", "sale"},
       {},
       {"hello"},
       {}},
      {"width and case are folded",
       {Rule(kRuleFieldFrom, full_width_abc, "a.lp")},
       {"hello", "invoice"},
       {"sale"},
       {},
       {}},
      {"the To field",
       {Rule(kRuleFieldTo, "me@", "b.lp")},
       {"sale"},
       {},
       {"hello", "invoice"},
       {}},
      {"an unknown field tests an empty text", {Rule(7, "a", "a.lp")}, {"hello", "invoice", "sale"}, {}, {}, {}},
      {"a failed copy goes on to the next rule",
       {Rule(kRuleFieldFrom, "taro", "broken.lp"), Rule(kRuleFieldFrom, "taro", "b.lp")},
       {"invoice", "sale"},
       {},
       {"hello"},
       {}},
      {"no rules", {}, {"hello", "invoice", "sale"}, {}, {}, {}},
  };
  for (const SortCase& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveFile(kSendBox);
    auto inbox = MakeMailBox("in.lp", kInbox);
    MakeMailBox("a.lp", {});
    MakeMailBox("b.lp", {});
    WriteFileBytes(Native("broken.lp"), "not a box");
    SetRules(c.rules);
    ui_.messages.clear();

    const int created = SortMails(*inbox, std::vector<int>{0, 1, 2}, Options());

    EXPECT_EQ(Subjects(*inbox), c.left);
    EXPECT_EQ(SubjectsIn("in.lp"), c.left);  // saved at once
    EXPECT_EQ(SubjectsIn("a.lp"), c.in_a);
    EXPECT_EQ(SubjectsIn("b.lp"), c.in_b);
    std::vector<std::string> created_to;
    for (const CMail& mail : Created()) created_to.push_back(mail.to);
    EXPECT_EQ(created_to, c.created_to);
    EXPECT_EQ(created, static_cast<int>(c.created_to.size()));
    if (c.rules.empty() || c.rules[0].mail_box != "broken.lp") {
      EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front();
    } else {
      EXPECT_FALSE(ui_.messages.empty());  // the mailbox layer said why the copy failed
    }
  }
}

TEST_F(SortMailsTest, ForwardQuotesTheShownTextWithTheReplyMark) {
  struct Case {
    std::string mark;  // empty: the default
    std::string text;
    std::string forwarded;
  };
  const std::vector<Case> cases = {
      {"", "Subject: hello\r\n\r\nbody1\r\n\r\nlast", ">Subject: hello\r\n>\r\n>body1\r\n>\r\n>last"},
      {"", "To: me\r\n\r\none\r\ntwo\r\n", ">To: me\r\n>\r\n>one\r\n>two\r\n"},
      {"| ", "To: me\r\n\r\none\r\ntwo", "| To: me\r\n| \r\n| one\r\n| two"},
      // The header lines the list view shows: X-Mailer is not among them.
      {"", "From: taro@example.jp\r\nX-Mailer: x\r\nSubject: hello\r\n\r\nhi",
       ">From: taro@example.jp\r\n>Subject: hello\r\n>\r\n>hi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RemoveFile(kSendBox);
    ASSERT_TRUE(profile_.RemoveKey("System", "ReplyMark"));
    if (!c.mark.empty()) {
      ASSERT_TRUE(profile_.WriteString("System", "ReplyMark", c.mark));
    }
    Mail mail = kInbox[0];
    mail.text = c.text;
    auto inbox = MakeMailBox("in.lp", {mail});
    SetRules({Rule(kRuleFieldFrom, "taro", "", "fw@example.jp")});
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(SortMails(*inbox, std::vector<int>{0}, Options()), 1);
    const std::time_t after = std::time(nullptr);

    const std::vector<CMail> created = Created();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].to, "fw@example.jp");
    EXPECT_EQ(created[0].from, kSender);
    EXPECT_EQ(created[0].subject, "hello");
    EXPECT_EQ(created[0].cc, "");
    EXPECT_EQ(created[0].status, kStatusUnsent);
    EXPECT_EQ(created[0].signature, 1);
    EXPECT_GE(created[0].date, before);
    EXPECT_LE(created[0].date, after);
    EXPECT_EQ(CreatedText(0), c.forwarded);
    EXPECT_EQ(inbox->Count(), 1);  // forwarding alone moves nothing
  }
}

TEST_F(SortMailsTest, ReplyTakesItsSubjectFromTheFileNameAndItsTextFromTheFile) {
  ASSERT_TRUE(MakeDirectory("replies"));
  ASSERT_TRUE(MakeDirectory("\x95\x5C"));  // 表: its trail byte is 0x5C
  WriteFileBytes(Native("replies/thanks.txt"), "Thank you.\r\nTaro\r\n");
  struct Case {
    std::string reply;
    std::string subject;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"replies/thanks.txt", "thanks", "Thank you.\r\nTaro\r\n"},
      {AbsolutePath("replies/thanks.txt"), "thanks", "Thank you.\r\nTaro\r\n"},
      {"\x95\x5C/answer.txt", "answer", ""},             // missing file: empty text, still sent
      {"replies/notes.v2.txt", "notes.v2", ""},          // up to the last period
      {"replies/README", "README", ""},                  // no period at all
      {"replies/\x95\x5C.txt", "\x95\x5C", ""},          // a name ending in a 0x5C trail byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    RemoveFile(kSendBox);
    auto inbox = MakeMailBox("in.lp", kInbox);
    SetRules({Rule(kRuleFieldSubject, "invoice", "", "", c.reply)});
    ASSERT_EQ(SortMails(*inbox, std::vector<int>{0, 1, 2}, Options()), 1);
    const std::vector<CMail> created = Created();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].to, "hanako@example.jp");
    EXPECT_EQ(created[0].cc, "boss@example.jp");
    EXPECT_EQ(created[0].from, kSender);
    EXPECT_EQ(created[0].subject, c.subject);
    EXPECT_EQ(created[0].status, kStatusUnsent);
    EXPECT_EQ(created[0].signature, 1);
    EXPECT_EQ(CreatedText(0), c.text);
  }
}

TEST_F(SortMailsTest, NoticeOnlyWithTheNoticeOnAndMailMesOne) {
  struct Case {
    bool notice;
    const char* mail_mes;  // nullptr: not set (default 1)
    int forwards;          // forward rules matching the one mail
    std::vector<std::string> messages;
  };
  const std::string one = "1\x92\xCA\x82\xCC\x91\x97\x90\x4D\x83\x81\x81\x5B\x83\x8B\x82\xF0\x8D\xEC\x90\xAC\x82\xB5"
                          "\x82\xDC\x82\xB5\x82\xBD";  // 1通の送信メールを作成しました
  const std::string two = "2" + one.substr(1);
  const std::vector<Case> cases = {
      {true, nullptr, 1, {one}}, {true, "1", 2, {two}}, {true, "0", 1, {}},
      {false, "1", 1, {}},       {true, "1", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.notice << " " << (c.mail_mes ? c.mail_mes : "-") << " " << c.forwards);
    RemoveFile(kSendBox);
    ASSERT_TRUE(profile_.RemoveKey("View", "MailMes"));
    if (c.mail_mes) {
      ASSERT_TRUE(profile_.WriteString("View", "MailMes", c.mail_mes));
    }
    std::vector<CDivMenu> rules;
    for (int i = 0; i < c.forwards; ++i) rules.push_back(Rule(kRuleFieldFrom, "taro", "", "fw@example.jp"));
    SetRules(rules);
    auto inbox = MakeMailBox("in.lp", {kInbox[0]});
    ui_.messages.clear();
    SortOptions options = Options();
    options.show_notice = c.notice;
    EXPECT_EQ(SortMails(*inbox, std::vector<int>{0}, options), c.forwards);
    EXPECT_EQ(ui_.messages, c.messages);
  }
}

TEST_F(SortMailsTest, MovedMailsLeaveHighestFirstAndArriveInListOrder) {
  std::vector<Mail> mails;
  for (int i = 0; i < 6; ++i) {
    mails.push_back({i % 2 ? "odd@example.jp" : "even@example.jp", "me@example.jp", "m" + std::to_string(i), "",
                     "text " + std::to_string(i) + "\r\n", i == 3 ? kStatusUnread : kStatusRead});
  }
  auto inbox = MakeMailBox("in.lp", mails);
  MakeMailBox("a.lp", {{"x@example.jp", "me@example.jp", "old"}});
  SetRules({Rule(kRuleFieldFrom, "odd", "a.lp")});
  inbox->set_current_index(5);

  EXPECT_EQ(SortMails(*inbox, std::vector<int>{5, 1, 3, 0}, Options()), 0);

  EXPECT_EQ(Subjects(*inbox), (std::vector<std::string>{"m0", "m2", "m4"}));
  EXPECT_EQ(Texts(*inbox), (std::vector<std::string>{"text 0\r\n", "text 2\r\n", "text 4\r\n"}));
  auto a = Reopen("a.lp");
  EXPECT_EQ(Subjects(*a), (std::vector<std::string>{"old", "m5", "m1", "m3"}));
  EXPECT_EQ(Texts(*a), (std::vector<std::string>{"body\r\n", "text 5\r\n", "text 1\r\n", "text 3\r\n"}));
  EXPECT_EQ(a->RecordAt(3)->status, kStatusUnread);
  EXPECT_EQ(ReadUnreadMark(profile_, a->PathName()), 1);  // the tree marks the destination unread
  EXPECT_EQ(ReadUnreadMark(profile_, inbox->PathName()), 0);
  EXPECT_LT(inbox->current_index(), inbox->Count());
}

TEST_F(SortMailsTest, AMailListedTwiceIsSortedOnce) {
  auto inbox = MakeMailBox("in.lp", kInbox);
  SetRules({Rule(kRuleFieldFrom, "taro", "", "fw@example.jp"), Rule(kRuleFieldFrom, "hanako", "a.lp")});
  MakeMailBox("a.lp", {});
  EXPECT_EQ(SortMails(*inbox, std::vector<int>{0, 0, 1, 1, 7, -1}, Options()), 1);
  EXPECT_EQ(SubjectsIn("a.lp"), std::vector<std::string>{"invoice"});
  EXPECT_EQ(Subjects(*inbox), (std::vector<std::string>{"hello", "sale"}));
}

TEST_F(SortMailsTest, BoxesOpenInWindowsKeepWhatTheRulesGaveThem) {
  MakeMailBox("in.lp", kInbox);
  MakeMailBox("a.lp", {});
  MakeMailBox(kSendBox, {});
  OpenBoxRegistry registry(profile_, ui_, commands_);
  BoxHandle inbox = registry.Acquire("in.lp").box;
  BoxHandle a = registry.Acquire("a.lp").box;
  BoxHandle send = registry.Acquire(kSendBox).box;
  SetRules({Rule(kRuleFieldFrom, "taro", "a.lp", "fw@example.jp")});

  EXPECT_EQ(SortMails(*inbox, std::vector<int>{0, 1, 2}, Options(&registry)), 1);

  // The open windows show the moved and the created mail ...
  EXPECT_EQ(Subjects(*a), std::vector<std::string>{"hello"});
  EXPECT_EQ(Subjects(*send), std::vector<std::string>{"hello"});
  // ... and saving them later keeps both.
  ASSERT_TRUE(a->Save().ok);
  ASSERT_TRUE(send->Save().ok);
  EXPECT_EQ(SubjectsIn("a.lp"), std::vector<std::string>{"hello"});
  EXPECT_EQ(SubjectsIn(kSendBox), std::vector<std::string>{"hello"});
  EXPECT_EQ(Subjects(*inbox), (std::vector<std::string>{"invoice", "sale"}));
}

TEST_F(SortMailsTest, ASendBoxThatIsTheSortedBoxKeepsTheCreatedMail) {
  ASSERT_TRUE(profile_.WriteString("System", "SendFile", "in.lp"));
  auto inbox = MakeMailBox("in.lp", kInbox);
  SetRules({Rule(kRuleFieldSubject, "sale", "", "fw@example.jp")});
  EXPECT_EQ(SortMails(*inbox, std::vector<int>{0, 1, 2}, Options()), 1);
  ASSERT_TRUE(inbox->Save().ok);
  auto back = Reopen("in.lp");
  ASSERT_EQ(back->Count(), 4);
  EXPECT_EQ(back->RecordAt(3)->to, "fw@example.jp");
  EXPECT_EQ(back->RecordAt(3)->status, kStatusUnsent);
}

TEST_F(SortMailsTest, ASendBoxThatCannotBeWrittenLosesOnlyTheCreatedMail) {
  WriteFileBytes(Native(kSendBox), "not a box");
  auto inbox = MakeMailBox("in.lp", kInbox);
  MakeMailBox("a.lp", {});
  SetRules({Rule(kRuleFieldFrom, "taro", "a.lp", "fw@example.jp")});
  ui_.messages.clear();
  EXPECT_EQ(SortMails(*inbox, std::vector<int>{0}, Options()), 0);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kOutgoingBoxOpenFailed});
  EXPECT_EQ(ReadFileBytes(Native(kSendBox)), "not a box");  // never overwritten
  EXPECT_EQ(SubjectsIn("a.lp"), std::vector<std::string>{"hello"});
}

TEST_F(SortMailsTest, CommandsAskFirstAndSortWithTheNotice) {
  struct Case {
    SortScope scope;
    Answer answer;
    std::vector<int> selection;
    int current;
    std::string question;
    int created;
  };
  const std::vector<Case> cases = {
      {SortScope::Selection, Answer::Cancel, {0, 1}, -1, kAskSortSelected, 0},
      {SortScope::Selection, Answer::Ok, {0, 1}, -1, kAskSortSelected, 2},
      {SortScope::Selection, Answer::Ok, {}, 2, kAskSortSelected, 1},
      {SortScope::Selection, Answer::Ok, {}, -1, kAskSortSelected, 0},
      {SortScope::WholeBox, Answer::Ok, {}, -1, kAskSortBox, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question + " " + std::to_string(c.selection.size()) + " " + std::to_string(c.current));
    RemoveFile(kSendBox);
    auto inbox = MakeMailBox("in.lp", kInbox);
    inbox->set_current_index(c.current);
    SetRules({Rule(kRuleFieldTo, "example", "", "fw@example.jp")});
    ui_.questions.clear();
    ui_.messages.clear();
    ui_.QueueAnswer(c.answer);
    EXPECT_EQ(SortMailsCommand(*inbox, c.selection, c.scope, Options()), c.created);
    ASSERT_EQ(ui_.questions.size(), 1u);
    EXPECT_EQ(ui_.questions[0].text, c.question);
    EXPECT_EQ(ui_.questions[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ui_.messages.size(), c.created > 0 ? 1u : 0u);  // the notice
  }
}

// Crash safety: SortMails runs in a child process that ends itself (as a
// crash would) just before its n-th file step, for every n until it
// completes; each time the boxes as a fresh start opens them must hold every
// received mail at least once, and every created mail must be whole.
TEST_F(SortMailsTest, NoMailIsLostWhereverASortStops) {
  constexpr int kCrashed = 17;
  constexpr int kCompleted = 23;
  std::vector<Mail> mails;
  for (int i = 0; i < 4; ++i) {
    const std::string n = std::to_string(i);
    mails.push_back({i % 2 ? "odd@example.jp" : "even@example.jp", "me@example.jp", "m" + n, "",
                     "Subject: m" + n + "\r\n\r\n" + std::string(50 + i * 31, static_cast<char>('a' + i))});
  }
  SetRules({Rule(kRuleFieldFrom, "odd", "", "fw@example.jp"), Rule(kRuleFieldFrom, "odd", "a.lp"),
            Rule(kRuleFieldFrom, "even", "b.lp")});

  int n = 1;
  for (bool done = false; !done && n < 100; ++n) {
    for (const char* name : {"in.lp", "in.mb", "a.lp", "a.mb", "b.lp", "b.mb", "\x91\x97\x90\x4D.lp",
                             "\x91\x97\x90\x4D.mb"}) {
      RemoveFile(name);
    }
    MakeMailBox("in.lp", mails);
    MakeMailBox("a.lp", {});
    MakeMailBox("b.lp", {});
    const pid_t child = fork();
    if (child == 0) {
      OpenBoxRegistry registry(profile_, ui_, commands_);
      BoxHandle inbox = registry.Acquire("in.lp").box;
      BoxHandle a = registry.Acquire("a.lp").box;
      SortOptions options = Options(&registry);
      int step = 0;
      options.steps = [&](std::string_view) {
        if (++step == n) _exit(kCrashed);
      };
      SortMails(*inbox, std::vector<int>{0, 1, 2, 3}, options);
      _exit(kCompleted);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_TRUE(WEXITSTATUS(status) == kCrashed || WEXITSTATUS(status) == kCompleted);
    done = WEXITSTATUS(status) == kCompleted;

    std::map<std::string, int> seen;
    for (const Mail& mail : mails) seen[mail.text] = 0;
    for (const char* name : {"in.lp", "a.lp", "b.lp"}) {
      auto box = NewDoc();
      ASSERT_TRUE(box->Open(name).ok) << name << " at step " << n;
      for (const std::string& text : Texts(*box)) {
        auto it = seen.find(text);
        ASSERT_NE(it, seen.end()) << name << " has wrong bytes at step " << n;
        ++it->second;
      }
    }
    for (const auto& [text, count] : seen) EXPECT_GE(count, 1) << "lost at step " << n << ": " << text;
    if (PathExists(kSendBox)) {
      auto send = Reopen(kSendBox);
      for (const std::string& text : Texts(*send)) EXPECT_EQ(text.substr(0, 10), ">Subject: ") << n;
    }
    if (done) {
      EXPECT_EQ(SubjectsIn("in.lp"), std::vector<std::string>{});
      EXPECT_EQ(SubjectsIn("a.lp"), (std::vector<std::string>{"m1", "m3"}));
      EXPECT_EQ(SubjectsIn("b.lp"), (std::vector<std::string>{"m0", "m2"}));
      EXPECT_EQ(SubjectsIn(kSendBox), (std::vector<std::string>{"m1", "m3"}));
    }
    if (::testing::Test::HasFatalFailure()) break;
  }
  EXPECT_GT(n, 10);  // the sort went through many steps
  EXPECT_LT(n, 100);
}

TEST(QuoteText, MarksEveryLine) {
  struct Case {
    std::string text;
    std::string mark;
    std::string quoted;
  };
  const std::vector<Case> cases = {
      {"", ">", ""},
      {"a", ">", ">a"},
      {"a\r\n", ">", ">a\r\n"},
      {"\r\n\r\n", ">", ">\r\n>\r\n"},
      {"a\r\nb", "> ", "> a\r\n> b"},
      {"a\nb\r\n", ">", ">a\nb\r\n"},  // only CR LF ends a line
      {"\x95\x5C\r\n", ">", ">\x95\x5C\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteText(c.text, c.mark), c.quoted) << c.text;
}

}  // namespace
}  // namespace lp
