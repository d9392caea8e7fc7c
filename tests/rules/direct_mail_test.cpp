#include "rules/direct_mail.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rules/direct_mail_lists.h"
#include "rules/keyword_file.h"
#include "rules/regex_matcher.h"
#include "store/store_messages.h"
#include "tests/store/mailbox_test_boxes.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

struct Mail {
  std::string subject{};
  std::string body = "body\r\n";
  std::string to = "me@example.jp";
  std::string from = "shop@example.com";
  std::string cc{};
  std::string header{};  // header lines after "From:"
};

// The stored text: a From line, the extra header lines, an empty line, the body.
std::string StoredText(const Mail& mail) { return "From: " + mail.from + "\r\n" + mail.header + "\r\n" + mail.body; }

// Settings of section "Spam" as "Key=value" lines.
using Settings = std::vector<std::string>;

const std::vector<std::string> kAccounts = {"me@example.jp", "", "second@example.org"};

// Japanese texts used below.
const std::string kKanjiBody = "\x96\x7B\x95\xB6\r\n";          // 本文
const std::string kHyouji = "\x95\x5C\x8E\xA6";                 // 表示: the trail byte of 表 is 0x5C
const std::string kDeai = "\x8F\x6F\x89\xEF\x82\xA2";           // 出会い
const std::string kUnsolicited = "\x96\xA2\x8F\xB3\x91\xF8\x8D\x4C\x8D\x90";  // 未承諾広告
const std::string kAd = "\x81\x49\x8D\x4C\x8D\x90\x81\x49";     // ！広告！

class DirectMailTest : public testing::BoxTest {
 protected:
  std::unique_ptr<CLPOSTDoc> MakeMailBox(const std::string& name, const std::vector<Mail>& mails) {
    WriteFileBytes(Native(name), "");
    auto doc = NewDoc();
    EXPECT_TRUE(doc->Open(name).ok);
    for (const Mail& mail : mails) {
      auto record = std::make_unique<CMail>();
      record->subject = mail.subject;
      record->to = mail.to;
      record->from = mail.from;
      record->cc = mail.cc;
      record->date = 1000 + doc->Count();
      doc->Add(std::move(record));
      EXPECT_TRUE(doc->StoreTextOfLast(StoredText(mail)));
    }
    EXPECT_TRUE(doc->Save().ok);
    return doc;
  }

  void UseSettings(const Settings& settings) {
    std::string file = "[Spam]\r\n";
    for (const std::string& line : settings) file += line + "\r\n";
    WriteFileBytes(dir_.File("lpost.conf"), file);
  }

  DirectMailReason CheckOne(const Mail& mail) {
    auto box = MakeMailBox("in.lp", {mail});
    DirectMailFilter filter(kAccounts);
    return filter.Check(*box, 0);
  }
};

struct CriterionCase {
  const char* name;
  Settings settings;
  Mail mail;
  DirectMailReason reason;
};

TEST_F(DirectMailTest, EachCriterionFiresOnlyWhenSwitchedOn) {
  const std::string html = "<html><body><iframe src=x></iframe></body></HTML>\r\n";
  // A mail whose only extra header line is the X-Mailer.
  auto sent_with = [](std::string mailer) {
    return Mail{"hi", kKanjiBody, "me@example.jp", "shop@example.com", "", "X-Mailer: " + mailer + "\r\n"};
  };
  const std::vector<CriterionCase> cases = {
      {"mailer name with a version", {"XMailer=1"}, sent_with("MaxBulk Mailer 4.2"),
       DirectMailReason::XMailer},
      {"the last mailer of the list", {"XMailer=1"}, sent_with("Easy DM free"),
       DirectMailReason::XMailer},
      {"mailer names are case-sensitive", {"XMailer=1"},
       sent_with("maxbulk mailer 4.2"), DirectMailReason::None},
      {"mailer criterion off", {"XMailer=0"}, sent_with("MaxBulk Mailer"),
       DirectMailReason::None},
      {"all ASCII", {"English=1"}, {"Hello", "Buy now\r\n"}, DirectMailReason::English},
      {"one kanji in the text", {"English=1"}, {"Hello", "Buy " + kKanjiBody}, DirectMailReason::None},
      {"one kanji in the Cc", {"English=1"}, {"Hello", "Buy\r\n", "me@example.jp", "a@b", kHyouji},
       DirectMailReason::None},
      {"an ESC in the subject", {"English=1"}, {"\x1b$B%\"\x1b(B", "Buy\r\n"}, DirectMailReason::None},
      {"phrase in the subject", {"Hiwai=1"}, {kUnsolicited + " sale", kKanjiBody}, DirectMailReason::Phrase},
      {"phrase in the text", {"Hiwai=1"}, {"hi", kKanjiBody + "SkyBiz\r\n"}, DirectMailReason::Phrase},
      {"phrase bytes across characters", {"Hiwai=1"},
       // 0x83 0x97 is one character; the bytes of 裏情報 after its lead byte are no match.
       {"hi", "\x83\x97\xA0\x8F\xEE\x95\xF1\r\n"}, DirectMailReason::None},
      {"to the second account", {"ToCheck=1", "VirusCheck=0"}, {"hi", kKanjiBody, "Second@Example.ORG"},
       DirectMailReason::None},
      {"account address in the Cc", {"ToCheck=1"}, {"hi", kKanjiBody, "list@example.net", "x", "me@example.jp"},
       DirectMailReason::None},
      {"a LAN mail ends with a separator", {"ToCheck=1"}, {"hi", kKanjiBody, "/home/taro/lan/"},
       DirectMailReason::None},
      {"a Windows LAN directory", {"ToCheck=1"}, {"hi", kKanjiBody, "\\\\server\\taro\\"}, DirectMailReason::None},
      {"not addressed to the user", {"ToCheck=1"}, {"hi", kKanjiBody, "list@example.net"},
       DirectMailReason::NotAddressedToUser},
      {"HTML with an IFRAME", {}, {"hi", html}, DirectMailReason::HtmlVirus},
      {"HTML without the closing IFRAME", {}, {"hi", "<HTML><IFRAME src=x></HTML>\r\n"}, DirectMailReason::None},
      {"virus check off", {"VirusCheck=0"}, {"hi", html}, DirectMailReason::None},
      {"the first criterion that fires names the reason", {"XMailer=1", "English=1"},
       {"hi", "buy\r\n", "me@example.jp", "shop@example.com", "", "X-Mailer: IM2000\r\n"}, DirectMailReason::XMailer},
      {"nothing switched on", {"VirusCheck=0"}, {"Hello", "Buy now\r\n"}, DirectMailReason::None},
  };
  for (const CriterionCase& c : cases) {
    SCOPED_TRACE(c.name);
    UseSettings(c.settings);
    EXPECT_EQ(CheckOne(c.mail), c.reason);
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(DirectMailTest, BuiltInListsAreThoseOfTheFilter) {
  EXPECT_EQ(kDirectMailMailers.front(), "Achi-Kochi Mail");
  EXPECT_EQ(kDirectMailMailers[12], "MultiSneder");
  EXPECT_EQ(kDirectMailMailers.back(), "Easy DM free");
  EXPECT_EQ(kDirectMailPhrases.front(), "\x83\x41\x83\x43\x83\x52\x83\x89");  // アイコラ
  EXPECT_EQ(kDirectMailPhrases[30], kDirectMailPhrases[35]);                 // 出会いのページ twice
  EXPECT_EQ(kDirectMailPhrases[24], "! \x8D\x4C\x8D\x90 !");                    // ! 広告 !
  EXPECT_EQ(kDirectMailPhrases.back(), "\x82\x63\x82\x6C\x88\xEA\x8A\x87\x94\x7A\x90\x4D");  // ＤＭ一括配信
  // Every phrase and mailer fires on its own.
  UseSettings({"Hiwai=1", "XMailer=1", "VirusCheck=0"});
  for (std::string_view phrase : kDirectMailPhrases) {
    EXPECT_EQ(CheckOne({"x", kKanjiBody + std::string(phrase) + "\r\n"}), DirectMailReason::Phrase) << phrase;
  }
  for (std::string_view mailer : kDirectMailMailers) {
    const Mail mail{"x", kKanjiBody, "me@example.jp", "shop@example.com", "", "X-Mailer: " + std::string(mailer) + "\r\n"};
    EXPECT_EQ(CheckOne(mail), DirectMailReason::XMailer) << mailer;
  }
}

struct KeywordCase {
  const char* name;
  std::string file;  // keyword file content
  bool regexp;
  Mail mail;
  bool fires;
};

TEST_F(DirectMailTest, KeywordFileLinesAndPatterns) {
  const std::string big_a(200000, 'a');
  const std::vector<KeywordCase> cases = {
      {"keyword in the subject", "cheap\r\nsecret\r\n", false, {"the secret plan", kKanjiBody}, true},
      {"keyword in the text", "cheap\r\nsecret\r\n", false, {"hi", "a secret\r\n"}, true},
      {"no keyword", "cheap\r\nsecret\r\n", false, {"hi", kKanjiBody}, false},
      {"an empty line stands everywhere", "cheap\r\n\r\nsecret\r\n", false, {"hi", kKanjiBody}, true},
      {"a final line end adds no empty line", "cheap\n", false, {"hi", kKanjiBody}, false},
      {"keyword with a 0x5C trail byte", kHyouji + "\n", false, {"hi", "\x83\x5C" + kHyouji + "\r\n"}, true},
      {"the template's example keyword", kKeywordFileTemplate, false, {"hi", kAd + "\r\n"}, true},
      {"the template's instruction line",
       kKeywordFileTemplate,
       false,
       {std::string(kKeywordFileTemplate).substr(0, std::string(kKeywordFileTemplate).find('\r')), kKanjiBody},
       true},
      {"the template and another mail", kKeywordFileTemplate, false, {"hi", kKanjiBody}, false},
      {"a Japanese pattern", kDeai.substr(0, 4) + "[\x82\xA2\x82\xA4]\n", true, {"hi", kDeai + "\r\n"}, true},
      {"the subject, a line feed and the text", "^hi\\nFrom: shop", true, {"hi", "body\r\n"}, true},
      {"a dot takes a whole character", "^.{2}\\n", true, {kHyouji, kKanjiBody}, true},
      {"a backslash never matches a trail byte", "\\\\", true, {kHyouji, kHyouji + "\r\n"}, false},
      {"case counts", "HELLO", true, {"hello", kKanjiBody}, false},
      {"an empty pattern matches", "\n", true, {"hi", kKanjiBody}, true},
      {"a bad pattern does not fire", "[abc\n", true, {"abc", kKanjiBody}, false},
      {"a bad pattern does not stop the next", "(\nplan\n", true, {"the plan", kKanjiBody}, true},
      {"runaway backtracking gives up", "(a+)+$", true, {"x", big_a + "b\r\n"}, false},
  };
  for (const KeywordCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(dir_.File("words.txt"), c.file);
    UseSettings({"KeyWord=1", "KeyWordFile=words.txt", std::string("KeyWordRegExp=") + (c.regexp ? "1" : "0"),
                 "VirusCheck=0"});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CheckOne(c.mail), c.fires ? DirectMailReason::Keyword : DirectMailReason::None);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  }
}

TEST_F(DirectMailTest, KeywordFileTroubleIsToldOncePerRun) {
  UseSettings({"KeyWord=1", "KeyWordFile=missing.txt"});
  auto box = MakeMailBox("in.lp", {{"a", "x\r\n"}, {"b", "<HTML><IFRAME></IFRAME></HTML>\r\n"}, {"c", "x\r\n"}});
  DirectMailFilter filter(kAccounts);
  EXPECT_EQ(filter.Check(*box, 0), DirectMailReason::None);
  // The other criteria still run.
  EXPECT_EQ(filter.Check(*box, 1), DirectMailReason::HtmlVirus);
  EXPECT_EQ(filter.Check(*box, 2), DirectMailReason::None);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(store_messages::kFileOpenFailed) + ":missing.txt"});

  ui_.messages.clear();
  WriteFileBytes(dir_.File("words.txt"), "[\nzzz\n");
  UseSettings({"KeyWord=1", "KeyWordFile=words.txt", "KeyWordRegExp=1"});
  DirectMailFilter second(kAccounts);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(second.IsDirectMail(*box, i == 1 ? 0 : i));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kBadKeywordPattern) + "["});
}

TEST_F(DirectMailTest, SettingsDefaults) {
  const DirectMailSettings settings = DirectMailSettings::Load(profile_);
  EXPECT_FALSE(settings.divide);
  EXPECT_EQ(settings.box, "");
  EXPECT_FALSE(settings.x_mailer || settings.english || settings.hiwai || settings.keyword ||
               settings.keyword_regexp || settings.to_check);
  EXPECT_TRUE(settings.virus_check);
  EXPECT_EQ(settings.keyword_file, JoinPath(CurrentDirectory(), "keyword.txt"));
  EXPECT_EQ(DefaultKeywordFilePath(), settings.keyword_file);
}

TEST_F(DirectMailTest, RemoveDirectMailMovesOnlyDirectMail) {
  struct Case {
    const char* name;
    std::string box;  // "Box" setting
    std::vector<std::string> left;
    std::vector<std::string> in_dm;
    std::size_t messages;
  };
  const std::vector<Case> cases = {
      {"moves the direct mail", "dm.lp", {"plain", "also plain"}, {"ad one", "ad two"}, 0},
      {"no box set", "", {"ad one", "plain", "ad two", "also plain"}, {}, 0},
      {"the box itself", "IN.lp", {"ad one", "plain", "ad two", "also plain"}, {}, 0},
      // The mailbox layer tells why, once for the whole run.
      {"a box that cannot take mail", "broken.lp", {"ad one", "plain", "ad two", "also plain"}, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto box = MakeMailBox("in.lp", {{"ad one", "SkyBiz\r\n"},
                                     {"plain", kKanjiBody},
                                     {"ad two", kUnsolicited + "\r\n"},
                                     {"also plain", kKanjiBody}});
    MakeMailBox("dm.lp", {});
    WriteFileBytes(Native("broken.lp"), "not a box");
    UseSettings({"Hiwai=1", "Box=" + c.box});
    ui_.messages.clear();
    const std::size_t moved = RemoveDirectMail(*box, std::vector<int>{0, 1, 2, 3, 2}, kAccounts, nullptr);
    EXPECT_EQ(moved, c.in_dm.size());
    EXPECT_EQ(Subjects(*box), c.left);
    EXPECT_EQ(Subjects(*Reopen("in.lp")), c.left);
    EXPECT_EQ(Subjects(*Reopen("dm.lp")), c.in_dm);
    EXPECT_EQ(ui_.messages.size(), c.messages);
    EXPECT_EQ(ReadFileBytes(Native("broken.lp")), "not a box");
    if (!c.in_dm.empty()) {
      EXPECT_EQ(Texts(*Reopen("dm.lp")),
                (std::vector<std::string>{StoredText({"", "SkyBiz\r\n"}), StoredText({"", kUnsolicited + "\r\n"})}));
    }
  }
}

TEST_F(DirectMailTest, RemoveIntoAnOpenBoxKeepsTheMailThere) {
  MakeMailBox("in.lp", {{"ad", "SkyBiz\r\n"}, {"plain", kKanjiBody}});
  MakeMailBox("dm.lp", {});
  OpenBoxRegistry registry(profile_, ui_, commands_);
  BoxHandle box = registry.Acquire("in.lp").box;
  BoxHandle dm = registry.Acquire("dm.lp").box;
  UseSettings({"Hiwai=1", "Box=dm.lp"});
  EXPECT_EQ(RemoveDirectMail(*box, std::vector<int>{0, 1}, kAccounts, &registry), 1u);
  EXPECT_EQ(Subjects(*dm), std::vector<std::string>{"ad"});
  ASSERT_TRUE(dm->Save().ok);
  EXPECT_EQ(Subjects(*Reopen("dm.lp")), std::vector<std::string>{"ad"});
  EXPECT_EQ(Subjects(*Reopen("in.lp")), std::vector<std::string>{"plain"});
}

TEST_F(DirectMailTest, CommandSaysWhenNoBoxIsSetAndAsksOtherwise) {
  auto box = MakeMailBox("in.lp", {{"ad", "SkyBiz\r\n"}, {"plain", kKanjiBody}});
  MakeMailBox("dm.lp", {});
  UseSettings({"Hiwai=1"});
  EXPECT_EQ(RemoveDirectMailCommand(*box, std::vector<int>{0, 1}, kAccounts, nullptr), 0u);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{kDirectMailNotConfigured});
  EXPECT_TRUE(ui_.questions.empty());

  UseSettings({"Hiwai=1", "Box=dm.lp"});
  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_EQ(RemoveDirectMailCommand(*box, std::vector<int>{0, 1}, kAccounts, nullptr), 0u);
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(ui_.questions[0].text, kAskRemoveDirectMail);
  EXPECT_EQ(box->Count(), 2);

  // No selection: the current mail.
  box->set_current_index(0);
  ui_.QueueAnswer(Answer::Ok);
  EXPECT_EQ(RemoveDirectMailCommand(*box, {}, kAccounts, nullptr), 1u);
  EXPECT_EQ(Subjects(*box), std::vector<std::string>{"plain"});
}

