#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/peak_memory.h"
#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "codec/spool_analyser.h"
#include "platform/file_system.h"
#include "platform/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace {

// 会議の資料をお送りします。ご確認ください。 (Shift_JIS)
const std::string kJapaneseSentence =
    "\x89\xEF\x8B\x63\x82\xCC\x8E\x91\x97\xBF\x82\xF0\x82\xA8\x91\x97\x82\xE8\x82\xB5\x82\xDC\x82\xB7\x81\x42"
    "\x82\xB2\x8A\x6D\x94\x46\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42";
// The same in UTF-8, quoted-printable with a soft break in the middle of a character.
const std::string kQpLine1 =
    "=E4=BC=9A=E8=AD=B0=E3=81=AE=E8=B3=87=E6=96=99=E3=82=92=E3=81=8A=E9=80=81=E3=82=8A=E3=81=97=E3=81=BE=E3=";
const std::string kQpLine2 = "=81=99=E3=80=82 meeting at 10:00 in room A";

std::string Jis(const std::string& sjis) {
  std::string out;
  lp::SjisToJis(sjis, out);
  return out;
}

std::string CommonHeader(int n) {
  return "+OK message follows\r\n"
         "Received: from mail.example.jp by pop.example.jp; Tue, 8 Dec 2026 13:38:03 +0900\r\n"
         "Message-ID: <" +
         std::to_string(n) +
         "@example.jp>\r\n"
         "Date: Tue, 8 Dec 2026 13:38:03 +0900\r\n"
         "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
         "To: taro@example.jp\r\n"
         "Subject: =?UTF-8?B?5Lya6K2w44Gu6LOH5paZ?= " +
         std::to_string(n) +
         "\r\n"
         "MIME-Version: 1.0\r\n";
}

// One message of a mix like a real inbox: plain ISO-2022-JP text, multipart
// with a Base64 attachment, UTF-8 quoted-printable.
std::string Message(int n, const std::string& attachment_lines) {
  std::string m = CommonHeader(n);
  switch (n % 10) {
    case 0:
    case 1:
    case 2: {
      m += "Content-Type: multipart/mixed; boundary=\"----=_Part_" + std::to_string(n) + "\"\r\n\r\n";
      const std::string delimiter = "------=_Part_" + std::to_string(n);
      m += delimiter + "\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
      const std::string line = Jis(kJapaneseSentence) + "\r\n";
      for (int i = 0; i < 20; ++i) m += line;
      m += delimiter +
           "\r\nContent-Type: application/pdf; name=\"report.pdf\"\r\nContent-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"report.pdf\"\r\n\r\n";
      m += attachment_lines;
      m += delimiter + "--\r\n";
      break;
    }
    case 3:
    case 4:
    case 5: {
      m += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";
      for (int i = 0; i < 40; ++i) m += kQpLine1 + "\r\n" + kQpLine2 + "\r\n";
      break;
    }
    default: {
      m += "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
      const std::string line = Jis(kJapaneseSentence + kJapaneseSentence) + "\r\n";
      for (int i = 0; i < 80; ++i) m += line;
      break;
    }
  }
  return m + ".\r\n";
}

// Writes the spool in pieces, so the generator holds no spool in memory.
std::uint64_t WriteSpool(const std::string& path, int messages) {
  std::string attachment;
  std::string group(57, '\0');
  for (int line = 0; line < 200; ++line) {  // about 11 KB of data, 15 KB of Base64
    for (std::size_t i = 0; i < group.size(); ++i) group[i] = static_cast<char>((line * 131 + i * 17) & 0xFF);
    attachment += lp::Base64EncodeBlock(group) + "\r\n";
  }
  lp::File file;
  if (!file.Open(path, lp::File::Mode::Write)) return 0;
  std::uint64_t bytes = 0;
  std::string block;
  for (int n = 0; n < messages; ++n) {
    block += Message(n, attachment);
    if (block.size() > (1 << 20) || n + 1 == messages) {
      if (!file.Write(block)) return 0;
      bytes += block.size();
      block.clear();
    }
  }
  return bytes;
}

void BM_AnalyseSpool(benchmark::State& state) {
  const int messages = static_cast<int>(state.range(0));
  // On a memory file system when there is one: creating thousands of
  // attachment files on a disk file system measures its inode allocator
  // more than the analysis.
  if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 1);
  lp::testing::TempDirectory dir(true);
  const std::uint64_t bytes = WriteSpool("inbox.log", messages);
  if (bytes == 0) {
    state.SkipWithError("cannot write the spool");
    return;
  }
  const long rss_before = lp::bench::PeakResidentKiB();
  lp::Profile profile(dir.File("lpost.conf"));
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // Each round saves into a directory of its own: deleting thousands of
    // files between rounds would make the file system's inode allocation
    // the thing measured.
    profile.WriteString("System", "AttachDir", "Attach" + std::to_string(++round));
    std::error_code ignored;
    std::filesystem::remove(dir.File("box.mb"), ignored);
    lp::testing::WriteFileBytes(dir.File("box.lp"), "");
    lp::CLPOSTDoc box(profile, ui, commands);
    if (!box.Open("box.lp").ok) {
      state.SkipWithError("cannot open the box");
      return;
    }
    state.ResumeTiming();
    const int count = lp::AnalyseSpool(box, "inbox.log");
    if (count != messages) {
      state.SkipWithError("wrong message count");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * messages);
  state.counters["spool_MB"] = static_cast<double>(bytes) / 1e6;
  // Growth of the peak resident size over the analysis: it stays flat as
  // the spool grows, because the analysis streams.
  state.counters["peak_rss_growth_MB"] = static_cast<double>(lp::bench::PeakResidentKiB() - rss_before) / 1024.0;
}
// A small spool first, so that its peak is the baseline for the large one.
BENCHMARK(BM_AnalyseSpool)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
