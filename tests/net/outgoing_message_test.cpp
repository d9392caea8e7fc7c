#include "net/outgoing_message.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "codec/date_header.h"
#include "net/address_field.h"
#include "net/message_id.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// Shift_JIS texts of the cases.
const std::string kYamadaTaro = "\x8E\x52\x93\x63 \x91\xBE\x98\x59 ";  // "山田 太郎 " with its blanks
const std::string kSubject = "\x8C\x8F\x96\xBC\x83\x65\x83\x58\x83\x67";  // 件名テスト
const std::string kHello = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";    // こんにちは
const std::string kReport = "\x95\xF1\x8D\x90\x8F\x91.txt";                 // 報告書.txt
const std::string kHalfAiu = "\xB1\xB2\xB3";                                // ｱｲｳ (half-width)
const std::string kHalfGuide = "\xB6\xDE\xB2\xC4\xDE";                      // ｶﾞｲﾄﾞ (half-width)

// The same texts on the wire, worked out apart from the code under test.
// An encoded display name leaves its blanks outside the word.
const std::string kYamadaTaroWord = "=?ISO-2022-JP?B?GyRCOzNFRBsoQiAbJEJCQE86GyhC?=";
const std::string kSubjectWord = "=?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?=";
const std::string kReportWord = "=?ISO-2022-JP?B?GyRCSnM5cD1xGyhCLnR4dA==?=";
const std::string kFullAiuWord = "=?ISO-2022-JP?B?GyRCJSIlJCUmGyhC?=";  // アイウ
const std::string kHelloJis = "\x1B$B$3$s$K$A$O\x1B(B";
const std::string kGuideJis = "\x1B$B%,%$%I\x1B(B";  // ガイド

const std::string kPlainHeaderStart =
    "X-MAILER: Orvex Lanternpost\r\nMIME-Version: 1.0\r\nDate: Mon, 30 Nov 2026 09:53:20 +0900\r\n"
    "Message-ID: <fixed@example.jp>\r\n";
const std::string kPlainContentType = "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n\r\n";
const std::string kBoundary = "======Boundary=123456789012345";

class OutgoingMessageTest : public ::testing::Test {
 protected:
  ComposeContext Context() {
    ComposeContext context{ui_, settings_};
    context.clock = [] { return std::time_t{1796000000}; };
    context.new_boundary = [] { return kBoundary; };
    context.new_message_id = [](std::string_view) { return std::string("<fixed@example.jp>"); };
    return context;
  }
  bool Build() { return BuildOutgoingMessage(message_, Context()); }
  std::string WorkFile() const { return ReadFileBytes(dir_.File("smail.$$$")); }

  testing::ScopedTimeZone zone_{"JST-9"};
  testing::TempDirectory dir_{true};
  RecordingUserInterface ui_;
  ComposeSettings settings_;
  OutgoingMessage message_;
};

TEST_F(OutgoingMessageTest, PlainJapaneseMailIsConvertedAndDotStuffed) {
  message_.from = kYamadaTaro + "<taro@example.jp>";
  message_.to = {"Hanako <hanako@example.jp>", "jiro@example.jp (Jiro)"};
  message_.subject = kSubject;
  message_.body = kHello + "\r\n.\r\n.hidden\r\nend\r\n";
  ASSERT_TRUE(Build());
  EXPECT_EQ(WorkFile(), kPlainHeaderStart +
                            "To: Hanako <hanako@example.jp>,Jiro <jiro@example.jp>\r\n"
                            "From: " + kYamadaTaroWord + " <taro@example.jp>\r\n"
                            "Subject: " + kSubjectWord + "\r\n" + kPlainContentType + kHelloJis +
                            "\r\n..\r\n..hidden\r\nend\r\n"
                            "\r\n.\r\n");
  EXPECT_EQ(message_.recipients, (std::vector<std::string>{"hanako@example.jp", "jiro@example.jp"}));
  EXPECT_TRUE(message_.boundary.empty());
}

