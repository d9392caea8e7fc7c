#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"
#include "util/export_output.h"
#include "util/text_export.h"

// Text export of a box of 100,000 Japanese mails (one in ten outgoing):
// every mail with the usual header lines, with every header line, and as
// stored (the selected-mails export). The box is made once under /tmp.

namespace {

const std::string kDataDir = "/tmp/lanternpost-export-bench";
const std::string kIndex = kDataDir + "/box.lp";
const std::string kText = kDataDir + "/box.mb";
constexpr int kMails = 100'000;

std::string Sjis(const char* utf8) { return lp::Utf8ToCp932(utf8); }

std::string ReceivedText(std::mt19937& random, int number) {
  static const std::vector<std::string> lines = {
      Sjis("お世話になっております。営業部の山田です。"), Sjis("来週の打ち合わせの件でご連絡いたしました。"),
      Sjis("資料を添付いたしますので、ご確認ください。"), Sjis("よろしくお願いいたします。"),
      "http://www.example.co.jp/news/2026/12/", Sjis("＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝＝"),
  };
  std::string text =
      "Return-Path: <info@example.co.jp>\r\nReceived: from mail.example.co.jp (mail.example.co.jp [192.0.2.1])\r\n"
      "\tby mx.example.jp with ESMTP id " + std::to_string(number) + "; Mon, 7 Dec 2026 10:00:00 +0900\r\n"
      "From: " + Sjis("山田 太郎") + " <yamada@example.co.jp>\r\nTo: user@example.jp\r\nSubject: " +
      Sjis("打ち合わせの件") + "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\nMessage-ID: <" + std::to_string(number) +
      "@example.co.jp>\r\nX-Mailer: Example Mailer 1.0\r\nMIME-Version: 1.0\r\n"
      "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n";
  const int count = 20 + static_cast<int>(random() % 60);
  for (int i = 0; i < count; ++i) text += lines[random() % lines.size()] + "\r\n";
  return text;
}

bool MakeBox() {
  if (lp::IsRegularFile(kIndex) && lp::IsRegularFile(kText)) return true;
  lp::MakeDirectories(kDataDir);
  lp::Profile profile(kDataDir + "/lpost.conf");
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc doc(profile, ui, commands);
  lp::File text;
  if (!text.Open(kText, lp::File::Mode::Write)) return false;
  std::mt19937 random(7);
  std::string chunk;
  std::uint64_t offset = 0;
  for (int number = 0; number < kMails; ++number) {
    auto record = std::make_unique<lp::CMail>();
    std::string block;
    if (number % 10 == 9) {
      record->status = lp::kStatusSent;
      record->to = "user@example.jp";
      record->from = "me@example.jp";
      record->subject = Sjis("お見積りの件");
      record->date = 1796000000 + number;
      block = Sjis("お見積りをお送りします。\r\nご検討ください。\r\n");
    } else {
      record->status = number % 3 == 0 ? lp::kStatusUnread : lp::kStatusRead;
      block = ReceivedText(random, number);
    }
    block += "\r\n.\r\n";
    record->text_start = static_cast<std::uint32_t>(offset);
    offset += block.size();
    record->text_end = static_cast<std::uint32_t>(offset);
    doc.Add(std::move(record));
    chunk += block;
    if (chunk.size() >= (4u << 20)) {
      if (!text.Write(chunk)) return false;
      chunk.clear();
    }
  }
  return text.Write(chunk) && text.Close() && doc.Save(kIndex).ok;
}

template <typename Export>
void RunExport(benchmark::State& state, Export&& run) {
  if (!MakeBox()) {
    state.SkipWithError("cannot write the box");
    return;
  }
  lp::Profile profile(kDataDir + "/lpost.conf");
  lp::RecordingUserInterface ui;
  lp::NullCommandObserver commands;
  lp::CLPOSTDoc box(profile, ui, commands);
  if (!box.Open(kIndex).ok) {
    state.SkipWithError("cannot open the box");
    return;
  }
  const std::string output = kDataDir + "/out.txt";
  std::int64_t written = 0;
  for (auto _ : state) {
    lp::ExportOutput out;
    if (!out.Begin(output, false)) {
      state.SkipWithError("cannot open the output");
      return;
    }
    const lp::ExportResult result = run(box, out.writer());
    if (result.outcome != lp::ExportOutcome::Done || result.mails != kMails || !out.Commit()) {
      state.SkipWithError("the export failed");
      return;
    }
    written += static_cast<std::int64_t>(lp::FileSize(output).value_or(0));
  }
  state.counters["mails"] = kMails;
  state.SetBytesProcessed(written);
}

void BM_ExportUsualHeaders(benchmark::State& state) {
  lp::CTextOutSet setting;
  RunExport(state, [&](lp::CLPOSTDoc& box, lp::BufferedFileWriter& out) { return lp::ExportBoxMails(box, setting, out); });
}

void BM_ExportAllHeaders(benchmark::State& state) {
  lp::CTextOutSet setting;
  setting.all_headers = true;
  RunExport(state, [&](lp::CLPOSTDoc& box, lp::BufferedFileWriter& out) { return lp::ExportBoxMails(box, setting, out); });
}

void BM_ExportSelectedAsStored(benchmark::State& state) {
  std::vector<int> all(kMails);
  std::iota(all.begin(), all.end(), 0);
  RunExport(state, [&](lp::CLPOSTDoc& box, lp::BufferedFileWriter& out) { return lp::ExportSelectedMails(box, all, out); });
}

BENCHMARK(BM_ExportUsualHeaders)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ExportAllHeaders)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ExportSelectedAsStored)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace
