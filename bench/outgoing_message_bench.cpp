#include <benchmark/benchmark.h>

#include <string>

#include "bench/peak_memory.h"
#include "net/outgoing_message.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace {

double PeakResidentMegabytes() { return static_cast<double>(lp::bench::PeakResidentKiB()) / 1024.0; }

// A file of `megabytes` MiB written a block at a time, so that the data
// never sits in memory as a whole.
bool WriteAttachment(const std::string& native_path, int megabytes) {
  lp::File file;
  if (!file.Open(lp::FromNativePath(native_path), lp::File::Mode::Write)) return false;
  std::string block(1 << 20, '\0');
  for (int mb = 0; mb < megabytes; ++mb) {
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 131 + mb * 17) & 0xFF);
    if (!file.Write(block)) return false;
  }
  return file.Close();
}

// A Japanese text of about 5 KB: kanji, kana, ASCII and a few dot lines.
std::string JapaneseBody() {
  // "日本語のテキストと half-width ｶﾀｶﾅ" as one line.
  const std::string line = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xC6 half-width "
                           "\xB6\xC0\xB6\xC5\r\n";
  std::string body;
  while (body.size() < 5000) body += body.size() % 1000 < 40 ? ".\r\n" + line : line;
  return body;
}

void BM_BuildMessageWith10MbAttachment(benchmark::State& state) {
  lp::testing::TempDirectory dir;
  constexpr int kMegabytes = 10;
  if (!WriteAttachment(dir.File("attachment.bin"), kMegabytes)) {
    state.SkipWithError("cannot write the attachment");
    return;
  }
  lp::RecordingUserInterface ui;
  const lp::ComposeContext context(ui, lp::ComposeSettings{});
  lp::OutgoingMessage message;
  message.from = "me@example.jp";
  message.to = {"you@example.jp"};
  message.subject = "attachment";
  message.body = JapaneseBody();
  message.attachment = lp::FromNativePath(dir.File("attachment.bin"));
  const std::string work_file = lp::FromNativePath(dir.File("smail.$$$"));
  for (auto _ : state) {
    if (!lp::BuildOutgoingMessage(message, context, work_file)) {
      state.SkipWithError("build failed");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kMegabytes) * (1 << 20));
  state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}
BENCHMARK(BM_BuildMessageWith10MbAttachment)->Unit(benchmark::kMillisecond);

void BM_BuildJapaneseMail(benchmark::State& state) {
  lp::testing::TempDirectory dir;
  lp::RecordingUserInterface ui;
  const lp::ComposeContext context(ui, lp::ComposeSettings{});
  lp::OutgoingMessage message;
  // "山田 太郎 <taro@example.jp>" and a kanji subject: encoded words.
  message.from = "\x8E\x52\x93\x63 \x91\xBE\x98\x59 <taro@example.jp>";
  message.to = {"Hanako <hanako@example.jp>", "jiro@example.jp (Jiro)", "saburo@example.jp"};
  message.cc = {"team@example.jp"};
  message.subject = "\x8C\x8F\x96\xBC\x83\x65\x83\x58\x83\x67";  // 件名テスト
  message.body = JapaneseBody();
  const std::string work_file = lp::FromNativePath(dir.File("smail.$$$"));
  for (auto _ : state) {
    if (!lp::BuildOutgoingMessage(message, context, work_file)) {
      state.SkipWithError("build failed");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildJapaneseMail);

}  // namespace