TEST_F(OutgoingMessageTest, AsciiSubjectAndBodyWithoutFinalLineBreakStayAsTheyAre) {
  message_.from = "me@example.jp";
  message_.to = {"you@example.jp"};
  message_.subject = "Plain subject";
  message_.body = "last line";
  ASSERT_TRUE(Build());
  EXPECT_EQ(WorkFile(), kPlainHeaderStart +
                            "To: you@example.jp\r\nFrom: me@example.jp\r\nSubject: Plain subject\r\n" +
                            kPlainContentType + "last line\r\n.\r\n");
}

TEST_F(OutgoingMessageTest, ReferencesCcAndBcc) {
  message_.references = "<a@example.jp> <b@example.jp>";
  message_.from = "me@example.jp";
  message_.to = {"to@example.jp"};
  message_.cc = {"cc1@example.jp", "Cc Two <cc2@example.jp>"};
  message_.bcc = {"hidden@example.jp"};
  message_.subject = "Re: x";
  message_.body = "ok\r\n";
  ASSERT_TRUE(Build());
  EXPECT_EQ(WorkFile(), "In-Reply-To: <b@example.jp>\r\nReferences: <a@example.jp> <b@example.jp>\r\n" +
                            kPlainHeaderStart +
                            "To: to@example.jp\r\nCc: cc1@example.jp,Cc Two <cc2@example.jp>\r\n"
                            "From: me@example.jp\r\nSubject: Re: x\r\n" +
                            kPlainContentType + "ok\r\n\r\n.\r\n");
  EXPECT_EQ(message_.recipients,
            (std::vector<std::string>{"to@example.jp", "cc1@example.jp", "cc2@example.jp", "hidden@example.jp"}));
}

TEST_F(OutgoingMessageTest, SingleReferenceIsBothInReplyToAndReferences) {
  message_.references = "<only@example.jp>";
  message_.to = {"to@example.jp"};
  ASSERT_TRUE(Build());
  EXPECT_TRUE(WorkFile().starts_with("In-Reply-To: <only@example.jp>\r\nReferences: <only@example.jp>\r\n" +
                                     kPlainHeaderStart));
}

TEST_F(OutgoingMessageTest, AttachmentGoesAsBase64PartWithEncodedName) {
  std::string data;
  for (int i = 0; i < 130; ++i) data += static_cast<char>(i * 7);
  ASSERT_TRUE(MakeDirectory("files"));
  WriteFileBytes(dir_.File(ToNativePath("files/" + kReport)), data);
  message_.from = "me@example.jp";
  message_.to = {"you@example.jp"};
  message_.subject = "files";
  message_.body = kHello + "\r\n";
  message_.attachment = "files/" + kReport;
  ASSERT_TRUE(Build());
  EXPECT_EQ(message_.boundary, kBoundary);
  const std::string b64 =
      "AAcOFRwjKjE4P0ZNVFtiaXB3foWMk5qhqK+2vcTL0tng5+71/AMKERgfJi00O0JJUFdeZWxzeoGI\r\n"
      "j5adpKuyucDHztXc4+rx+P8GDRQbIikwNz5FTFNaYWhvdn2Ei5KZoKeutbzDytHY3+bt9PsCCRAX\r\n"
      "HiUsMzpBSE9WXWRrcnmAhw==\r\n";
  EXPECT_EQ(WorkFile(), kPlainHeaderStart +
                            "To: you@example.jp\r\nFrom: me@example.jp\r\nSubject: files\r\n"
                            "Content-Type: multipart/mixed; boundary=\"" + kBoundary + "\"\r\n\r\n"
                            "\r\n--" + kBoundary + "\r\n"
                            "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n" +
                            kHelloJis + "\r\n"
                            "\r\n--" + kBoundary + "\r\n"
                            "Content-Type: application/octet-stream; name=\"" + kReportWord + "\"\r\n"
                            "Content-Transfer-Encoding: base64\r\n"
                            "Content-Disposition: attachment; filename=\"" + kReportWord + "\"\r\n\r\n" +
                            b64 + "\r\n--" + kBoundary + "--\r\n\r\n.\r\n");
}

TEST_F(OutgoingMessageTest, UnreadableAttachmentIsReportedAndTheMessageCompleted) {
  message_.to = {"you@example.jp"};
  message_.body = "text\r\n";
  message_.attachment = "missing.bin";
  ASSERT_TRUE(Build());
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8A\x4A"
                                                   "\x82\xAF\x82\xDC\x82\xB9\x82\xF1"});  // 添付ファイルが開けません
  EXPECT_TRUE(WorkFile().ends_with("Content-Disposition: attachment; filename=\"missing.bin\"\r\n\r\n"
                                   "\r\n--" + kBoundary + "--\r\n\r\n.\r\n"));
}

