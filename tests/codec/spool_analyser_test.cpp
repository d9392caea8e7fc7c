#include "codec/spool_analyser.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <limits>
#include <string>
#include <vector>

#include "codec/date_header.h"
#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "codec/codec_messages.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// Shift_JIS texts the cases expect.
const std::string kTsu = "\x82\xC2";                      // つ
const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語
const std::string kA = "\x82\xA0";                        // あ
// UTF-8 of 日本語.
const std::string kNihongoUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";

// The exact note texts, spelled out here apart from the code that writes them.
std::string SavedNote(const std::string& name) {
  // "★添付ファイル %s を受信しました\r\n\r\n"
  return "\x81\x9A\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8B " + name +
         " \x82\xF0\x8E\xF3\x90\x4D\x82\xB5\x82\xDC\x82\xB5\x82\xBD\r\n\r\n";
}
std::string RenamedNote(const std::string& name) {
  // "★添付ファイル %s を受信しました。\r\n注：lpost.binというファイル名で保存されていますので、
  // 正しいファイル名\r\n　　に変更してください。\r\n\r\n"
  return "\x81\x9A\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8B " + name +
         " \x82\xF0\x8E\xF3\x90\x4D\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42\r\n"
         "\x92\x8D\x81\x46lpost.bin\x82\xC6\x82\xA2\x82\xA4\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\x82\xC5"
         "\x95\xDB\x91\xB6\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x82\xCC\x82\xC5\x81\x41\x90\xB3"
         "\x82\xB5\x82\xA2\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\r\n"
         "\x81\x40\x81\x40\x82\xC9\x95\xCF\x8D\x58\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42\r\n\r\n";
}

std::string Jis(const std::string& sjis) {
  std::string out;
  SjisToJis(sjis, out);
  return out;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// One message as a POP3 session stores it: status line, lines, ".".
std::string Pop3(const std::vector<std::string>& lines) { return "+OK\r\n" + Join(lines) + ".\r\n"; }

// Base64 lines of 76 characters, as mail programs write them.
std::vector<std::string> Base64Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < bytes.size(); i += 57) lines.push_back(Base64EncodeBlock(bytes.substr(i, 57)));
  return lines;
}

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class RecordingIds : public MessageIdObserver {
 public:
  void OnMessageIdAnalysed(std::string_view id) override { ids.emplace_back(id); }
  std::vector<std::string> ids;
};

class SpoolAnalyserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEmptyFileIfMissing("box.lp"));
    ASSERT_TRUE(box_.Open("box.lp").ok);
  }

  int Analyse(const std::string& spool) {
    WriteFileBytes(dir_.File("inbox.log"), spool);
    return AnalyseSpool(box_, "inbox.log", &ids_);
  }
  const CMail& Mail(int index) { return *box_.RecordAt(index); }
  // The stored text of a record, as the mailbox gives it back.
  std::string Text(int index) { return box_.ReadText(Mail(index).text_start, Mail(index).text_end).text; }
  // The whole block with its terminator.
  std::string Block(int index) {
    const std::string file = ReadFileBytes(dir_.File("box.mb"));
    return file.substr(Mail(index).text_start, Mail(index).text_end - Mail(index).text_start);
  }
  std::string AttachPath(const std::string& name) const { return JoinPath(CurrentDirectory(), "Attach/" + name); }

  testing::TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  CLPOSTDoc box_{profile_, ui_, commands_};
  RecordingIds ids_;
};

TEST_F(SpoolAnalyserTest, TwoPop3MessagesGiveTwoRecordsWithAdjacentBlocks) {
  const std::string spool =
      Pop3({"To: taro@example.jp", "From: =?ISO-2022-JP?B?GyRCJEQbKEI=?= <hanako@example.jp>",
            "Subject: =?ISO-2022-JP?B?GyRCJEQbKEI=?=", "Date: Tue, 8 Dec 2026 13:38:03 +0000",
            "Message-ID: <one@example.jp>", "Reply-To: hanako@example.jp", "Cc: jiro@example.jp", "",
            "body one"}) +
      Pop3({"To: taro@example.jp", "Subject: second", "Message-Id:", " <two@example.jp>", "", "body two"});
  ASSERT_EQ(Analyse(spool), 2);
  ASSERT_EQ(box_.Count(), 2);
  EXPECT_TRUE(box_.IsModified());

  const CMail& first = Mail(0);
  EXPECT_EQ(first.to, "taro@example.jp");
  EXPECT_EQ(first.from, kTsu + " <hanako@example.jp>");
  EXPECT_EQ(first.subject, kTsu);
  EXPECT_EQ(first.cc, "jiro@example.jp");
  EXPECT_EQ(first.message_id, "<one@example.jp>");
  EXPECT_EQ(first.status, kStatusUnread);
  EXPECT_EQ(FormatListDate(first.date), "2026/12/08 22:38:03");  // Japan time
  EXPECT_EQ(first.flags, kFlagHasReplyTo);
  EXPECT_EQ(first.text_start, 0u);
  EXPECT_EQ(Mail(1).text_start, first.text_end);
  EXPECT_EQ(Mail(1).flags, 0);
  // A Message-Id folded onto its next line is kept too.
  EXPECT_EQ(Mail(1).message_id, "<two@example.jp>");
  EXPECT_EQ(ids_.ids, (std::vector<std::string>{"<one@example.jp>", "<two@example.jp>"}));

  const std::string block = Block(0);
  EXPECT_EQ(block.substr(0, 5), "+OK\r\n");
  EXPECT_EQ(block.substr(block.size() - 3), ".\r\n");
  // Header lines are stored decoded.
  EXPECT_NE(block.find("Subject: " + kTsu + "\r\n"), std::string::npos);
  EXPECT_EQ(Text(1).substr(Text(1).size() - 8), "body two");
}

