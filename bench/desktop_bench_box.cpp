#include "bench/desktop_bench_box.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/application_core.h"
#include "codec/japanese_text.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "store/mail_record.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"

namespace lp::bench {
namespace {

// Bump when the generated box changes, so an old template is not reused.
constexpr char kTemplateVersion[] = "v2";
constexpr char kCompleteMarker[] = "complete";

constexpr std::array<const char*, 8> kFamilyNames = {"山田", "鈴木", "佐藤", "高橋", "田中", "伊藤", "渡辺", "小林"};
constexpr std::array<const char*, 6> kGivenNames = {"太郎", "花子", "一郎", "美咲", "健", "さくら"};
constexpr std::array<const char*, 8> kSubjects = {
    "【お知らせ】定例会議の日程について", "見積書送付のお願い",       "新製品発表会のご案内",
    "ご注文ありがとうございます（注文番号", "Weekly report",            "出張報告書の提出について",
    "システムメンテナンスのお知らせ",     "Fwd: 打ち合わせ資料の件"};
constexpr std::array<const char*, 4> kReplyPrefixes = {"", "Re: ", "RE: ", "Re: Re: "};
constexpr std::array<const char*, 5> kBodyLines = {
    "いつもお世話になっております。",
    "標記の件につきまして、下記のとおりご連絡いたします。",
    "資料を添付いたしましたので、ご確認のほどよろしくお願いいたします。",
    "ご不明な点がございましたら、お気軽にお問い合わせください。",
    "The meeting starts at 10:00 in room 3B; please bring the latest figures."};

struct Sjis {
  std::array<std::string, kFamilyNames.size()> family;
  std::array<std::string, kGivenNames.size()> given;
  std::array<std::string, kSubjects.size()> subjects;
  std::array<std::string, kBodyLines.size()> body;
  std::string closing_bracket = Utf8ToSjis("）");
};

Sjis ConvertTexts() {
  Sjis sjis;
  for (std::size_t i = 0; i < kFamilyNames.size(); ++i) sjis.family[i] = Utf8ToSjis(kFamilyNames[i]);
  for (std::size_t i = 0; i < kGivenNames.size(); ++i) sjis.given[i] = Utf8ToSjis(kGivenNames[i]);
  for (std::size_t i = 0; i < kSubjects.size(); ++i) sjis.subjects[i] = Utf8ToSjis(kSubjects[i]);
  for (std::size_t i = 0; i < kBodyLines.size(); ++i) sjis.body[i] = Utf8ToSjis(kBodyLines[i]);
  return sjis;
}

// A received mail as the analysis leaves it: a few hundred senders and
// threads, arrival order with dates that jitter, some unread, replied and
// labelled mail, a Cc now and then and an attachment rarely. The text is
// the mail's header and a body of some lines (about 1 KB).
std::unique_ptr<CMail> MakeMail(int i, std::mt19937& random, const Sjis& sjis, std::string& text) {
  auto mail = std::make_unique<CMail>();
  const unsigned sender = random() % 400;
  const std::string address = "user" + std::to_string(sender) + "@mail.example.ne.jp";
  mail->from = "\"" + sjis.family[sender % sjis.family.size()] + " " +
               sjis.given[(sender / sjis.family.size()) % sjis.given.size()] + "\" <" + address + ">";
  mail->to = "taro.yamada@example.co.jp";
  const unsigned thread = random() % 300;
  mail->subject = std::string(kReplyPrefixes[random() % kReplyPrefixes.size()]) +
                  sjis.subjects[thread % sjis.subjects.size()];
  if (thread % sjis.subjects.size() == 3) {
    mail->subject += std::to_string(thread) + sjis.closing_bracket;
  } else {
    mail->subject += " #" + std::to_string(thread);
  }
  mail->date = 1600000000 + i * 1500 + static_cast<std::int32_t>(random() % 3600);
  if (i % 5 == 0) mail->cc = "team@example.co.jp";
  mail->message_id = "<20261210093000." + std::to_string(i) + "@mail.example.ne.jp>";
  if (i % 50 == 0) mail->attachments = "/home/user/.local/share/lanternpost/Attach/report" + std::to_string(i) + ".pdf";
  const unsigned state = random() % 20;
  mail->status = state < 3 ? kStatusUnread : state < 5 ? kStatusReplied : kStatusRead;
  if (random() % 8 == 0) mail->label = static_cast<int>(1 + random() % kMaxLabel);

  text = "From: " + mail->from + "\r\nTo: " + mail->to + "\r\nSubject: " + mail->subject +
         "\r\nMessage-Id: " + mail->message_id + "\r\n";
  if (!mail->cc.empty()) text += "Cc: " + mail->cc + "\r\n";
  text += "\r\n";
  for (int line = 0; line < 12; ++line) text += sjis.body[(i + line) % sjis.body.size()] + "\r\n";
  return mail;
}

// Writes the text file directly and the index through the document, so
// the box opens as a received one without a wish to compact.
bool WriteReceiveBox(const std::string& directory) {
  ApplicationCore core;
  std::string error;
  if (!core.Start(directory, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  RecordingUserInterface ui;
  NullCommandObserver commands;
  CLPOSTDoc box(core.profile(), ui, commands);
  const std::string index_path = core.settings().default_file;
  if (!box.Open(index_path).ok) return false;
  std::ofstream text_file(ToNativePath(box.TextFilePath()), std::ios::binary | std::ios::trunc);
  std::mt19937 random(20261210);
  const Sjis sjis = ConvertTexts();
  std::uint32_t offset = 0;
  std::string text;
  for (int i = 0; i < kDesktopBoxMails; ++i) {
    std::unique_ptr<CMail> mail = MakeMail(i, random, sjis, text);
    text += "\r\n.\r\n";
    text_file << text;
    mail->text_start = offset;
    offset += static_cast<std::uint32_t>(text.size());
    mail->text_end = offset;
    box.Add(std::move(mail));
  }
  text_file.close();
  if (!text_file || !box.Save().ok) return false;
  core.Exit();
  return true;
}

}  // namespace

std::string EnsureDesktopTemplate() {
  namespace fs = std::filesystem;
  const fs::path target = fs::temp_directory_path() / (std::string("lanternpost-desktop-bench-") + kTemplateVersion);
  if (fs::exists(target / kCompleteMarker)) return target.string();
  const fs::path partial = target.string() + ".partial-" + std::to_string(::getpid());
  std::error_code ignored;
  fs::remove_all(partial, ignored);
  fs::create_directories(partial);
  std::fprintf(stderr, "writing %d mails into %s (once)\n", kDesktopBoxMails, target.c_str());
  const pid_t child = ::fork();
  if (child == 0) ::_exit(WriteReceiveBox(partial.string()) ? 0 : 1);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fs::remove_all(partial, ignored);
    return {};
  }
  std::ofstream(partial / kCompleteMarker) << kTemplateVersion << "\n";
  fs::remove_all(target, ignored);
  fs::rename(partial, target);
  return target.string();
}

DesktopDataCopy::DesktopDataCopy(const std::string& template_path) {
  std::filesystem::copy(template_path, dir_.path(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

}  // namespace lp::bench