TEST_F(OutgoingMessageTest, HalfWidthKatakanaTravelAsFullWidth) {
  message_.to = {"you@example.jp"};
  message_.subject = kHalfAiu;
  message_.body = kHalfGuide + "\r\n";
  ASSERT_TRUE(Build());
  const std::string file = WorkFile();
  EXPECT_NE(file.find("Subject: " + kFullAiuWord + "\r\n"), std::string::npos);
  EXPECT_NE(file.find(kPlainContentType + kGuideJis + "\r\n"), std::string::npos);
  EXPECT_EQ(file.find_first_of(std::string("\x0E\x0F", 2)), std::string::npos);
}

TEST_F(OutgoingMessageTest, LineBreaksInFieldsAndAddressesAreRemoved) {
  message_.references = "<r@example.jp>\r\nX-Evil: 1";
  message_.from = "me@example.jp\nX-Injected: 1";
  message_.to = {"a@example.jp\r\nBcc: evil@example.com"};
  message_.cc = {"Name\r\n <c@example.jp\r\n>"};
  message_.bcc = {"b@example.jp\r\nRSET"};
  message_.subject = "Hello\r\nBcc: evil@example.com";
  message_.attachment = "evil\r\nX-File: 1.txt";
  WriteFileBytes(dir_.File("evil\r\nX-File: 1.txt"), "x");
  ASSERT_TRUE(Build());
  EXPECT_EQ(WorkFile(), "In-Reply-To: <r@example.jp>X-Evil: 1\r\nReferences: <r@example.jp>X-Evil: 1\r\n" +
                            kPlainHeaderStart +
                            "To: a@example.jpBcc: evil@example.com\r\n"
                            "Cc: Name <c@example.jp>\r\n"
                            "From: me@example.jpX-Injected: 1\r\n"
                            "Subject: HelloBcc: evil@example.com\r\n"
                            "Content-Type: multipart/mixed; boundary=\"" + kBoundary + "\"\r\n\r\n"
                            "\r\n--" + kBoundary + "\r\n"
                            "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n"
                            "\r\n--" + kBoundary + "\r\n"
                            "Content-Type: application/octet-stream; name=\"evilX-File: 1.txt\"\r\n"
                            "Content-Transfer-Encoding: base64\r\n"
                            "Content-Disposition: attachment; filename=\"evilX-File: 1.txt\"\r\n\r\n"
                            "eA==\r\n\r\n--" + kBoundary + "--\r\n\r\n.\r\n");
  EXPECT_EQ(message_.recipients,
            (std::vector<std::string>{"a@example.jpBcc: evil@example.com", "c@example.jp", "b@example.jpRSET"}));
}

TEST_F(OutgoingMessageTest, BareLineBreaksInTheBodyCannotEndTheData) {
  message_.to = {"you@example.jp"};
  message_.body = "a\n.\nMAIL FROM:<x@example.com>\r.\r\nb";
  ASSERT_TRUE(Build());
  EXPECT_TRUE(WorkFile().ends_with(kPlainContentType + "a\r\n..\r\nMAIL FROM:<x@example.com>\r\n..\r\nb\r\n.\r\n"));
}

TEST_F(OutgoingMessageTest, OnlyTheFirstHundredToEntriesAreUsed) {
  for (int i = 0; i < 101; ++i) message_.to.push_back("u" + std::to_string(i) + "@example.jp");
  message_.cc = {"cc@example.jp"};
  ASSERT_TRUE(Build());
  // "To:同時に100件までのメールしか送信できません", once.
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"To:\x93\xAF\x8E\x9E\x82\xC9" "100\x8C\x8F\x82\xDC\x82\xC5\x82\xCC"
                                                   "\x83\x81\x81\x5B\x83\x8B\x82\xB5\x82\xA9\x91\x97\x90\x4D\x82\xC5"
                                                   "\x82\xAB\x82\xDC\x82\xB9\x82\xF1"});
  ASSERT_EQ(message_.recipients.size(), 101u);
  EXPECT_EQ(message_.recipients[99], "u99@example.jp");
  EXPECT_EQ(message_.recipients[100], "cc@example.jp");
  const std::string file = WorkFile();
  EXPECT_NE(file.find(",u99@example.jp\r\nCc: cc@example.jp\r\n"), std::string::npos);
  EXPECT_EQ(file.find("u100@"), std::string::npos);
}