TEST_F(SpoolAnalyserTest, FoldedSubjectWithEncodedWordsOnBothLinesIsJoined) {
  ASSERT_EQ(Analyse(Pop3({"Subject: =?ISO-2022-JP?B?GyRCJEQbKEI=?=", "\t=?ISO-2022-JP?B?GyRCJEQbKEI=?=", "", "x"})),
            1);
  EXPECT_EQ(Mail(0).subject, kTsu + kTsu);
}

TEST_F(SpoolAnalyserTest, CharacterSplitBetweenFoldedEncodedWordsSurvivesInRecordAndText) {
  const std::string first = "=?UTF-8?B?" + Base64EncodeBlock(kNihongoUtf8.substr(0, 4)) + "?=";
  const std::string second = "=?UTF-8?B?" + Base64EncodeBlock(kNihongoUtf8.substr(4)) + "?=";
  ASSERT_EQ(Analyse(Pop3({"Subject: " + first, " " + second, "", "x"})), 1);
  EXPECT_EQ(Mail(0).subject, kNihongo);
  EXPECT_NE(Text(0).find("\r\nSubject: " + kNihongo + "\r\n"), std::string::npos);
}

TEST_F(SpoolAnalyserTest, RawUtf8InHeadersIsConverted) {
  ASSERT_EQ(Analyse(Pop3({"Subject: " + kNihongoUtf8 + " =?ISO-2022-JP?B?GyRCJEQbKEI=?=", "", "x"})), 1);
  EXPECT_EQ(Mail(0).subject, kNihongo + " " + kTsu);
  EXPECT_NE(Text(0).find("Subject: " + kNihongo + " " + kTsu + "\r\n"), std::string::npos);
}

TEST_F(SpoolAnalyserTest, DeclaredEucJpSettlesLinesThatCouldBeShiftJis) {
  // 山田様 in EUC-JP: every byte pair is also valid Shift_JIS.
  ASSERT_EQ(Analyse(Pop3({"Content-Type: text/plain; charset=EUC-JP", "", "\xBB\xB3\xC5\xC4\xCD\xCD"})), 1);
  EXPECT_NE(Block(0).find("\r\n\r\n\x8E\x52\x93\x63\x97\x6C\r\n.\r\n"), std::string::npos);
}

TEST_F(SpoolAnalyserTest, MessageWithoutCcStoresEmptyCcAfterOneWhoseLastHeaderWasCc) {
  ASSERT_EQ(Analyse(Pop3({"Subject: a", "Cc: someone@example.jp", "", "x"}) +
                    Pop3({"Subject: b", " re: continued", "", "y"})),
            2);
  EXPECT_EQ(Mail(1).cc, "");
  // A folded line continues its field even when it holds a colon; the
  // blank at the fold stays.
  EXPECT_EQ(Mail(1).subject, "b re: continued");
}

std::vector<std::string> MixedMail(const std::string& attachment_name, const std::string& content) {
  return Concat({{"Subject: report", "MIME-Version: 1.0", "Content-Type: multipart/mixed;",
                  "\tboundary=\"----=_Part_0_ABC\"", "", "This is a multi-part message in MIME format.",
                  "------=_Part_0_ABC", "Content-Type: text/plain; charset=ISO-2022-JP",
                  "Content-Transfer-Encoding: 7bit", "", Jis(kNihongo), "------=_Part_0_ABC",
                  "Content-Type: application/pdf; name=\"" + attachment_name + "\"",
                  "Content-Transfer-Encoding: base64",
                  "Content-Disposition: attachment; filename=\"" + attachment_name + "\"", ""},
                 Base64Lines(content),
                 {"------=_Part_0_ABC--", ""}});
}

