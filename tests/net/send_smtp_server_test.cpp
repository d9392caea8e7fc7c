// End to end against a real SMTP server (Postfix with Dovecot's SASL on
// 127.0.0.1): mails queued with `lanternpost-cli compose` and sent with
// `lanternpost-cli send` go through the send pipeline and the Qt transport,
// with and without SMTP AUTH, in plain text, with STARTTLS and with TLS from
// the first byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <regex>
#include <memory>

#include "config/account_table.h"
#include "config/app_settings.h"
#include "net/sent_journal.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "store/mailbox_document.h"
#include "config/profile.h"
#include "net/smtp_session.h"
#include "platform/code_page.h"
#include "tests/support/case_name.h"
#include "tests/support/cli_runner.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::CliResult;
using testing::ReadFileBytes;
using testing::RunCli;
using testing::ShellQuote;
using testing::StartCli;
using testing::SmtpServer;
using testing::TempDirectory;
using testing::WriteFileBytes;

// The subject 件名テスト as one ISO-2022-JP encoded word, and the body 本文です
// in ISO-2022-JP.
constexpr const char* kSubjectUtf8 = "件名テスト";
constexpr const char* kEncodedSubject = "Subject: =?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?=";
constexpr const char* kBodyUtf8 = "本文です";
constexpr const char* kJisBody = "\x1B$BK\\J8$G$9\x1B(B";

enum class Port { Smtp, Smtps };

struct SendCase {
  const char* name;
  AccountTls tls;
  Port port;
  bool auth;
  SmtpAuthMode mode;
  const char* password;
  bool delivered;
};

// A running server whose certificate the command-line program trusts, a
// data directory and the account that sends through the server.
class SmtpServerCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server_.skip_reason().empty()) GTEST_SKIP() << server_.skip_reason();
    ASSERT_TRUE(server_.running()) << server_.Log();
    server_.AddUser("taro", "secret");
    // The server's self-signed certificate, trusted by the child processes.
    ASSERT_EQ(setenv("LANTERNPOST_EXTRA_CA", server_.certificate_path().c_str(), 1), 0);
  }

  // An account "taro" sending as taro@example.jp through the server's plain
  // port without AUTH; `adjust` changes what the test needs.
  void SaveAccount(const std::function<void(CSetMenu&)>& adjust) {
    CSetMenuArray accounts;
    CSetMenu& taro = accounts.At(0);
    taro.name = "taro";
    taro.adr = "taro@example.jp";
    taro.smtp = server_.host();
    taro.smtp_port = static_cast<std::uint16_t>(server_.smtp_port());
    taro.user_id = "taro";
    adjust(taro);
    Profile profile(data_.File("lpost.conf"));
    ASSERT_TRUE(accounts.Save(profile));
  }

  CliResult Cli(const std::vector<std::string>& args) { return RunCli(scratch_, data_.path(), args); }

  SmtpServer server_;
  TempDirectory data_;
  TempDirectory scratch_;
};

class SendSmtpServerTest : public SmtpServerCliTest, public ::testing::WithParamInterface<SendCase> {
 protected:
  void SaveAccount(const SendCase& c) {
    SmtpServerCliTest::SaveAccount([&](CSetMenu& taro) {
      taro.smtp_port = static_cast<std::uint16_t>(c.port == Port::Smtp ? server_.smtp_port() : server_.smtps_port());
      taro.smtp_tls = c.tls;
      taro.smtp_auth = c.auth;
      taro.smtp_auth_mode = static_cast<int>(c.mode);
      taro.pass = c.password;
    });
  }
};