TEST_F(OutgoingMessageTest, ManyRecipientsQuestion) {
  // "10人以上をToで送信します。よろしいですか？" and the Cc form.
  const std::string to_question =
      "10\x90\x6C\x88\xC8\x8F\xE3\x82\xF0To\x82\xC5\x91\x97\x90\x4D\x82\xB5\x82\xDC\x82\xB7\x81\x42\x82\xE6\x82\xEB"
      "\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9\x81\x48";
  const std::string cc_question =
      "10\x90\x6C\x88\xC8\x8F\xE3\x82\xF0" "Cc\x82\xC5\x91\x97\x90\x4D\x82\xB5\x82\xDC\x82\xB7\x81\x42\x82\xE6\x82\xEB"
      "\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9\x81\x48";
  struct Case {
    bool many_alert;
    std::size_t to_count;
    std::size_t cc_count;
    std::vector<Answer> answers;
    bool built;
    std::vector<std::string> questions;
  };
  const std::vector<Case> cases = {
      {true, 9, 0, {}, true, {}},
      {true, 10, 0, {Answer::Ok}, true, {to_question}},
      {true, 10, 0, {Answer::Cancel}, false, {to_question}},
      {true, 1, 12, {Answer::Ok}, true, {cc_question}},
      {true, 10, 10, {Answer::Ok, Answer::Cancel}, false, {to_question, cc_question}},
      {false, 50, 50, {}, true, {}},
  };
  for (const Case& c : cases) {
    RecordingUserInterface ui;
    for (const Answer answer : c.answers) ui.QueueAnswer(answer);
    OutgoingMessage message;
    for (std::size_t i = 0; i < c.to_count; ++i) message.to.push_back("t" + std::to_string(i) + "@example.jp");
    for (std::size_t i = 0; i < c.cc_count; ++i) message.cc.push_back("c" + std::to_string(i) + "@example.jp");
    ComposeContext context{ui, ComposeSettings{c.many_alert, {}, {}}};
    EXPECT_EQ(BuildOutgoingMessage(message, context), c.built) << c.to_count << " " << c.cc_count;
    std::vector<std::string> asked;
    for (const auto& question : ui.questions) {
      asked.push_back(question.text);
      EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
    }
    EXPECT_EQ(asked, c.questions) << c.to_count << " " << c.cc_count;
  }
}

TEST_F(OutgoingMessageTest, LanDestinationsGetCopiesAndNeverReachTheEnvelope) {
  ASSERT_TRUE(MakeDirectories("lan/bob"));
  ASSERT_TRUE(MakeDirectories("lan/carol"));
  ASSERT_TRUE(MakeDirectories("lan/dave"));
  message_.from = "me@example.jp";
  message_.to = {"Bob <lan/bob>", "you@example.jp"};
  message_.cc = {"lan/carol/"};
  message_.bcc = {"lan/dave", "hidden@example.jp"};
  message_.subject = "hi";
  message_.body = "x\r\n";
  ASSERT_TRUE(Build());
  EXPECT_EQ(message_.recipients, (std::vector<std::string>{"you@example.jp", "hidden@example.jp"}));
  const std::string file = WorkFile();
  EXPECT_NE(file.find("\r\nTo: you@example.jp\r\nFrom: me@example.jp\r\n"), std::string::npos);
  for (const char* dir : {"lan/bob", "lan/carol", "lan/dave"}) {
    const std::string copy = ReadFileBytes(dir_.File(std::string(dir) + "/inbox.log"));
    EXPECT_NE(copy.find("\r\nTo: Bob <lan/bob>,you@example.jp\r\nCc: lan/carol/\r\n"), std::string::npos) << dir;
  }
}

