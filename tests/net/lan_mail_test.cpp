#include "net/lan_mail.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "codec/spool_analyser.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::string kSubject = "\x8C\x8F\x96\xBC\x83\x65\x83\x58\x83\x67";  // 件名テスト
const std::string kHello = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";    // こんにちは
const std::string kHalfAiu = "\xB1\xB2\xB3";                                // ｱｲｳ (half-width)
const std::string kTaro = "\x91\xBE\x98\x59";                               // 太郎
const std::string kBoundary = "======Boundary=987654321098765";
constexpr std::time_t kNow = 1796000000;

class LanMailTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MakeDirectories("lan/bob")); }

  ComposeContext Context() {
    ComposeContext context{ui_, ComposeSettings{false, kTaro, "/srv/lan/taro"}};
    context.clock = [] { return kNow; };
    context.new_boundary = [] { return kBoundary; };
    return context;
  }
  std::string Spool() const { return ReadFileBytes(dir_.File("lan/bob/inbox.log")); }
  // The copy's Date carries the zone, and the mail's own Message-ID.
  static std::string HeaderStart() {
    return "X-MAILER: Orvex Lanternpost\r\nMIME-Version: 1.0\r\nDate: Mon, 30 Nov 2026 09:53:20 +0900\r\n"
           "Message-ID: <lan@example.jp>\r\n";
  }

  testing::ScopedTimeZone zone_{"JST-9"};
  testing::TempDirectory dir_{true};
  RecordingUserInterface ui_;
  OutgoingMessage message_ = [] {
    OutgoingMessage message;
    message.message_id = "<lan@example.jp>";
    return message;
  }();
};

TEST_F(LanMailTest, CopyIsPlainShiftJisWithItsOwnHeader) {
  message_.references = "<a@example.jp> <b@example.jp>";
  message_.from = "taro@example.jp";
  message_.to = {"Bob <lan/bob>", "you@example.jp"};
  message_.cc = {"cc@example.jp", "lan/carol"};
  message_.bcc = {"hidden@example.jp"};
  message_.subject = kSubject + kHalfAiu;
  message_.body = kHello + kHalfAiu + "\r\n.x\r\nend";
  ASSERT_TRUE(WriteLanMail(message_, "lan/bob", Context()));
  EXPECT_EQ(Spool(), "In-Reply-To: <b@example.jp>\r\nReferences: <a@example.jp> <b@example.jp>\r\n" + HeaderStart() +
                         "To: Bob <lan/bob>,you@example.jp\r\nCc: cc@example.jp,lan/carol\r\n"
                         "From: " + kTaro + " </srv/lan/taro>\r\n"
                         "Subject: " + kSubject + kHalfAiu + "\r\n"
                         "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n\r\n" +
                         kHello + kHalfAiu + "\r\n.x\r\nend\r\n.\r\n");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LanMailTest, WithoutUserNameTheSenderIsTheDirectoryAndCopiesAppend) {
  ComposeContext context = Context();
  context.settings.user_name.clear();
  message_.subject = "one";
  ASSERT_TRUE(WriteLanMail(message_, "lan/bob/", context));
  message_.subject = "two";
  ASSERT_TRUE(WriteLanMail(message_, "lan/bob", context));
  const std::string one = HeaderStart() + "From: /srv/lan/taro\r\nSubject: one\r\n"
                                          "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n\r\n\r\n.\r\n";
  std::string two = one;
  two.replace(two.find("one"), 3, "two");
  EXPECT_EQ(Spool(), one + two);
}

TEST_F(LanMailTest, AttachmentPartKeepsTheEncodedFileName) {
  WriteFileBytes(dir_.File("a.bin"), "abc");
  message_.subject = "s";
  message_.body = "b\r\n";
  message_.attachment = "a.bin";
  ASSERT_TRUE(WriteLanMail(message_, "lan/bob", Context()));
  EXPECT_EQ(Spool(), HeaderStart() + "From: " + kTaro + " </srv/lan/taro>\r\nSubject: s\r\n" +
                         "Content-Type: multipart/mixed; boundary=\"" + kBoundary + "\"\r\n\r\n" +
                         "\r\n--" + kBoundary + "\r\nContent-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n"
                         "b\r\n"
                         "\r\n--" + kBoundary + "\r\nContent-Type: application/octet-stream; name=\"a.bin\"\r\n"
                         "Content-Transfer-Encoding: base64\r\n"
                         "Content-Disposition: attachment; filename=\"a.bin\"\r\n\r\n"
                         "YWJj\r\n\r\n--" + kBoundary + "--\r\n\r\n.\r\n");
}