TEST_P(SendSmtpServerTest, SendsThroughTheServer) {
  const SendCase& c = GetParam();
  SaveAccount(c);
  const CliResult composed =
      Cli({"compose", "--to", "hanako@example.com", "--subject", kSubjectUtf8, "--body", kBodyUtf8});
  ASSERT_EQ(composed.status, 0) << composed.err;

  const CliResult sent = Cli({"send"});
  const std::vector<std::string> delivered = server_.DeliveredMessages();
  if (!c.delivered) {
    EXPECT_NE(sent.status, 0);
    // The server's refusal is shown, and nothing goes out.
    EXPECT_NE(sent.err.find("535 "), std::string::npos) << sent.err;
    EXPECT_TRUE(delivered.empty()) << server_.Log();
    // The mail stays unsent: once the server takes this password, the next
    // run delivers it.
    server_.AddUser("taro", c.password);
    const CliResult retried = Cli({"send"});
    EXPECT_EQ(retried.status, 0) << retried.err << server_.Log();
    EXPECT_EQ(server_.DeliveredMessages().size(), 1u) << server_.Log();
    return;
  }
  ASSERT_EQ(sent.status, 0) << sent.out << sent.err << server_.Log();
  ASSERT_EQ(delivered.size(), 1u) << server_.Log();
  const std::string& message = delivered[0];
  EXPECT_NE(message.find(kEncodedSubject), std::string::npos) << message;
  EXPECT_NE(message.find(kJisBody), std::string::npos) << message;
  EXPECT_NE(message.find("To: hanako@example.com"), std::string::npos) << message;
  // The server adds neither: Date in Japan time with its zone, and an id of
  // the sender's domain.
  EXPECT_TRUE(std::regex_search(message, std::regex("\nDate: [A-Z][a-z]{2}, \\d{2} [A-Z][a-z]{2} \\d{4} "
                                                    "\\d{2}:\\d{2}:\\d{2} \\+0900\n")))
      << message;
  EXPECT_TRUE(std::regex_search(message, std::regex("\nMessage-ID: <[0-9a-f]{32}@example\\.jp>\n"))) << message;
  // Postfix notes the authenticated sender and TLS in its Received line.
  EXPECT_EQ(message.find("Authenticated sender: taro") != std::string::npos, c.auth) << message;
  EXPECT_EQ(message.find("(using TLS") != std::string::npos, c.tls != AccountTls::None) << message;

  // Sent mail does not go a second time.
  const CliResult again = Cli({"send"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(server_.DeliveredMessages().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendSmtpServerTest,
    ::testing::Values(
        SendCase{"PlainWithoutAuth", AccountTls::None, Port::Smtp, false, SmtpAuthMode::Automatic, "", true},
        SendCase{"CramMd5", AccountTls::None, Port::Smtp, true, SmtpAuthMode::CramMd5, "secret", true},
        SendCase{"Login", AccountTls::None, Port::Smtp, true, SmtpAuthMode::Login, "secret", true},
        SendCase{"Automatic", AccountTls::None, Port::Smtp, true, SmtpAuthMode::Automatic, "secret", true},
        SendCase{"CramMd5WrongPassword", AccountTls::None, Port::Smtp, true, SmtpAuthMode::CramMd5, "wrong", false},
        SendCase{"LoginWrongPassword", AccountTls::None, Port::Smtp, true, SmtpAuthMode::Login, "wrong", false},
        SendCase{"StartTlsWithLogin", AccountTls::StartTls, Port::Smtp, true, SmtpAuthMode::Login, "secret", true},
        SendCase{"ImplicitTlsWithCramMd5", AccountTls::Implicit, Port::Smtps, true, SmtpAuthMode::CramMd5, "secret",
                 true},
        SendCase{"ImplicitTlsWithoutAuth", AccountTls::Implicit, Port::Smtps, false, SmtpAuthMode::Automatic, "",
                 true}),
    testing::CaseName<SendCase>);


// What arrives, read back by an independent MIME parser (Python's email
// package), says what the user composed: subject, display names, body and
// attachment. The delivered bytes are also compared with the message the
// build wrote, so the server and the parser see exactly what was built.

// One mail as `compose` takes it, and what a reader must see.
struct ComposedMail {
  const char* name;
  std::vector<std::string> compose;  // the arguments after "compose"
  std::string attachment;            // bytes of the attached file "資料.bin", if any
  std::string signature;             // signe1.txt in UTF-8, if any
  // The parser's summary lines, field and value (UTF-8, escaped as the
  // script writes them); "attachment-file" stands for the attachment bytes.
  std::vector<std::pair<std::string, std::string>> summary;
  std::vector<std::string> envelope;  // every recipient the server delivered to
};

// Bytes 0 to 255 over and over, with a last Base64 line shorter than the rest.
std::string BinaryAttachment() {
  std::string bytes;
  for (int i = 0; i < 10001; ++i) bytes += static_cast<char>(i * 7 % 256);
  return bytes;
}

const ComposedMail kComposedMails[] = {
    {"JapaneseNamesAndAttachment",
     {"--to", "花子 <hanako@example.com>", "--subject", "会議の資料について【重要】", "--body",
      "お世話になっております。\n.\n..二つの点で始まる行\nASCII line\n最後の行", "--attach", "資料.bin"},
     BinaryAttachment(),
     "",
     {{"subject", "会議の資料について【重要】"},
      {"from-name", "山田 太郎"},
      {"from-address", "taro@example.jp"},
      {"to-name", "花子"},
      {"to-address", "hanako@example.com"},
      {"body-charset", "iso-2022-jp"},
      {"body", "お世話になっております。\\n.\\n..二つの点で始まる行\\nASCII line\\n最後の行"},
      {"attachment-name", "資料.bin"},
      {"attachment-file", BinaryAttachment()}},
     {"hanako@example.com"}},
    {"SignatureCcAndBcc",
     {"--to", "hanako@example.com", "--cc", "次郎 <jiro@example.net>, Plain Name <plain@example.org>", "--bcc",
      "hidden@example.net", "--subject", "Minutes of 10 December", "--body", "一行目\n\n三行目\n", "--signature", "1"},
     "",
     "--\n山田 太郎\n",
     {{"subject", "Minutes of 10 December"},
      {"from-name", "山田 太郎"},
      {"from-address", "taro@example.jp"},
      {"to-name", ""},
      {"to-address", "hanako@example.com"},
      {"cc-name", "次郎"},
      {"cc-address", "jiro@example.net"},
      {"cc-name", "Plain Name"},
      {"cc-address", "plain@example.org"},
      {"body-charset", "iso-2022-jp"},
      // The body starts right after the header's empty line; the signature
      // comes after a line break of its own; the message ends with an empty line.
      {"body", "一行目\\n\\n三行目\\n\\n--\\n山田 太郎\\n\\n"}},
     {"hanako@example.com", "hidden@example.net", "jiro@example.net", "plain@example.org"}},
};

// The message as the build wrote it for DATA, as a maildir keeps it: the
// dot-stuffing and the final "." line undone, LF line ends.
std::string StoredForm(const std::string& wire) {
  std::string out;
  std::size_t at = 0;
  while (at < wire.size()) {
    std::size_t end = wire.find("\r\n", at);
    if (end == std::string::npos) end = wire.size();
    std::string_view line(wire.data() + at, end - at);
    at = end + 2;
    if (line == "." && at >= wire.size()) break;
    if (line.starts_with('.')) line.remove_prefix(1);
    out.append(line);
    out += '\n';
  }
  return out;
}

// Splits a delivered mail into the lines the server put on top (Return-Path,
// X-Original-To, Delivered-To, Received with its continuations) and the rest.
std::pair<std::string, std::string> SplitServerLines(const std::string& delivered) {
  std::size_t at = 0;
  while (at < delivered.size()) {
    const std::string_view rest(delivered.data() + at, delivered.size() - at);
    const bool server_line = rest.starts_with("Return-Path:") || rest.starts_with("X-Original-To:") ||
                             rest.starts_with("Delivered-To:") ||
                             rest.starts_with("Received:") || rest.starts_with(' ') || rest.starts_with('\t');
    if (!server_line) break;
    const std::size_t end = delivered.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return {delivered.substr(0, at), delivered.substr(at)};
}

std::string DeliveredTo(const std::string& server_lines) {
  const std::size_t at = server_lines.find("Delivered-To: ");
  if (at == std::string::npos) return "";
  const std::size_t start = at + std::string_view("Delivered-To: ").size();
  return server_lines.substr(start, server_lines.find('\n', start) - start);
}

class DeliveredMimeTest : public SmtpServerCliTest, public ::testing::WithParamInterface<ComposedMail> {
 protected:
  // The script's summary of `mail`, with each attachment's bytes in place
  // of the file it was written to.
  std::vector<std::pair<std::string, std::string>> Summary(const std::string& mail) {
    const std::string mail_path = scratch_.File("delivered.eml");
    WriteFileBytes(mail_path, mail);
    const std::string script = std::string(LP_TEST_DATA_DIR) + "/../support/mime_summary.py";
    const std::string command = "/usr/bin/python3 " + ShellQuote(script) + " " + ShellQuote(mail_path) + " " +
                                ShellQuote(scratch_.File("attachment")) + " >" +
                                ShellQuote(scratch_.File("summary.txt")) + " 2>" +
                                ShellQuote(scratch_.File("python.err"));
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << ReadFileBytes(scratch_.File("python.err"));
    std::vector<std::pair<std::string, std::string>> lines;
    const std::string text = ReadFileBytes(scratch_.File("summary.txt"));
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find('\n', at);
      const std::string line = text.substr(at, end - at);
      at = end == std::string::npos ? text.size() : end + 1;
      const std::size_t tab = line.find('\t');
      std::string value = line.substr(tab + 1);
      if (line.substr(0, tab) == "attachment-file") value = ReadFileBytes(value);
      lines.emplace_back(line.substr(0, tab), value);
    }
    return lines;
  }
};

TEST_P(DeliveredMimeTest, ParserSeesWhatWasComposed) {
  const ComposedMail& mail = GetParam();
  SaveAccount([](CSetMenu& taro) {
    taro.sender_name = Utf8ToCp932("山田 太郎");
    taro.smtp_auth = true;
    taro.smtp_auth_mode = static_cast<int>(SmtpAuthMode::CramMd5);
    taro.pass = "secret";
  });
  if (!mail.attachment.empty()) WriteFileBytes(scratch_.File("資料.bin"), mail.attachment);
  if (!mail.signature.empty()) WriteFileBytes(data_.File("signe1.txt"), Utf8ToCp932(mail.signature));
  std::vector<std::string> compose = {"compose"};
  for (const std::string& arg : mail.compose) compose.push_back(arg == "資料.bin" ? scratch_.File(arg) : arg);
  const CliResult composed = Cli(compose);
  ASSERT_EQ(composed.status, 0) << composed.err;
  const CliResult sent = Cli({"send"});
  ASSERT_EQ(sent.status, 0) << sent.out << sent.err << server_.Log();

  // One delivery per envelope recipient; Bcc only in the envelope.
  const std::vector<std::string> delivered = server_.DeliveredMessages();
  std::vector<std::string> recipients;
  const std::string built = StoredForm(ReadFileBytes(data_.File("smail.$$$")));
  for (const std::string& copy : delivered) {
    const auto [server_lines, message] = SplitServerLines(copy);
    recipients.push_back(DeliveredTo(server_lines));
    EXPECT_EQ(message, built) << "server lines:\n" << server_lines;
  }
  std::sort(recipients.begin(), recipients.end());
  EXPECT_EQ(recipients, mail.envelope);
  EXPECT_EQ(built.find("hidden"), std::string::npos) << built;
  ASSERT_FALSE(delivered.empty());

  EXPECT_EQ(Summary(SplitServerLines(delivered[0]).second), mail.summary);
}

// A message of several megabytes goes out through TLS as the network takes
// it and arrives whole.
TEST_F(SmtpServerCliTest, LargeAttachmentArrivesWholeThroughTls) {
  SaveAccount([this](CSetMenu& taro) {
    taro.smtp_port = static_cast<std::uint16_t>(server_.smtps_port());
    taro.smtp_tls = AccountTls::Implicit;
  });
  std::string attachment;
  std::uint32_t seed = 1;
  while (attachment.size() < 4'000'000) {
    seed = seed * 1103515245u + 12345u;
    attachment += static_cast<char>(seed >> 16);
  }
  WriteFileBytes(scratch_.File("large.bin"), attachment);
  const CliResult composed = Cli({"compose", "--to", "hanako@example.com", "--subject", "large", "--body", "see the file",
                                  "--attach", scratch_.File("large.bin")});
  ASSERT_EQ(composed.status, 0) << composed.err;
  const CliResult sent = Cli({"send"});
  ASSERT_EQ(sent.status, 0) << sent.out << sent.err << server_.Log();
  const std::vector<std::string> delivered = server_.DeliveredMessages();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_TRUE(SplitServerLines(delivered[0]).second == StoredForm(ReadFileBytes(data_.File("smail.$$$"))));
}

// Killing the program in the middle of a long run loses no mail and sends
// none twice: each run applies the sent journal the one before left behind.
// A kill at an arbitrary instant can always fall between the server's yes
// to a message and the journal line for it, which no client can close; the
// kills here come at instants where no message is on its way unjournaled
// (the run stopped, then its log and journal compared), so every mail must
// arrive exactly once.
class KilledSendRuns {
 public:
  KilledSendRuns(const std::string& data_dir, const TempDirectory& scratch)
      : data_dir_(data_dir), scratch_(scratch), inotify_(::inotify_init1(IN_CLOEXEC)) {
    if (inotify_ >= 0) ::inotify_add_watch(inotify_, data_dir.c_str(), IN_MODIFY | IN_CREATE);
  }
  ~KilledSendRuns() {
    if (inotify_ >= 0) ::close(inotify_);
  }

  // Runs "send"; kills it once `deliveries` mails are journaled, if it gets
  // that far. True when it was killed; `status` holds the exit status of
  // a run that ended by itself.
  bool RunAndKillAfter(std::size_t deliveries, int& status) {
    // The log appears when this run's session starts, which is after the
    // run has applied and removed the journal of the run before.
    std::filesystem::remove(Log());
    const pid_t child = StartCli(scratch_, data_dir_, {"send"});
    EXPECT_GT(child, 0);
    for (;;) {
      pollfd ready{inotify_, POLLIN, 0};
      if (::poll(&ready, 1, 100) > 0) {
        char events[4096];
        static_cast<void>(::read(inotify_, events, sizeof events));
      }
      int raw = 0;
      if (::waitpid(child, &raw, WNOHANG) == child) {
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return false;
      }
      if (!std::filesystem::exists(Log()) || JournalLines() < deliveries) continue;
      ::kill(child, SIGSTOP);
      // Every message whose end has gone out has its journal line.
      if (MessageEndsInLog() == JournalLines()) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &raw, 0);
        return true;
      }
      ::kill(child, SIGCONT);
    }
  }

 private:
  std::string Log() const { return data_dir_ + "/smail.log"; }
  std::size_t JournalLines() const {
    const std::string journal = data_dir_ + "/" + ToNativePath(SentJournalPath(kDefaultSendBoxFile));
    const std::string text = std::filesystem::exists(journal) ? ReadFileBytes(journal) : std::string();
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }
  std::size_t MessageEndsInLog() const {
    const std::string log = ReadFileBytes(Log());
    std::size_t count = 0;
    for (std::size_t at = log.find("\r\n.\r\n"); at != std::string::npos; at = log.find("\r\n.\r\n", at + 1)) ++count;
    return count;
  }

  std::string data_dir_;
  const TempDirectory& scratch_;
  int inotify_;
};

TEST_F(SmtpServerCliTest, KilledRunsDeliverEveryMailExactlyOnce) {
  SaveAccount([](CSetMenu&) {});
  constexpr int kMails = 200;
  {
    Profile profile(FromNativePath(data_.File("lpost.conf")));
    RecordingUserInterface ui;
    NullCommandObserver commands;
    CLPOSTDoc box(profile, ui, commands);
    const std::string path = FromNativePath(data_.File(ToNativePath(kDefaultSendBoxFile)));
    WriteFileBytes(ToNativePath(path), "");
    ASSERT_TRUE(box.Open(path).ok);
    for (int i = 0; i < kMails; ++i) {
      auto record = std::make_unique<CMail>();
      record->to = "hanako@example.com";
      record->from = "taro@example.jp";
      record->subject = "mail " + std::to_string(i);
      record->status = kStatusUnsent;
      record->date = 1000 + i;
      box.Add(std::move(record));
      ASSERT_TRUE(box.StoreTextOfLast("body of mail " + std::to_string(i) + "\r\n"));
    }
    ASSERT_TRUE(box.Save().ok);
  }
  KilledSendRuns runs(data_.path(), scratch_);
  int kills = 0;
  int status = -1;
  for (const std::size_t deliveries : {20u, 35u, 50u, 40u}) {
    if (runs.RunAndKillAfter(deliveries, status)) ++kills;
  }
  // The last run goes to the end.
  if (status != 0) {
    ASSERT_FALSE(runs.RunAndKillAfter(kMails + 1, status));
  }
  EXPECT_EQ(status, 0) << ReadFileBytes(scratch_.File("err"));
  EXPECT_EQ(kills, 4);

  std::map<std::string, int> arrivals;
  for (const std::string& mail : server_.DeliveredMessages()) {
    const std::size_t at = mail.find("\nSubject: ");
    ASSERT_NE(at, std::string::npos);
    ++arrivals[mail.substr(at + 10, mail.find('\n', at + 1) - at - 10)];
  }
  EXPECT_EQ(arrivals.size(), static_cast<std::size_t>(kMails));
  for (const auto& [subject, count] : arrivals) EXPECT_EQ(count, 1) << subject;
}

INSTANTIATE_TEST_SUITE_P(Mails, DeliveredMimeTest, ::testing::ValuesIn(kComposedMails),
                         testing::CaseName<ComposedMail>);

}  // namespace
}  // namespace lp