TEST(RegexMatcher, MatchesWholeCharactersOfShiftJisText) {
  struct Case {
    std::string pattern;
    std::string subject;
    RegexCase letter_case;
    RegexResult result;
  };
  const std::string a = "\x82\xA0";            // あ
  const std::string so = "\x83\x5C";           // ソ: trail byte 0x5C
  const std::string full_abc = "\x82\x60\x82\x61\x82\x62";    // ＡＢＣ
  const std::string full_lower = "\x82\x81\x82\x82\x82\x83";  // ａｂｃ
  const std::vector<Case> cases = {
      {a + ".", a + "\x82\xA2", RegexCase::Sensitive, RegexResult::Matched},
      {"^.$", kHyouji.substr(0, 2), RegexCase::Sensitive, RegexResult::Matched},
      {"^..$", kHyouji.substr(0, 2), RegexCase::Sensitive, RegexResult::NoMatch},
      {"\\\\", kHyouji, RegexCase::Sensitive, RegexResult::NoMatch},
      {"\\x5C", so, RegexCase::Sensitive, RegexResult::NoMatch},
      {"\\\\", "a\\b", RegexCase::Sensitive, RegexResult::Matched},
      {so, "\x83\x41" + so + "\x83\x52", RegexCase::Sensitive, RegexResult::Matched},
      {"[" + a + "-\x82\xF1]+", "x" + a, RegexCase::Sensitive, RegexResult::Matched},
      {"\\u3042", a, RegexCase::Sensitive, RegexResult::Matched},
      {full_abc, full_lower, RegexCase::Ignore, RegexResult::Matched},
      {full_abc, full_lower, RegexCase::Sensitive, RegexResult::NoMatch},
      {"abc", "xABCx", RegexCase::Ignore, RegexResult::Matched},
      {"abc", "xABCx", RegexCase::Sensitive, RegexResult::NoMatch},
      {"end$", "the end\n", RegexCase::Sensitive, RegexResult::NoMatch},  // "$" only at the very end
      {"", "anything", RegexCase::Sensitive, RegexResult::Matched},
      {"(", "(", RegexCase::Sensitive, RegexResult::BadPattern},
      {"\\C", "a", RegexCase::Sensitive, RegexResult::BadPattern},  // would take half a character
      {"(a|aa)+$", std::string(5000, 'a') + "b", RegexCase::Sensitive, RegexResult::LimitExceeded},
      // Catastrophic patterns: the answer is "not known", never "no match".
      {"(a+)+b", std::string(5000, 'a') + "\r\nb", RegexCase::Sensitive, RegexResult::LimitExceeded},
      {"(a)+b", std::string(100 * 1024, 'a') + "\r\nb", RegexCase::Sensitive, RegexResult::LimitExceeded},
      // A long subject that does not match, searched to its end.
      {"zebra", std::string(3 * 1024 * 1024, 'z') + "x", RegexCase::Sensitive, RegexResult::NoMatch},
      {"zebra", std::string(3 * 1024 * 1024, 'z') + "zebra", RegexCase::Sensitive, RegexResult::Matched},
  };
  for (const Case& c : cases) {
    const RegexMatcher matcher(c.pattern, c.letter_case);
    EXPECT_EQ(matcher.Test(c.subject), c.result) << c.pattern;
    EXPECT_EQ(matcher.ok(), c.result != RegexResult::BadPattern) << c.pattern;
    EXPECT_EQ(matcher.error().empty(), matcher.ok()) << c.pattern;
  }
  const RegexMatcher moved = RegexMatcher::FromUtf8("\xE3\x81\x82", RegexCase::Sensitive);  // あ in UTF-8
  EXPECT_EQ(moved.TestUtf8("x\xE3\x81\x82"), RegexResult::Matched);
}