TEST_F(OutgoingMessageTest, AddressListMembersAreRecipients) {
  ASSERT_TRUE(MakeDirectories("lan/bob"));
  const AddressListLookup lists = [](std::string_view name) -> std::optional<std::vector<std::string>> {
    if (name != "team") return std::nullopt;
    return std::vector<std::string>{"Ann <ann@example.jp>", "lan/bob", "ken@example.jp"};
  };
  EXPECT_TRUE(SplitAddressField("team", message_.to, lists));
  EXPECT_TRUE(SplitAddressField("boss@example.jp", message_.cc, lists));
  message_.from = "me@example.jp";
  ASSERT_TRUE(Build());
  EXPECT_EQ(message_.recipients, (std::vector<std::string>{"ann@example.jp", "ken@example.jp", "boss@example.jp"}));
  EXPECT_NE(WorkFile().find("\r\nTo: Ann <ann@example.jp>,ken@example.jp\r\nCc: boss@example.jp\r\n"),
            std::string::npos);
  EXPECT_NE(ReadFileBytes(dir_.File("lan/bob/inbox.log")).find("\r\nTo: Ann <ann@example.jp>,lan/bob,ken@example.jp\r\n"),
            std::string::npos);
}

TEST_F(OutgoingMessageTest, OnlyLanRecipientsGiveNoToLineAndNoEnvelope) {
  ASSERT_TRUE(MakeDirectories("lan/bob"));
  message_.from = "me@example.jp";
  message_.to = {"lan/bob"};
  message_.subject = "s";
  message_.body = "b\r\n";
  ASSERT_TRUE(Build());
  EXPECT_TRUE(message_.recipients.empty());
  EXPECT_EQ(WorkFile(), kPlainHeaderStart + "From: me@example.jp\r\nSubject: s\r\n" + kPlainContentType +
                            "b\r\n\r\n.\r\n");
  EXPECT_TRUE(PathExists("lan/bob/inbox.log"));
}

TEST_F(OutgoingMessageTest, WorkFileThatCannotBeCreatedFailsQuietly) {
  message_.to = {"you@example.jp"};
  EXPECT_FALSE(BuildOutgoingMessage(message_, Context(), "no-such-dir/smail.$$$"));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(OutgoingMessageTest, RebuildingReplacesTheRecipientsAndTheFile) {
  message_.to = {"a@example.jp", "b@example.jp"};
  message_.body = std::string(5000, 'x');
  ASSERT_TRUE(Build());
  message_.to = {"c@example.jp"};
  message_.body = "short";
  ASSERT_TRUE(Build());
  EXPECT_EQ(message_.recipients, std::vector<std::string>{"c@example.jp"});
  EXPECT_TRUE(WorkFile().ends_with(kPlainContentType + "short\r\n.\r\n"));
}

TEST_F(OutgoingMessageTest, AddressWithNameInParenthesesIsWrittenNameFirst) {
  struct Case {
    std::string entry;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"jiro@example.jp (Jiro)", "Jiro <jiro@example.jp>"},
      {"jiro@example.jp(Jiro Sato)", "Jiro Sato <jiro@example.jp>"},
      {"  jiro@example.jp   (Jiro)", "Jiro <jiro@example.jp>"},
      {"jiro@example.jp (" + kYamadaTaro + ")", kYamadaTaroWord + " <jiro@example.jp>"},
      {"Jiro<jiro@example.jp>", "Jiro<jiro@example.jp>"},
      {"Jiro < jiro@example.jp >", "Jiro <jiro@example.jp>"},
  };
  for (const Case& c : cases) {
    message_.to = {c.entry};
    ASSERT_TRUE(Build());
    EXPECT_NE(WorkFile().find("\r\nTo: " + c.text + "\r\n"), std::string::npos) << c.entry << "\n" << WorkFile();
    EXPECT_EQ(message_.recipients, std::vector<std::string>{"jiro@example.jp"}) << c.entry;
  }
}