TEST_F(LanMailTest, UnopenableSpoolIsReportedAndSkipped) {
  EXPECT_FALSE(WriteLanMail(message_, "lan/nobody", Context()));
  // "エラー：LANメール送信先が開けません\n\n" and the directory.
  EXPECT_EQ(ui_.messages,
            std::vector<std::string>{"\x83\x47\x83\x89\x81\x5B\x81\x46LAN\x83\x81\x81\x5B\x83\x8B\x91\x97\x90\x4D\x90\xE6"
                                     "\x82\xAA\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1\n\nlan/nobody"});
  EXPECT_FALSE(PathExists("lan/nobody/inbox.log"));

  // A build with an unreachable directory gives the mail to nobody, so
  // that it can go again whole once the directory is there.
  message_.to = {"lan/bob", "you@example.jp"};
  message_.cc = {"lan/nobody"};
  EXPECT_FALSE(BuildOutgoingMessage(message_, Context()));
  EXPECT_FALSE(PathExists("lan/bob/inbox.log"));
  EXPECT_FALSE(PathExists("smail.$$$"));
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_TRUE(ui_.messages[1].ends_with("\n\nlan/nobody"));
}

TEST_F(LanMailTest, CopyThatFailsPartWayIsCutOffAgain) {
  const std::string before = "X-MAILER: x\r\nSubject: earlier\r\n\r\nbody\r\n.\r\n";
  WriteFileBytes(dir_.File("lan/bob/inbox.log"), before);
  message_.body = std::string(100000, 'b');
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Writes beyond 4 KB fail (EFBIG) instead of growing the spool.
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    const bool written = WriteLanMail(message_, "lan/bob", Context());
    const bool reported = ui_.messages.size() == 1 && ui_.messages[0].ends_with("\n\nlan/bob");
    ::_exit(!written && reported && Spool() == before ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The receiving side reads LAN copies with the spool analysis: a body line
// "." must not end the copy there, and lines starting with "." must come
// back as they were written.
TEST_F(LanMailTest, DotLinesSurviveTheRoundTripThroughTheSpoolAnalysis) {
  message_.to = {"lan/bob"};
  message_.subject = "first";
  message_.body = "before\r\n.\r\n.x\r\n..y\r\nafter\r\n";
  ASSERT_TRUE(WriteLanMail(message_, "lan/bob", Context()));
  message_.subject = "second";
  message_.body = "only\n.\nbare line feeds";
  ASSERT_TRUE(WriteLanMail(message_, "lan/bob", Context()));
  EXPECT_NE(Spool().find("\r\nbefore\r\n. \r\n.x\r\n..y\r\nafter\r\n\r\n.\r\n"), std::string::npos);

  Profile profile(FromNativePath(dir_.File("lpost.conf")));
  NullCommandObserver commands;
  CLPOSTDoc box(profile, ui_, commands);
  ASSERT_TRUE(CreateEmptyFileIfMissing("box.lp"));
  ASSERT_TRUE(box.Open("box.lp").ok);
  ASSERT_EQ(AnalyseSpool(box, "lan/bob/inbox.log"), 2);
  EXPECT_EQ(box.RecordAt(0)->subject, "first");
  EXPECT_EQ(box.RecordAt(1)->subject, "second");
  const std::string first = box.ReadText(box.RecordAt(0)->text_start, box.RecordAt(0)->text_end).text;
  const std::string second = box.ReadText(box.RecordAt(1)->text_start, box.RecordAt(1)->text_end).text;
  EXPECT_NE(first.find("\r\n\r\nbefore\r\n. \r\n.x\r\n..y\r\nafter\r\n"), std::string::npos) << first;
  EXPECT_NE(second.find("\r\n\r\nonly\r\n. \r\nbare line feeds"), std::string::npos) << second;
}

}  // namespace
}  // namespace lp