// The time limit holds for the whole subject: it is checked between the
// slices of start positions, not per start position.
TEST(RegexMatcher, TimeLimitCoversEveryStartPosition) {
  const std::string long_text(1024 * 1024, 'x');
  const RegexMatcher no_time("zebra", RegexCase::Sensitive, std::chrono::milliseconds(0));
  EXPECT_EQ(no_time.Test(long_text), RegexResult::LimitExceeded);
  // A subject within the first slice is answered before any check.
  EXPECT_EQ(no_time.Test("a short zebra"), RegexResult::Matched);
  EXPECT_EQ(no_time.Test("a short text"), RegexResult::NoMatch);
}

TEST(KeywordLineReader, ReadsLinesAsTheFilterSeesThem) {
  testing::TempDirectory dir;
  const std::string x2047(2047, 'x');
  struct Case {
    std::string content;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\n", {"a", "b"}},
      {"\n", {""}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\r\n", {"a"}},
      {x2047 + "\r\nb", {x2047, "b"}},  // a full line's own end gives no empty line
      {x2047 + "\nb", {x2047, "b"}},
      {x2047 + "yz\n", {x2047, "yz"}},
      // A double-byte character is never cut in two.
      {std::string(2046, 'x') + kHyouji + "\n", {std::string(2046, 'x'), kHyouji}},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir.File("k.txt"), c.content);
    KeywordLineReader reader;
    ASSERT_TRUE(reader.Open(FromNativePath(dir.File("k.txt"))));
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    EXPECT_EQ(lines, c.lines) << c.content.substr(0, 20);
  }
  KeywordLineReader missing;
  EXPECT_FALSE(missing.Open(FromNativePath(dir.File("none.txt"))));
}