TEST(MailDateTest, DateLineCarriesTheLocalOffset) {
  struct Case {
    const char* zone;
    const char* date;
  };
  // 1796000000 is 2026-11-30 00:53:20 UTC.
  const std::vector<Case> cases = {
      {"JST-9", "Mon, 30 Nov 2026 09:53:20 +0900"},
      {"UTC0", "Mon, 30 Nov 2026 00:53:20 +0000"},
      {"NST+3:30", "Sun, 29 Nov 2026 21:23:20 -0330"},
      {"IST-5:30", "Mon, 30 Nov 2026 06:23:20 +0530"},
  };
  for (const Case& c : cases) {
    testing::ScopedTimeZone zone(c.zone);
    EXPECT_EQ(FormatMailDate(1796000000), c.date) << c.zone;
    // The line reads back as the same instant.
    EXPECT_EQ(TryParseDateHeader(std::string("Date: ") + c.date).has_value(), true) << c.zone;
  }
}

TEST_F(OutgoingMessageTest, EveryMailGetsItsOwnMessageIdInTheSendersDomain) {
  message_.from = "Taro <sales/jp@example.co.jp>";
  message_.to = {"you@example.jp"};
  ComposeContext context = Context();
  context.new_message_id = nullptr;
  ASSERT_TRUE(BuildOutgoingMessage(message_, context));
  const std::string first = message_.message_id;
  EXPECT_NE(WorkFile().find("\r\nMessage-ID: " + first + "\r\n"), std::string::npos);
  OutgoingMessage second = message_;
  second.message_id.clear();
  ASSERT_TRUE(BuildOutgoingMessage(second, context));
  EXPECT_NE(first, second.message_id);
  for (const std::string& id : {first, second.message_id}) {
    ASSERT_EQ(id.size(), 1 + 32 + std::string("@example.co.jp>").size()) << id;
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef", 1), 33u) << id;
    EXPECT_TRUE(id.starts_with("<") && id.ends_with("@example.co.jp>")) << id;
  }
  // An id the mail already has is kept.
  ASSERT_TRUE(BuildOutgoingMessage(second, context));
  EXPECT_NE(WorkFile().find("\r\nMessage-ID: " + second.message_id + "\r\n"), std::string::npos);

  const std::pair<std::string, std::string> domains[] = {
      {"taro@example.jp", "example.jp"},     {" taro@Mail.Example.JP ", "Mail.Example.JP"},
      {"a@b@example.jp", "example.jp"},      {"nobody", "lanternpost.invalid"},
      {"x@bad domain", "lanternpost.invalid"}, {"x@", "lanternpost.invalid"},
      {"x@<evil>", "lanternpost.invalid"},   {"", "lanternpost.invalid"},
  };
  for (const auto& [address, domain] : domains) EXPECT_EQ(MessageIdDomain(address), domain) << address;
}

TEST_F(OutgoingMessageTest, NobodyGetsTheMailWhenALanDestinationCannotBeWrittenOrTheUserDeclines) {
  ASSERT_TRUE(MakeDirectories("lan/bob"));
  message_.to = {"lan/bob", "you@example.jp"};
  message_.bcc = {"lan/missing"};
  EXPECT_FALSE(Build());
  EXPECT_FALSE(PathExists("lan/bob/inbox.log"));
  EXPECT_FALSE(PathExists("smail.$$$"));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(ui_.messages[0].ends_with("\n\nlan/missing"));

  // A declined Cc question comes before the To field's LAN copies.
  settings_.many_alert = true;
  ui_.QueueAnswer(Answer::Cancel);
  message_.bcc.clear();
  for (int i = 0; i < 10; ++i) message_.cc.push_back("c" + std::to_string(i) + "@example.jp");
  EXPECT_FALSE(Build());
  EXPECT_FALSE(PathExists("lan/bob/inbox.log"));
}

TEST(ComposeSettingsTest, ReadFromTheSettingsFile) {
  testing::TempDirectory dir;
  WriteFileBytes(dir.File("lpost.conf"), "[System]\r\nManyAlert=1\r\n[Lan]\r\nDir=/srv/lan/me\r\n");
  const ComposeSettings settings = ReadComposeSettings(Profile(FromNativePath(dir.File("lpost.conf"))), "Taro");
  EXPECT_TRUE(settings.many_alert);
  EXPECT_EQ(settings.lan_directory, "/srv/lan/me");
  EXPECT_EQ(settings.user_name, "Taro");
  WriteFileBytes(dir.File("lpost.conf"), "");
  EXPECT_FALSE(ReadComposeSettings(Profile(FromNativePath(dir.File("lpost.conf"))), "").many_alert);
}

}  // namespace
}  // namespace lp