// Seventy To fields before the Message-ID and the Date: every field the
// record is made from is still there.
TEST_F(SpoolAnalyserTest, ManyRepeatedFieldsPushNoOtherFieldOut) {
  const std::string message = ReadFileBytes(LP_TEST_DATA_DIR "/import/seventy_to_fields.eml");
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < message.size();) {
    const std::size_t end = message.find('\n', at);
    lines.push_back(message.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(Analyse(Pop3(lines)), 1);
  const CMail& mail = Mail(0);
  EXPECT_EQ(mail.message_id, "<seventy@example.jp>");
  EXPECT_EQ(FormatListDate(mail.date), "2026/12/08 22:38:03");
  EXPECT_EQ(mail.subject, "seventy recipients");
  EXPECT_EQ(mail.from, "sender@example.jp");
  EXPECT_EQ(mail.cc, "cc@example.jp");
  EXPECT_EQ(mail.to, "member69@example.jp");
}

TEST_F(SpoolAnalyserTest, MultipartMailStoresTextAndSavesTheAttachment) {
  std::string pdf = "%PDF-1.4\r\n";
  for (int i = 0; i < 300; ++i) pdf += static_cast<char>(i & 0xFF);
  ASSERT_EQ(Analyse(Pop3(MixedMail("a.pdf", pdf)) + Pop3(MixedMail("a.pdf", pdf))), 2);

  const std::string text = Text(0);
  EXPECT_NE(text.find(kNihongo + "\r\n"), std::string::npos);
  EXPECT_NE(text.find(SavedNote("a.pdf")), std::string::npos);
  // Part headers and delimiters never reach the stored text.
  EXPECT_EQ(text.find("------=_Part_0_ABC"), std::string::npos);
  EXPECT_EQ(text.find("Content-Transfer-Encoding: base64"), std::string::npos);
  EXPECT_EQ(text.find("%PDF"), std::string::npos);

  EXPECT_EQ(Mail(0).attachments, AttachPath("a.pdf"));
  EXPECT_EQ(ReadFileBytes(AttachPath("a.pdf")), pdf);
  EXPECT_EQ(Mail(1).attachments, AttachPath("a(1).pdf"));
  EXPECT_NE(Text(1).find(SavedNote("a(1).pdf")), std::string::npos);
  EXPECT_EQ(ReadFileBytes(AttachPath("a(1).pdf")), pdf);
}

TEST_F(SpoolAnalyserTest, TwoAttachmentsAreJoinedByLineFeedWhicheverHeaderNamedThem) {
  ASSERT_EQ(Analyse(Pop3({"Content-Type: multipart/mixed; boundary=b1", "", "--b1", "Content-Type: text/plain", "",
                          "hello", "--b1", "Content-Type: application/octet-stream; name=\"one.bin\"",
                          "Content-Transfer-Encoding: base64", "", "AAEC", "--b1",
                          "Content-Type: application/octet-stream",
                          "Content-Disposition: attachment; filename=\"two.bin\"",
                          "Content-Transfer-Encoding: base64", "", "AwQF", "--b1--"})),
            1);
  EXPECT_EQ(Mail(0).attachments, AttachPath("one.bin") + "\n" + AttachPath("two.bin"));
  EXPECT_EQ(ReadFileBytes(AttachPath("one.bin")), std::string("\x00\x01\x02", 3));
  EXPECT_EQ(ReadFileBytes(AttachPath("two.bin")), "\x03\x04\x05");
}

TEST_F(SpoolAnalyserTest, UnquotedFilenameOnlyInContentDispositionIsSavedAsLpostBin) {
  ASSERT_EQ(Analyse(Pop3({"Content-Type: multipart/mixed; boundary=b1", "", "--b1",
                          "Content-Disposition: attachment; filename=data.csv", "", "a,b,c", "--b1--"})),
            1);
  EXPECT_NE(Block(0).find(RenamedNote("")), std::string::npos);
  EXPECT_EQ(Mail(0).attachments, AttachPath("lpost.bin"));
  // The line break before the delimiter belongs to the delimiter.
  EXPECT_EQ(ReadFileBytes(AttachPath("lpost.bin")), "a,b,c");
  EXPECT_EQ(Text(0).find("a,b,c"), std::string::npos);
}

TEST_F(SpoolAnalyserTest, ContentIdReferenceBecomesThePathOfTheSavedImage) {
  ASSERT_EQ(Analyse(Pop3({"References: <old@example.jp>", "Content-Type: multipart/related; boundary=\"rel\"", "",
                          "--rel", "Content-Type: text/html; charset=us-ascii", "",
                          "<img src=\"cid:img1\"><img src=\"cid:img10\">", "--rel",
                          "Content-Type: image/png; name=\"pic.png\"", "Content-ID: <img1>",
                          "Content-Transfer-Encoding: base64", "", "iVBORw==", "--rel--"})),
            1);
  ASSERT_EQ(box_.content_ids().size(), 1u);
  EXPECT_EQ(box_.content_ids()[0].content_id, "img1");
  EXPECT_EQ(box_.content_ids()[0].path, AttachPath("pic.png"));
  const std::string text = Text(0);
  EXPECT_NE(text.find("<img src=\"" + AttachPath("pic.png") + "\">"), std::string::npos);
  // Another id that merely begins with the same text stays.
  EXPECT_NE(text.find("cid:img10"), std::string::npos);
  // The rewritten text keeps every header line: replies look up References.
  EXPECT_NE(text.find("References: <old@example.jp>"), std::string::npos);
  EXPECT_EQ(text.substr(0, 5), "+OK\r\n");
}

TEST_F(SpoolAnalyserTest, Utf8BodiesConvertWholeCharactersAcrossLines) {
  // 日本語 split inside its second character by soft breaks and by Base64 lines.
  const std::string qp_lines[] = {"=E6=97=A5=E6=", "=9C=AC=E8=AA=9E"};
  std::string long_utf8;
  for (int i = 0; i < 40; ++i) long_utf8 += kNihongoUtf8;  // 360 bytes: Base64 lines cut characters
  std::string long_sjis;
  for (int i = 0; i < 40; ++i) long_sjis += kNihongo;

  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::string expected;
  } cases[] = {
      {"single-part quoted-printable",
       {"Content-Type: text/plain; charset=UTF-8", "Content-Transfer-Encoding: quoted-printable", "", qp_lines[0],
        qp_lines[1]},
       kNihongo + "\r\n"},
      {"multipart quoted-printable",
       {"Content-Type: multipart/alternative; boundary=b", "", "--b", "Content-Type: text/plain; charset=\"utf-8\"",
        "Content-Transfer-Encoding: quoted-printable", "", qp_lines[0], qp_lines[1], "--b--"},
       kNihongo + "\r\n"},
      {"single-part base64, encoding in capitals",
       Concat({{"Content-Type: text/plain; charset=utf-8", "Content-Transfer-Encoding: BASE64", ""},
               Base64Lines(long_utf8 + "\r\n")}),
       long_sjis + "\r\n"},
      {"multipart base64",
       Concat({{"Content-Type: multipart/mixed; boundary=b", "", "--b", "Content-Type: text/plain; charset=UTF-8",
                "Content-Transfer-Encoding: base64", ""},
               Base64Lines(long_utf8 + "\r\n"),
               {"--b--"}}),
       long_sjis + "\r\n"},
      {"raw 8-bit", {"Content-Type: text/plain; charset=utf-8", "", kNihongoUtf8}, kNihongo + "\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int index = box_.Count();
    ASSERT_EQ(Analyse(Pop3(c.lines)), 1);
    const std::string block = Block(index);
    EXPECT_NE(block.find("\r\n\r\n" + c.expected + ".\r\n"), std::string::npos);
  }
}

TEST_F(SpoolAnalyserTest, SinglePartTransferEncodingIsMatchedWithoutRegardToCase) {
  const struct {
    std::string encoding;
    std::string body;
  } cases[] = {
      {"base64", "aGVsbG8NCg=="},
      {"Base64", "aGVsbG8NCg=="},
      {"BASE64", "aGVsbG8NCg=="},
      {"Quoted-Printable", "hel=6Co"},
      {"QUOTED-PRINTABLE", "hel=6Co"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    const int index = box_.Count();
    ASSERT_EQ(Analyse(Pop3({"Content-Transfer-Encoding: " + c.encoding, "", c.body})), 1);
    EXPECT_EQ(Block(index).substr(Block(index).size() - 12), "\r\nhello\r\n.\r\n");
  }
}

TEST_F(SpoolAnalyserTest, Pop3DotStuffingIsRemovedAndTheTerminatorComesFirst) {
  // uuencode of ".." keeps a line that begins with a dot.
  ASSERT_EQ(Analyse(Pop3({"Subject: dots", "", "..hidden", "...", "end"}) +
                    Pop3({"Content-Type: multipart/mixed; boundary=b", "", "--b",
                          "Content-Type: application/octet-stream; name=\"u.bin\"",
                          "Content-Transfer-Encoding: x-uuencode", "", "begin 644 u.bin", "\"+BXN", "`", "end",
                          "--b--"})),
            2);
  const std::string text = Text(0);
  EXPECT_NE(text.find("\r\n.hidden\r\n..\r\nend"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(AttachPath("u.bin")), "..");
}

TEST_F(SpoolAnalyserTest, LanCopiesKeepTheirDots) {
  ASSERT_EQ(Analyse("Subject: lan\r\n\r\n..kept\r\n.\r\n"), 1);
  EXPECT_NE(Text(0).find("\r\n..kept"), std::string::npos);
}

TEST_F(SpoolAnalyserTest, LongLinesAreStoredAsPiecesOf4095Bytes) {
  const std::string line(5000, 'x');
  ASSERT_EQ(Analyse(Pop3({"Subject: long", "", line})), 1);
  EXPECT_NE(Text(0).find("\r\n" + std::string(4095, 'x') + "\r\n" + std::string(905, 'x')), std::string::npos);
}

TEST_F(SpoolAnalyserTest, LineOfExactlyTheLimitGivesNoEmptyLine) {
  // Had the line break after 4095 bytes been read as a line of its own, the
  // header would end there and Subject would be body text.
  ASSERT_EQ(Analyse(Pop3({"X-Long: " + std::string(4087, 'y'), "Subject: kept", "", "body"})), 1);
  EXPECT_EQ(Mail(0).subject, "kept");
}

TEST_F(SpoolAnalyserTest, PieceOfALongLineIsNeverATerminator) {
  ASSERT_EQ(Analyse(Pop3({"Subject: s", "", std::string(4095, 'z') + ".", "after"})), 1);
  EXPECT_NE(Text(0).find("after"), std::string::npos);
}

TEST_F(SpoolAnalyserTest, Rfc2231NamesAreDecodedAndTheBytesGoToTheFile) {
  const struct {
    const char* name;
    std::string header;
    std::string expected_name;
  } cases[] = {
      {"name*", "Content-Type: application/octet-stream; name*=UTF-8''%E3%81%82.bin", kA + ".bin"},
      {"filename* with language",
       "Content-Type: application/octet-stream\r\nContent-Disposition: attachment; "
       "filename*=utf-8'ja'%E6%97%A5%E6%9C%AC%E8%AA%9E.bin",
       kNihongo + ".bin"},
      {"name*0* and name*1*",
       "Content-Type: application/octet-stream;\r\n name*0*=UTF-8''%E6%97%A5%E6%9C;\r\n name*1*=%AC%E8%AA%9E.bin",
       kNihongo + ".bin"},
      {"encoded word", "Content-Type: application/octet-stream; name=\"=?ISO-2022-JP?B?GyRCJEQbKEI=?=.bin\"",
       kTsu + ".bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int index = box_.Count();
    ASSERT_EQ(Analyse(Pop3({"Content-Type: multipart/mixed; boundary=b", "", "--b", c.header,
                            "Content-Transfer-Encoding: base64", "", "AAEC", "--b--"})),
              1);
    EXPECT_EQ(Mail(index).attachments, AttachPath(c.expected_name));
    EXPECT_NE(Block(index).find(SavedNote(c.expected_name)), std::string::npos);
    EXPECT_EQ(Text(index).find(std::string("\x00\x01\x02", 3)), std::string::npos);
    ASSERT_TRUE(RemoveFile(AttachPath(c.expected_name)));
  }
}

TEST_F(SpoolAnalyserTest, NonTextPartsWithoutUsableNamesAreSavedAsLpostBin) {
  const struct {
    const char* name;
    std::vector<std::string> part_header;
    std::string shown_name;
  } cases[] = {
      {"binary type without name", {"Content-Type: image/jpeg", "Content-Transfer-Encoding: base64"}, ""},
      {"text marked as attachment",
       {"Content-Type: text/plain", "Content-Disposition: attachment", "Content-Transfer-Encoding: base64"},
       ""},
      {"empty name", {"Content-Type: application/pdf; name=\"\"", "Content-Transfer-Encoding: base64"}, ""},
      {"name of dots", {"Content-Type: application/pdf; name=\"..\"", "Content-Transfer-Encoding: base64"}, ".."},
      {"control character",
       {"Content-Type: application/pdf; name=\"a\x01z.pdf\"", "Content-Transfer-Encoding: base64"},
       "a_z.pdf"},
      {"too long",
       {"Content-Type: application/pdf; name=\"" + std::string(250, 'n') + ".pdf\"",
        "Content-Transfer-Encoding: base64"},
       std::string(200, 'n')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int index = box_.Count();
    ASSERT_EQ(Analyse(Pop3(Concat({{"Content-Type: multipart/mixed; boundary=b", "", "--b"}, c.part_header,
                                   {"", "AAEC", "--b--"}}))),
              1);
    EXPECT_NE(Block(index).find(RenamedNote(c.shown_name)), std::string::npos);
    EXPECT_EQ(FileNameOf(Mail(index).attachments).substr(0, 5), "lpost");
    EXPECT_EQ(ReadFileBytes(ToNativePath(Mail(index).attachments)), std::string("\x00\x01\x02", 3));
    EXPECT_EQ(Text(index).find(std::string("\x00\x01\x02", 3)), std::string::npos);
  }
}

TEST_F(SpoolAnalyserTest, AttachmentNamesNeverLeaveTheDirectoryNorReplaceAFile) {
  ASSERT_TRUE(MakeDirectory("Attach"));
  WriteFileBytes(dir_.File("Attach/keep.txt"), "original");
  const struct {
    std::string name;
    std::string saved_as;
  } cases[] = {
      {"../../escape.txt", "escape.txt"},
      {"C:\\\\Users\\\\x\\\\win.txt", "win.txt"},
      {"keep.txt", "keep(1).txt"},
      {"inbox.log", "lpost.bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int index = box_.Count();
    ASSERT_EQ(Analyse(Pop3({"Content-Type: multipart/mixed; boundary=b", "", "--b",
                            "Content-Type: application/octet-stream; name=\"" + c.name + "\"", "", "data", "--b--"})),
              1);
    EXPECT_EQ(Mail(index).attachments, AttachPath(c.saved_as));
    EXPECT_NE(Block(index).find(SavedNote(c.saved_as)), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(dir_.File("Attach/keep.txt")), "original");
  EXPECT_FALSE(PathExists("escape.txt"));
  EXPECT_FALSE(PathExists("../escape.txt"));
}

TEST_F(SpoolAnalyserTest, PartThatNoFileCanTakeIsDroppedNotWrittenIntoTheText) {
  WriteFileBytes(dir_.File("Attach"), "a file where the directory should be");
  ASSERT_EQ(Analyse(Pop3({"Content-Type: multipart/mixed; boundary=b", "", "--b", "Content-Type: text/plain", "",
                          "text part", "--b", "Content-Type: application/octet-stream; name=\"x.bin\"",
                          "Content-Transfer-Encoding: base64", "", "c2VjcmV0LWJ5dGVz", "--b--"})),
            1);
  EXPECT_EQ(Mail(0).attachments, "");
  EXPECT_NE(Block(0).find(RenamedNote("x.bin")), std::string::npos);
  EXPECT_NE(Text(0).find("text part"), std::string::npos);
  EXPECT_EQ(Text(0).find("secret-bytes"), std::string::npos);
  EXPECT_EQ(Text(0).find("c2VjcmV0LWJ5dGVz"), std::string::npos);
}

// Parts past the most one mail may save are not saved, and neither the
// mail's text nor the analysis's result keeps quiet about them.
TEST_F(SpoolAnalyserTest, AttachmentsPastTheLimitAreNamedInTheTextAndTheResult) {
  std::vector<std::string> lines = {"Subject: many parts", "Content-Type: multipart/mixed; boundary=b", ""};
  for (int i = 0; i < kMaxAttachmentsPerMessage + 2; ++i) {
    lines.insert(lines.end(), {"--b", "Content-Type: application/octet-stream; name=\"f" + std::to_string(i) + ".bin\"",
                               "", "x"});
  }
  lines.push_back("--b--");
  WriteFileBytes(dir_.File("inbox.log"), Pop3(lines));
  const SpoolAnalysisResult result = AnalyseSpoolWithProgress(box_, "inbox.log", nullptr);
  ASSERT_EQ(result.count, 1);
  EXPECT_EQ(result.dropped_attachments, 2);
  EXPECT_EQ(std::count(Mail(0).attachments.begin(), Mail(0).attachments.end(), '\n'), kMaxAttachmentsPerMessage - 1);
  const std::string text = Text(0);
  EXPECT_NE(text.find(SavedNote("f999.bin")), std::string::npos);
  for (const char* dropped : {"f1000.bin", "f1001.bin"}) {
    EXPECT_NE(text.find(Utf8ToCp932("★添付ファイル " + std::string(dropped) + " は保存しませんでした")), std::string::npos)
        << dropped;
  }
}

TEST_F(SpoolAnalyserTest, AttachmentDirectoryComesFromTheSettingAndIsCreated) {
  ASSERT_TRUE(profile_.WriteString("System", "AttachDir", "files/in"));
  ASSERT_EQ(Analyse(Pop3({"Content-Type: application/zip; name=\"z.zip\"", "Content-Transfer-Encoding: base64", "",
                          "UEsD"})),
            1);
  const std::string expected = JoinPath(CurrentDirectory(), "files/in/z.zip");
  EXPECT_EQ(Mail(0).attachments, expected);
  EXPECT_EQ(ReadFileBytes(expected), "PK\x03");
  // A single body of a non-text type is a file too, announced in the text.
  EXPECT_NE(Block(0).find(SavedNote("z.zip")), std::string::npos);
}

TEST_F(SpoolAnalyserTest, NestedMultipartsAreFollowedAndAMissingCloseRecovers) {
  ASSERT_EQ(Analyse(Pop3({"Content-Type: multipart/mixed; boundary=\"outer\"", "", "--outer",
                          "Content-Type: multipart/alternative; boundary=\"inner\"", "", "--inner",
                          "Content-Type: text/plain", "", "plain text", "--inner", "Content-Type: text/html", "",
                          "<p>html</p>",
                          // the inner closing delimiter is missing
                          "--outer", "Content-Type: application/octet-stream; name=\"n.bin\"", "", "payload",
                          "--outer--", "epilogue"})),
            1);
  const std::string text = Text(0);
  EXPECT_NE(text.find("plain text\r\n"), std::string::npos);
  EXPECT_NE(text.find("<p>html</p>\r\n"), std::string::npos);
  EXPECT_EQ(text.find("--inner"), std::string::npos);
  EXPECT_EQ(text.find("Content-Type: text/html"), std::string::npos);
  EXPECT_EQ(text.find("payload"), std::string::npos);
  EXPECT_EQ(Mail(0).attachments, AttachPath("n.bin"));
  EXPECT_EQ(ReadFileBytes(AttachPath("n.bin")), "payload");
}

TEST_F(SpoolAnalyserTest, MessagesThatEndOddlyStillGiveWholeBlocks) {
  // A header without a blank line ends at its ".", and a spool cut off in
  // the middle of a body still closes the block.
  ASSERT_EQ(Analyse(Pop3({"Subject: no body"}) + Pop3({"Subject: next", "", "cut off"})), 2);
  EXPECT_EQ(Mail(0).subject, "no body");
  EXPECT_EQ(Mail(1).subject, "next");
  const std::string truncated = "+OK\r\nSubject: last\r\n\r\nline without end";
  ASSERT_EQ(Analyse(truncated), 1);
  EXPECT_EQ(Block(2).substr(Block(2).size() - 21), "line without end\r\n.\r\n");
}

TEST_F(SpoolAnalyserTest, SpoolThatEndsInsideAHeaderGivesNoRecord) {
  EXPECT_EQ(Analyse("+OK\r\nSubject: unfinished\r\n"), 0);
  EXPECT_EQ(box_.Count(), 0);
}

TEST_F(SpoolAnalyserTest, MissingSpoolGivesZeroAndUnwritableTextFileMinusOne) {
  EXPECT_EQ(AnalyseSpool(box_, "missing.log"), 0);
  WriteFileBytes(dir_.File("inbox.log"), Pop3({"Subject: x", "", "y"}));
  ASSERT_TRUE(MakeDirectory("box.mb"));  // a text file that cannot be appended to
  EXPECT_EQ(AnalyseSpool(box_, "inbox.log"), kAnalyseTextFileFailed);
  EXPECT_EQ(box_.Count(), 0);
}

TEST_F(SpoolAnalyserTest, Utf7BodiesAreConverted) {
  ASSERT_EQ(Analyse(Pop3({"Content-Type: text/plain; charset=unicode-1-1-utf-7",
                          "Content-Transfer-Encoding: base64", "", Base64EncodeText("+ZeVnLIqe-\r\n")}) +
                    Pop3({"Content-Type: text/plain; charset=UTF-7", "", "+ZeVnLIqe-"})),
            2);
  EXPECT_NE(Block(0).find("\r\n\r\n" + kNihongo + "\r\n.\r\n"), std::string::npos);
  EXPECT_NE(Block(1).find("\r\n\r\n" + kNihongo + "\r\n.\r\n"), std::string::npos);
}

// Runs `check` in a child process whose files cannot grow beyond `limit`
// bytes (writes past it fail with EFBIG, as on a full disk); true when the
// check held there.
template <typename Check>
bool HoldsWithFileSizeLimit(rlim_t limit, Check check) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    struct rlimit bound {};
    bound.rlim_cur = bound.rlim_max = limit;
    ::setrlimit(RLIMIT_FSIZE, &bound);
    std::signal(SIGXFSZ, SIG_IGN);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Contains(const std::vector<std::string>& texts, const std::string& part) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

// A receive keeps its spool when the analysis fails, so a failed write must
// leave nothing behind that a second analysis would add again.
TEST_F(SpoolAnalyserTest, FailedTextWriteAddsNothingAndNamesTheFile) {
  ASSERT_EQ(Analyse(Pop3({"Subject: before", "", "kept"})), 1);
  const std::string old_block = Block(0);
  const std::string old_file = ReadFileBytes(dir_.File("box.mb"));
  WriteFileBytes(dir_.File("inbox.log"), Pop3({"Subject: small", "", "x"}) +
                                             Pop3({"Subject: big", "", std::string(3000, 'b')}) +
                                             Pop3(std::vector<std::string>(2000, std::string(1000, 'c'))));
  EXPECT_TRUE(HoldsWithFileSizeLimit(300 * 1024, [&] {
    return AnalyseSpool(box_, "inbox.log") == kAnalyseWriteFailed && box_.Count() == 1 &&
           ReadFileBytes(dir_.File("box.mb")) == old_file && Contains(ui_.messages, "box.mb ") &&
           Contains(ui_.messages, "File too large");
  }));
  EXPECT_EQ(Block(0), old_block);
}

// A box whose text file is about to pass the 4 GB its offsets reach takes
// no mail of the spool at all: keeping the first ones would let the caller
// delete the spool with the rest.
TEST_F(SpoolAnalyserTest, TextFilePastItsOffsetLimitFailsTheWholeAnalysis) {
  ASSERT_EQ(Analyse(Pop3({"Subject: before", "", "kept"})), 1);
  // A sparse file: the size without the disk space.
  const std::uint64_t nearly_full = std::numeric_limits<std::uint32_t>::max() - 4000;
  ASSERT_EQ(::truncate(dir_.File("box.mb").c_str(), static_cast<off_t>(nearly_full)), 0);
  WriteFileBytes(dir_.File("inbox.log"),
                 Pop3({"Subject: fits", "", "x"}) + Pop3({"Subject: too far", "", std::string(8000, 'b')}));
  EXPECT_EQ(AnalyseSpool(box_, "inbox.log"), kAnalyseWriteFailed);
  EXPECT_EQ(box_.Count(), 1);
  EXPECT_EQ(FileSize(dir_.File("box.mb")), nearly_full);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0], spool_messages::WriteFailedMessage(box_.TextFilePath(), spool_messages::kTextFileFull));
}

TEST_F(SpoolAnalyserTest, FailedAttachmentWriteFailsTheAnalysisAndRemovesItsFiles) {
  ASSERT_EQ(Analyse(Pop3({"Subject: before", "", "kept"})), 1);
  const std::string old_file = ReadFileBytes(dir_.File("box.mb"));
  box_.SetModified(false);  // as after a save
  std::string big(600 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  // A small attachment that is written whole, then one that fills the disk.
  WriteFileBytes(dir_.File("inbox.log"),
                 Pop3(MixedMail("small.pdf", "%PDF-1.4 small")) + Pop3(MixedMail("big.pdf", big)));
  const bool held = HoldsWithFileSizeLimit(300 * 1024, [&] {
    const int result = AnalyseSpool(box_, "inbox.log");
    return result == kAnalyseWriteFailed && box_.Count() == 1 && !box_.IsModified() &&
           ReadFileBytes(dir_.File("box.mb")) == old_file && !PathExists(AttachPath("big.pdf")) &&
           !PathExists(AttachPath("small.pdf")) && ui_.messages.size() == 1 &&
           ui_.messages[0] == spool_messages::WriteFailedMessage(AttachPath("big.pdf"), "File too large");
  });
  EXPECT_TRUE(held);
  // The spool was only read.
  EXPECT_NE(ReadFileBytes(dir_.File("inbox.log")).find("big.pdf"), std::string::npos);
}

// Hostile spools: the analysis ends, memory stays bounded, and what the box
// held before is left exactly as it was.
class HostileSpoolTest : public SpoolAnalyserTest {
 protected:
  void SetUp() override {
    SpoolAnalyserTest::SetUp();
    ASSERT_EQ(Analyse(Pop3({"Subject: stored before", "", "precious"})), 1);
    before_ = Block(0);
    before_record_ = Mail(0);
  }
  void ExpectEarlierMailIntact() {
    EXPECT_EQ(Block(0), before_);
    EXPECT_EQ(Mail(0).text_start, before_record_.text_start);
    EXPECT_EQ(Mail(0).text_end, before_record_.text_end);
    EXPECT_EQ(Mail(0).subject, "stored before");
    for (int i = 1; i < box_.Count(); ++i) {
      EXPECT_GE(Mail(i).text_start, before_record_.text_end);
      EXPECT_GT(Mail(i).text_end, Mail(i).text_start);
    }
  }
  std::string before_;
  CMail before_record_;
};

TEST_F(HostileSpoolTest, BinaryJunkWithNulBytes) {
  std::string junk;
  std::uint32_t state = 12345;
  for (int i = 0; i < 300000; ++i) {
    state = state * 1103515245u + 12345u;
    junk += static_cast<char>(state >> 24);
  }
  (void)Analyse(junk);
  ExpectEarlierMailIntact();
}

TEST_F(HostileSpoolTest, LineOfMegabytesAndHeaderThatNeverEnds) {
  (void)Analyse("+OK\r\nSubject: big\r\n\r\n" + std::string(8 * 1024 * 1024, 'A') + "\r\n.\r\n");
  ExpectEarlierMailIntact();
  std::string endless = "+OK\r\n";
  for (int i = 0; i < 100000; ++i) endless += "X-Header-" + std::to_string(i) + ": value\r\n\tcontinued\r\n";
  (void)Analyse(endless);
  ExpectEarlierMailIntact();
}

TEST_F(HostileSpoolTest, ThousandNestedMultipartsAndNoClosingBoundary) {
  std::vector<std::string> lines = {"Content-Type: multipart/mixed; boundary=\"b0\"", ""};
  for (int i = 0; i < 1000; ++i) {
    lines.push_back("--b" + std::to_string(i));
    lines.push_back("Content-Type: multipart/mixed; boundary=\"b" + std::to_string(i + 1) + "\"");
    lines.push_back("");
  }
  lines.push_back("--b1000");
  lines.push_back("Content-Type: application/octet-stream; name=\"deep.bin\"");
  lines.push_back("");
  lines.push_back("deep");
  ASSERT_EQ(Analyse(Pop3(lines) + Pop3({"Subject: after", "", "fine"})), 2);
  ExpectEarlierMailIntact();
  EXPECT_EQ(Mail(2).subject, "after");
  EXPECT_EQ(Mail(2).attachments, "");
}

TEST_F(HostileSpoolTest, BoundaryLinesAndPartHeadersWithoutEnd) {
  std::vector<std::string> lines = {"Content-Type: multipart/mixed; boundary=x", ""};
  for (int i = 0; i < 20000; ++i) lines.push_back(i % 2 == 0 ? "--x" : "Content-Type: text/plain; name=\"\"");
  (void)Analyse(Pop3(lines));
  ExpectEarlierMailIntact();
}

}  // namespace
}  // namespace lp