class RecordingOpener : public FileOpener {
 public:
  bool OpenWithDefaultProgram(std::string_view sjis_path) override {
    opened.emplace_back(sjis_path);
    return true;
  }
  std::vector<std::string> opened;
};

TEST(KeywordFile, EditingMakesTheTemplateOnlyWhenMissing) {
  testing::TempDirectory dir;
  RecordingUserInterface ui;
  RecordingOpener opener;
  const std::string path = FromNativePath(dir.File("keyword.txt"));

  EXPECT_TRUE(OpenKeywordFileForEditing(path, ui, opener));
  // "１行１キーワードで記述します（この行は削除してください）" CR LF "！広告！" CR LF
  EXPECT_EQ(ReadFileBytes(dir.File("keyword.txt")),
            "\x82\x50\x8D\x73\x82\x50\x83\x4C\x81\x5B\x83\x8F\x81\x5B\x83\x68\x82\xC5\x8B\x4C\x8F\x71\x82\xB5\x82"
            "\xDC\x82\xB7\x81\x69\x82\xB1\x82\xCC\x8D\x73\x82\xCD\x8D\xED\x8F\x9C\x82\xB5\x82\xC4\x82\xAD\x82\xBE"
            "\x82\xB3\x82\xA2\x81\x6A\r\n" + kAd + "\r\n");
  EXPECT_EQ(opener.opened, std::vector<std::string>{path});

  WriteFileBytes(dir.File("keyword.txt"), "mine\n");
  EXPECT_TRUE(OpenKeywordFileForEditing(path, ui, opener));
  EXPECT_EQ(ReadFileBytes(dir.File("keyword.txt")), "mine\n");
  EXPECT_TRUE(ui.messages.empty());

  const std::string nowhere = FromNativePath(dir.File("no/such/dir/keyword.txt"));
  EXPECT_FALSE(OpenKeywordFileForEditing(nowhere, ui, opener));
  EXPECT_EQ(ui.messages, std::vector<std::string>{kKeywordFileCannotCreate});
  EXPECT_EQ(opener.opened.size(), 2u);
}

}  // namespace
}  // namespace lp
